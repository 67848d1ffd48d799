// Template seeds around the classified critical points: a ray for foci and centers, a ring
// for nodes, three rings in four directions for saddles, sized by the nearest other point.
#include "critpnt/critpntDetect.h"

#include <cmath>

namespace
{
constexpr float kFullTurn = 6.28318f;
// Ten degrees in radians, as a float constant slightly below pi/18.
constexpr float kTenDegrees = 0.17453277f;
constexpr int kSaddleDirections = 36;
constexpr float kNoProduct = 40000.0f;
constexpr float kNodeResolution = 10.0f;
} // namespace

void CritpntDetect::genAllTmplt(float2** vectorData, float resolution, int3* flowsize)
{
    critpntArray& t = *critpoints;
    t.repFocusTmpltSeedsCnt = t.attrFocusTmpltSeedsCnt = t.centerTmpltSeedsCnt = 0;
    t.repNodeTmpltSeedsCnt = t.attrNodeTmpltSeedsCnt = t.saddlePntTmpltSeedsCnt = 0;
    genTmpltCircle(t.repFocus, repFocusCnt, resolution, t.repFocusTmpltSeeds,
                   t.repFocusTmpltSeedsCnt, flowsize);
    genTmpltCircle(t.attrFocus, attrFocusCnt, resolution, t.attrFocusTmpltSeeds,
                   t.attrFocusTmpltSeedsCnt, flowsize);
    genTmpltCircle(t.center, centerCnt, resolution, t.centerTmpltSeeds, t.centerTmpltSeedsCnt,
                   flowsize);
    genTmpltSrc(t.repNode, repNodeCnt, kNodeResolution, t.repNodeTmpltSeeds, t.repNodeTmpltSeedsCnt,
                flowsize);
    genTmpltSrc(t.attrNode, attrNodeCnt, kNodeResolution, t.attrNodeTmpltSeeds,
                t.attrNodeTmpltSeedsCnt, flowsize);
    genTmpltSaddle(vectorData, t.saddlePnt, saddlePntCnt, t.saddlePntTmpltSeeds,
                   t.saddlePntTmpltSeedsCnt, flowsize);
}

// Exact duplicates of pos are skipped so that a point found twice keeps a usable template.
float CritpntDetect::genTmpltsz(float2 pos, int3* /*flowsize*/) const
{
    float d = 10000.0f;
    for (int n = 0; n < allPntCnt; ++n)
    {
        const float2 q = critpoints->allCritical[n];
        if (q == pos)
            continue;
        const float2 diff = q - pos;
        d = std::fmin(d, std::sqrt(diff * diff));
    }
    return d;
}

void CritpntDetect::genTmpltCircle(float2* critpnt, int critpntCnt, float resolution,
                                   float2* tmpltSeeds, int& seedsCnt, int3* flowsize)
{
    if (critpntCnt < 1)
        return;
    const float a = kFullTurn / resolution;
    const float cosA = std::cos(a);
    const float sinA = std::sin(a);
    for (int n = 0; n < critpntCnt; ++n)
    {
        const float2 p = critpnt[n];
        const float r = genTmpltsz(p, flowsize) / 20.0f;
        const float step = 2 * r;
        appendSeed(p + makeFloat2(0.1f, 0.1f), tmpltSeeds, seedsCnt);
        float rho = r;
        for (int k = 0; k < 3; ++k)
        {
            rho = rho + step;
            const float2 seed = makeFloat2(p.x + rho * cosA, p.y + rho * sinA);
            if (insideField(seed, flowsize))
                appendSeed(seed, tmpltSeeds, seedsCnt);
        }
    }
}

// More directions than a table holds could never be stored, so the ring stops there.
void CritpntDetect::genTmpltSrc(float2* critpnt, int critpntCnt, float resolution,
                                float2* tmpltSeeds, int& seedsCnt, int3* flowsize)
{
    if (critpntCnt < 1)
        return;
    const float a = kFullTurn / resolution;
    for (int n = 0; n < critpntCnt; ++n)
    {
        const float2 p = critpnt[n];
        const float rho = genTmpltsz(p, flowsize) * 0.5f;
        for (int i = 0; i < kCritpntCapacity && float(i) < resolution; ++i)
        {
            const float angle = i * a;
            const float2 seed =
                makeFloat2(p.x + rho * std::cos(angle), p.y + rho * std::sin(angle));
            if (insideField(seed, flowsize))
                appendSeed(seed, tmpltSeeds, seedsCnt);
        }
    }
}

void CritpntDetect::genTmpltSaddle(float2** vectorData, float2* critpnt, int critpntCnt,
                                   float2* tmpltSeeds, int& seedsCnt, int3* flowsize)
{
    if (critpntCnt < 1)
        return;
    fieldSize = makeInt2(flowsize->x, flowsize->y);
    for (int n = 0; n < critpntCnt; ++n)
    {
        const float2 p = critpnt[n];
        const float rho = genTmpltsz(p, flowsize) * 0.25f;
        const float step = rho * 0.5f;
        int minIndx[2] = {0, 0};
        getTwoSeedStartpntsSaddle(minIndx, vectorData, p, int(step), tmpltSeeds, seedsCnt);
        for (const float R : {rho, rho + step, rho + 2 * step})
            for (const int m : minIndx)
                for (const float turn : {4.5f, 22.5f})
                {
                    const float angle = (m + turn) * kTenDegrees;
                    const float2 seed =
                        makeFloat2(p.x + R * std::cos(angle), p.y + R * std::sin(angle));
                    if (insideField(seed, flowsize))
                        appendSeed(seed, tmpltSeeds, seedsCnt);
                }
    }
}

// Picks the two directions along which the flow is least radial. Samples off the grid do not
// qualify; without a second direction the first one serves for both.
void CritpntDetect::getTwoSeedStartpntsSaddle(int* minIndx, float2** vectorData, float2 pos,
                                              int radius, float2* /*tmpltSeeds*/, int& /*seedsCnt*/)
{
    const float delta = radius / 50.0f;
    float product[kSaddleDirections];
    bool bValid[kSaddleDirections];
    for (int k = 0; k < kSaddleDirections; ++k)
    {
        const float theta = k * kTenDegrees;
        const float2 sample =
            makeFloat2(pos.x + delta * std::cos(theta), pos.y + delta * std::sin(theta));
        bValid[k] = insideGrid(sample);
        product[k] = bValid[k] ? (sample - pos) * vectorData[int(sample.y)][int(sample.x)] : 0;
    }
    minIndx[0] = 0;
    float m = kNoProduct;
    for (int k = 0; k < kSaddleDirections; ++k)
        if (bValid[k] && std::fabs(product[k]) < std::fabs(m))
        {
            minIndx[0] = k;
            m = product[k];
        }
    minIndx[1] = minIndx[0];
    float m2 = kNoProduct;
    for (int k = 0; k < kSaddleDirections; ++k)
        if (bValid[k] && std::fabs(product[k]) < std::fabs(m2) &&
            std::fabs(product[k]) > std::fabs(m))
        {
            minIndx[1] = k;
            m2 = product[k];
        }
}

bool CritpntDetect::insideField(const float2& pos, int3* flowsize) const
{
    return pos.x > 0 && pos.x < float(flowsize->x) && pos.y > 0 && pos.y < float(flowsize->y);
}

void CritpntDetect::appendSeed(const float2& seed, float2* tmpltSeeds, int& seedsCnt) const
{
    if (seedsCnt < kCritpntCapacity)
        tmpltSeeds[seedsCnt++] = seed;
}
