// Analytic fields for the critical point tests, with the detector that works on them.
#pragma once

#include "common/testFields.h"

// The linear flow M (x - c) with M = [[a, b], [cc, d]].
struct LinearFlow
{
    float2 c;
    float a, b, cc, d;
    float2 operator()(float x, float y) const
    {
        const float dx = x - c.x, dy = y - c.y;
        return makeFloat2(a * dx + b * dy, cc * dx + d * dy);
    }
};

// A single-step w x h field v(i, j) = f(i, j) with a detector whose grid is already set.
struct Slice
{
    Slice(int w, int h, const std::function<float2(float, float)>& fn)
        : data(makeField({w, h, 1}, [&](int i, int j, int) { return fn(float(i), float(j)); }))
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
        std::copy(points.begin(), points.end(), detect.critpoints->allCritical);
    }

    DataManipulate data;
    float2** f = data.orgnvectField2dSlice[0];
    int2 size = makeInt2(data.flowFieldSize.x, data.flowFieldSize.y);
    CritpntDetect detect;
};

inline void expectNear(const float2& p, float x, float y, float tol)
{
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
}
