// The geometry of the critical point glyphs, apart from any drawing: the clamped rim of the
// fading disc around a critical point, and the red dashes that run along a template
// streamline in one frame of its animation.
#pragma once

#include "common/typeOperations.h"

#include <array>
#include <vector>

// An RGBA colour, each component 0 to 1.
struct COLOR
{
    float r;
    float g;
    float b;
    float a;
};

namespace CritpntShapes
{
constexpr float kDiscRadius = 30.0f;
constexpr int kDiscRimVertices = 13; // every 30 degrees, 0 and 360 both included

// Rim of the disc of the given radius around pos; every vertex is clamped into 0 .. size - 1
// of the view's pixel size, as the discs are kept inside the window.
std::array<float2, kDiscRimVertices> discRim(const float2& pos, float radius, int winWidth,
                                             int winHeight);

struct Dash
{
    int first; // index of the dash's first point along the line
    int len;   // number of points
    bool bArrow;
};

// The dashes of a line of numPoint points at frame animStep: the first grows from the line's
// start, the later ones are 31 points long with their heads 60 points apart.
std::vector<Dash> strmletDashes(int numPoint, int animStep);
} // namespace CritpntShapes
