#include "critpnt/critpntDetect.h"

#include "critpnt/bilinearCell.h"
#include "data/noDataMask.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace
{
// 1/sqrt(3) in single precision: the weight of the diagonal neighbours in the stencils.
constexpr float kDiagonalWeight = 0.57735026f;
// Steps of the tracing test in each direction, and their length in grid units.
constexpr int kTestSteps = 10000;
constexpr float kTestStep = 0.1f;
// Real parts closer to zero than this make a complex pair a center.
constexpr float kCenterTolerance = 0.01f;
// Zeros closer than this (in cells) are one zero found by the cells that share it.
constexpr float kSamePoint = 1e-3f;

bool isZero(const float2& v)
{
    return v.x == 0 && v.y == 0;
}

float distance(const float2& a, const float2& b)
{
    const float2 d = a - b;
    return std::sqrt(d * d);
}
} // namespace

CritpntDetect::CritpntDetect()
    : jacobMatrix{}, eigenValues{}, critpoints(std::make_unique<critpntArray>())
{
}

void CritpntDetect::genAllCritpntData(float2** vectorData, float resolution, int3* flowsize)
{
    findCritpnts(vectorData, flowsize);
    spotCripnts(vectorData, makeInt2(flowsize->x, flowsize->y));
    genAllTmplt(vectorData, resolution, flowsize);
}

// A cell beside missing samples holds no zero of the field: its interpolant mixes in the zero
// vectors that stand for them. Such a cell has a zero corner, so the mask is built only when
// one turns up; fields without gaps never need it.
void CritpntDetect::findCritpnts(float2** vectorData, int3* flowsize)
{
    repFocusCnt = attrFocusCnt = centerCnt = 0;
    repNodeCnt = attrNodeCnt = saddlePntCnt = 0;
    allPntCnt = 0;
    fieldSize = makeInt2(flowsize->x, flowsize->y);
    std::optional<NoDataMask> noData;
    for (int j = 0; j < fieldSize.y - 1; ++j)
        for (int i = 0; i < fieldSize.x - 1; ++i)
        {
            const float2 lb = vectorData[j][i], rb = vectorData[j][i + 1];
            const float2 lt = vectorData[j + 1][i], rt = vectorData[j + 1][i + 1];
            if (!BilinearCell::mayHoldZero(lb, rb, lt, rt))
                continue;
            if (isZero(lb) || isZero(rb) || isZero(lt) || isZero(rt))
            {
                if (!noData)
                    noData.emplace(vectorData, fieldSize.x, fieldSize.y);
                if (noData->cellTouchesNoData(i, j))
                    continue;
            }
            searchCell(BilinearCell(lb, rb, lt, rt), i, j);
        }
}

void CritpntDetect::searchCell(const BilinearCell& cell, int i, int j)
{
    float2 st[2];
    const int n = cell.zeros(st);
    for (int k = 0; k < n; ++k)
        appendCandidate(makeFloat2(i + st[k].x, j + st[k].y));
}

// A zero on an edge or a node shared by several cells is kept once, as the first cell found it.
void CritpntDetect::appendCandidate(const float2& pos)
{
    // The candidates come row by row: only the last two rows of them can be this zero.
    for (int n = allPntCnt - 1; n >= 0 && critpoints->allCritical[n].y >= pos.y - 2; --n)
    {
        const float2 q = critpoints->allCritical[n];
        if (std::fabs(q.x - pos.x) < kSamePoint && std::fabs(q.y - pos.y) < kSamePoint)
            return;
    }
    if (allPntCnt < kCritpntCapacity)
        critpoints->allCritical[allPntCnt++] = pos;
}

void CritpntDetect::spotCripnts(float2** vectorData, const int2& flowSize)
{
    repFocusCnt = attrFocusCnt = centerCnt = 0;
    repNodeCnt = attrNodeCnt = saddlePntCnt = 0;
    fieldSize = flowSize;
    for (int n = 0; n < allPntCnt; ++n)
    {
        const float2 p = critpoints->allCritical[n];
        float det = 0;
        int type = getCritpntType(vectorData, p, &det);
        if (type != 6 && type != 4 && (type < 0 || signUndecided()))
            type = (type & 6) | testCriticalPoint(vectorData, flowSize, p);
        appendCritpnt(type, p);
    }
}

void CritpntDetect::appendCritpnt(int type, const float2& pos)
{
    critpntArray& tables = *critpoints;
    auto append = [&pos](float2* table, int& cnt)
    {
        if (cnt < kCritpntCapacity)
            table[cnt++] = pos;
    };
    switch (type)
    {
    case 0:
        append(tables.attrNode, attrNodeCnt);
        break;
    case 1:
        append(tables.repNode, repNodeCnt);
        break;
    case 2:
        append(tables.attrFocus, attrFocusCnt);
        break;
    case 3:
        append(tables.repFocus, repFocusCnt);
        break;
    case 4:
        append(tables.saddlePnt, saddlePntCnt);
        break;
    case 6:
        append(tables.center, centerCnt);
        break;
    default:
        break;
    }
}

// The eigenvalues' real parts say attracting or repelling unless both are too close to zero
// to tell, as for a center; only then does the tracing test decide.
bool CritpntDetect::signUndecided() const
{
    return std::fabs(eigenValues[0]) < kCenterTolerance &&
           std::fabs(eigenValues[2]) < kCenterTolerance;
}

int CritpntDetect::getCritpntType(float2** vectorData, float2 pos, float* det)
{
    *det = computeEigenValue(vectorData, pos);
    const float e1 = eigenValues[0];
    const float e2 = eigenValues[2];
    if (eigenValues[1] == 0.0f)
    {
        if (e1 > 0 && e2 > 0)
            return 1;
        if (e1 < 0 && e2 < 0)
            return 0;
        if (e1 * e2 < 0)
            return 4;
        return -1;
    }
    if (std::fabs(e1) < kCenterTolerance && std::fabs(e2) < kCenterTolerance)
        return 6;
    if (e1 > 0 && e2 > 0)
        return 3;
    if (e1 < 0 && e2 < 0)
        return 2;
    return -1;
}

float CritpntDetect::computeEigenValue(float2** vectorData, float2 pos)
{
    computeJacobianMatrix2D(vectorData, pos);
    const float* J = jacobMatrix;
    const float tr = J[0] + J[3];
    const float det = J[0] * J[3] - J[1] * J[2];
    const float disc = tr * tr - 4 * det;
    if (disc < 0)
    {
        eigenValues[0] = eigenValues[2] = tr * 0.5f;
        eigenValues[1] = eigenValues[3] = 1.0f;
    }
    else
    {
        const float root = std::sqrt(disc);
        eigenValues[0] = (tr + root) * 0.5f;
        eigenValues[2] = (tr - root) * 0.5f;
        eigenValues[1] = eigenValues[3] = 0.0f;
    }
    return det;
}

// Blends the stencil differences of the cell's four nodes. A position off the grid (or not
// a number) has no Jacobian: the matrix becomes undefined and the point unclassified.
void CritpntDetect::computeJacobianMatrix2D(float2** vectorData, float2 pos)
{
    if (!insideGrid(pos))
    {
        std::fill(std::begin(jacobMatrix), std::end(jacobMatrix), NAN);
        return;
    }
    const int xint = int(pos.x);
    const int yint = int(pos.y);
    const float xfac = pos.x - xint;
    const float yfac = pos.y - yint;
    const float w00 = (1 - xfac) * (1 - yfac), w10 = xfac * (1 - yfac);
    const float w01 = (1 - xfac) * yfac, w11 = xfac * yfac;
    const float2 delx = w00 * stencilDx(vectorData, xint, yint) +
                        w10 * stencilDx(vectorData, xint + 1, yint) +
                        w01 * stencilDx(vectorData, xint, yint + 1) +
                        w11 * stencilDx(vectorData, xint + 1, yint + 1);
    const float2 dely = w00 * stencilDy(vectorData, xint, yint) +
                        w10 * stencilDy(vectorData, xint + 1, yint) +
                        w01 * stencilDy(vectorData, xint, yint + 1) +
                        w11 * stencilDy(vectorData, xint + 1, yint + 1);
    jacobMatrix[0] = delx.x;
    jacobMatrix[1] = delx.y;
    jacobMatrix[2] = dely.x;
    jacobMatrix[3] = dely.y;
}

float2 CritpntDetect::stencilDx(float2** vectorData, int x, int y) const
{
    const auto V = [&](int X, int Y) { return node(vectorData, X, Y); };
    return (V(x + 1, y) - V(x - 1, y)) + kDiagonalWeight * ((V(x + 1, y + 1) - V(x - 1, y + 1)) +
                                                            (V(x + 1, y - 1) - V(x - 1, y - 1)));
}

float2 CritpntDetect::stencilDy(float2** vectorData, int x, int y) const
{
    const auto V = [&](int X, int Y) { return node(vectorData, X, Y); };
    return (V(x, y + 1) - V(x, y - 1)) + kDiagonalWeight * ((V(x + 1, y + 1) - V(x + 1, y - 1)) +
                                                            (V(x - 1, y + 1) - V(x - 1, y - 1)));
}

// Nodes beyond the grid are extrapolated linearly from the two nearest inside it, which makes
// the stencils one-sided differences at the border: exact for a linear field, as inside.
float2 CritpntDetect::node(float2** vectorData, int x, int y) const
{
    const int cx = std::clamp(x, 0, fieldSize.x - 1);
    const int cy = std::clamp(y, 0, fieldSize.y - 1);
    if (x != cx && fieldSize.x >= 2)
    {
        const float2 edge = node(vectorData, cx, y);
        const float2 inner = node(vectorData, cx == 0 ? 1 : cx - 1, y);
        return edge + float(std::abs(x - cx)) * (edge - inner);
    }
    if (y != cy && fieldSize.y >= 2)
    {
        const float2 edge = node(vectorData, x, cy);
        const float2 inner = node(vectorData, x, cy == 0 ? 1 : cy - 1);
        return edge + float(std::abs(y - cy)) * (edge - inner);
    }
    return vectorData[cy][cx];
}

bool CritpntDetect::insideGrid(const float2& pos) const
{
    return pos.x >= 0 && pos.x <= fieldSize.x - 1 && pos.y >= 0 && pos.y <= fieldSize.y - 1;
}

int CritpntDetect::testCriticalPoint(float2** vectorData, const int2& flowSize,
                                     const float2& pos) const
{
    const float2 seed = pos + makeFloat2(10.0f, 10.0f);
    const float2 back = traceEnd(vectorData, flowSize, seed, false);
    const float2 forth = traceEnd(vectorData, flowSize, seed, true);
    return distance(back, pos) < distance(forth, pos) ? 1 : 0;
}

float2 CritpntDetect::traceEnd(float2** vectorData, const int2& flowSize, const float2& seed,
                               bool isForward) const
{
    float2 curPos = seed;
    for (int n = 0; n < kTestSteps; ++n)
    {
        float2 next;
        if (!RK4(vectorData, flowSize, isForward, curPos, next))
            break;
        curPos = next;
    }
    return curPos;
}

bool CritpntDetect::RK4(float2** vectorData, const int2& flowSize, const bool& isForward,
                        float2& pos, float2& ret) const
{
    const float h = isForward ? kTestStep : -kTestStep;
    float2 k1, k2, k3, k4;
    if (!interpolateVector(vectorData, flowSize, pos, k1) ||
        !interpolateVector(vectorData, flowSize, pos + (h * 0.5f) * k1, k2) ||
        !interpolateVector(vectorData, flowSize, pos + (h * 0.5f) * k2, k3) ||
        !interpolateVector(vectorData, flowSize, pos + h * k3, k4))
        return false;
    ret = pos + (h / 6.0f) * (k1 + 2.0f * k2 + 2.0f * k3 + k4);
    return true;
}

// Corners beyond the last column or row carry zero weight and are never read.
bool CritpntDetect::interpolateVector(float2** vectorData, const int2& flowSize, const float2& pos,
                                      float2& ret) const
{
    if (!(pos.x >= 0 && pos.x <= flowSize.x - 1 && pos.y >= 0 && pos.y <= flowSize.y - 1))
        return false;
    const int xint = int(pos.x);
    const int yint = int(pos.y);
    const float xfac = pos.x - xint;
    const float yfac = pos.y - yint;
    const bool bRight = xint + 1 < flowSize.x;
    const bool bTop = yint + 1 < flowSize.y;
    const float2 zero{0, 0};
    const float2 lb = vectorData[yint][xint];
    const float2 rb = bRight ? vectorData[yint][xint + 1] : zero;
    const float2 lt = bTop ? vectorData[yint + 1][xint] : zero;
    const float2 rt = bRight && bTop ? vectorData[yint + 1][xint + 1] : zero;
    ret = interpolateVector(xfac, yfac, lb, lt, rb, rt);
    return true;
}

float2 CritpntDetect::interpolateVector(const float& xfac, const float& yfac, const float2& lb,
                                        const float2& lt, const float2& rb, const float2& rt) const
{
    return ((1 - yfac) * (1 - xfac)) * lb + ((1 - yfac) * xfac) * rb + ((1 - xfac) * yfac) * lt +
           (xfac * yfac) * rt;
}

void CritpntDetect::clearCritpntData() {}
