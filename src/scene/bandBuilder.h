// Turns a polyline in the field plane into the vertex arrays of a flat band that looks like a
// tube: quads with mitred joints, texture coordinates running across the band, an alpha ramp
// that fades the line towards its start, and an optional arrowhead beyond its last point.
#pragma once

#include "common/typeOperations.h"

#include <vector>

// One vertex as the fixed-function vertex arrays take it: position, texture, colour.
struct BandVertex
{
    float x, y;
    float s, t;
    float r, g, b, a;
};

class BandBuilder
{
public:
    // Builds the band through every (padding + 1)-th point. Returns false, with empty arrays,
    // when fewer than two distinct samples remain to draw.
    bool build(const float2* points, int numPoint, float radius, int padding, float4 lineColor,
               float fading, bool bArrow);

    const std::vector<BandVertex>& quads() const { return quadVerts; }
    const std::vector<BandVertex>& arrow() const { return arrowVerts; }
    // The colour of the last sample: what immediate-mode drawing would leave current.
    float4 finalColor() const { return lastColor; }

    // Divides vec by its length in place; a zero vector is left as it is.
    static void normalize(float2& vec);

private:
    // Which samples are drawn and how their alpha climbs.
    struct Schedule
    {
        int first;       // point index of the first drawn sample
        int count;       // points spanned by the drawn part
        float alpha0;    // alpha at the first drawn sample
        float increment; // alpha added per sample
    };
    static Schedule schedule(int numPoint, int step, const float4& color, float fading);
    void push(std::vector<BandVertex>& verts, const float2& p, float s, float t, float alpha);
    void addJoint(const float2& p1, const float2& e, const float2& d, float alpha);
    void addLastSection(const float2& p2, const float2& d, float alpha);
    void addArrow(const float2& p2, const float2& d, float radius, float alpha);

    float2 c1{0, 0}; // left corner of the open cross-section
    float2 c2{0, 0}; // right corner of the open cross-section
    float4 color{0, 0, 0, 0};

    std::vector<BandVertex> quadVerts;
    std::vector<BandVertex> arrowVerts;
    float4 lastColor{0, 0, 0, 0};
};
