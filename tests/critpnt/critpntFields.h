// Analytic fields for the critical point tests, sampled on a grid held by a DataManipulate.
#pragma once

#include "critpnt/critpntDetect.h"
#include "data/dataManipulate.h"

#include <functional>

// A w x h single-step field with v(i, j) = f(i, j).
inline DataManipulate sampledField(int w, int h, const std::function<float2(float, float)>& f)
{
    DataManipulate data("", "", "", "", true);
    data.flowFieldSize = {w, h, 1};
    data.orgnvectField2d.resize(std::size_t(w) * h);
    data.assignPointerto2Ddata();
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            data.orgnvectField2dSlice[0][j][i] = f(float(i), float(j));
    return data;
}

// The linear flow M (x - c) with M = [[a, b], [cc, d]]. With R > 0 it fades to exactly zero
// beyond radius R by (1 - r^2/R^2)^2, so features placed more than 2R apart leave no zeros
// but their centres.
struct LinearFlow
{
    float2 c;
    float a, b, cc, d;
    float R = 0;
    float2 operator()(float x, float y) const
    {
        const float dx = x - c.x, dy = y - c.y;
        const float2 v = makeFloat2(a * dx + b * dy, cc * dx + d * dy);
        const double q = 1.0 - (double(dx) * dx + double(dy) * dy) / (double(R) * R);
        if (R <= 0)
            return v;
        const float fade = q <= 0 ? 0.0f : float(q * q);
        return makeFloat2(fade * v.x, fade * v.y);
    }
};
