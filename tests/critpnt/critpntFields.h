// Analytic fields for the critical point tests, sampled on a grid held by a DataManipulate,
// with the detector that works on them.
#pragma once

#include "critpnt/critpntDetect.h"
#include "data/dataManipulate.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

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

// A sampled field with a detector whose grid is already set.
struct Slice
{
    DataManipulate data;
    float2** f;
    int2 size;
    CritpntDetect detect;
    Slice(int w, int h, const std::function<float2(float, float)>& fn)
        : data(sampledField(w, h, fn)), f(data.orgnvectField2dSlice[0]), size(makeInt2(w, h))
    {
        detect.fieldSize = size;
    }
    int find()
    {
        detect.findCritpnts(f, &data.flowFieldSize);
        return detect.allPntCnt;
    }
    void detectAll() { detect.genAllCritpntData(f, 36.0f, &data.flowFieldSize); }
    int type(float2 pos, float* det) { return detect.getCritpntType(f, pos, det); }
    // Sets the candidates directly, bypassing the cell search.
    void setCandidates(const std::vector<float2>& points)
    {
        detect.allPntCnt = int(points.size());
        for (std::size_t n = 0; n < points.size(); ++n)
            detect.critpoints->allCritical[n] = points[n];
    }
};

inline void expectNear(const float2& p, float x, float y, float tol)
{
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
}
