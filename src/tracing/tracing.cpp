#include "tracing/tracing.h"

#include "common/printLine.h"
#include "tracing/tracedLines.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
constexpr float kMinPointSpacing = 0.5f;
constexpr float kMinSpeed = 0.01f;

float pointDistance(const float2& p, const float2& q)
{
    return std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y));
}

inline float2 bilinear(float2** slice, int xi, int yi, float fx, float fy)
{
    const float2* const row0 = slice[yi];
    const float2* const row1 = slice[yi + 1];
    return (1 - fy) * ((1 - fx) * row0[xi] + fx * row0[xi + 1]) +
           fy * ((1 - fx) * row1[xi] + fx * row1[xi + 1]);
}
} // namespace

Tracing::Tracing(int3 size, int timeId)
    : flowFieldSize(size), winWidth(size.x), winHeight(size.y), strkStpTime(float(size.z)),
      uiTimelDispTimeId(timeId)
{
}

bool Tracing::interpolateVect(float2 pos, float timeIntplId, float2& vec, int3 size,
                              float2*** field) const
{
    // Compared as floats, so NaN and huge positions are refused before any integer cast.
    const bool bInside =
        pos.x >= 0.0f && pos.x < float(size.x - 1) && pos.y >= 0.0f && pos.y < float(size.y - 1);
    // A time outside the field's steps would read past the slice table.
    const bool bInTime = timeIntplId >= 0.0f && timeIntplId < float(size.z);
    if (field == nullptr || !bInside || !bInTime)
        return false;
    // Both coordinates are non-negative here, so truncation is the floor.
    const int xi = int(pos.x);
    const int yi = int(pos.y);
    const float fx = pos.x - float(xi);
    const float fy = pos.y - float(yi);
    const int ti = int(timeIntplId);
    const float fz = timeIntplId - float(ti);
    vec = bilinear(field[ti], xi, yi, fx, fy);
    if (timeIntplId != float(ti) && ti + 1 < size.z)
    {
        const float2 next = bilinear(field[ti + 1], xi, yi, fx, fy);
        vec = fz * next + (1 - fz) * vec;
    }
    return std::sqrt(vec.x * vec.x + vec.y * vec.y) >= kMinSpeed;
}

bool Tracing::RK4(float2& pos, float timeIntplId, int direction, int3 size, float2*** field) const
{
    const float h = float(double(direction * uiIntvTracStp) * 0.1);
    float2 k1{}, k2{}, k3{}, k4{};
    if (!interpolateVect(pos, timeIntplId, k1, size, field) ||
        !interpolateVect(pos + (0.5f * h) * k1, timeIntplId, k2, size, field) ||
        !interpolateVect(pos + (0.5f * h) * k2, timeIntplId, k3, size, field) ||
        !interpolateVect(pos + h * k3, timeIntplId, k4, size, field))
        return false;
    const float2 sum = ((k1 + 2.0f * k2) + 2.0f * k3) + k4;
    pos = pos + (h / 6.0f) * sum;
    return true;
}

void Tracing::strmlTracing(float2& seedPos, int3 size, float2*** field, TracedLines* flowlines,
                           TracedLines* /*commitedLines*/, TracedLines* /*otherTmpLines*/,
                           int prevNumLines, int& prevNumPnts)
{
    if (!traceStreamline(seedPos, size, field, flowlines, prevNumLines, prevNumPnts))
        printLine("Streamline refused: the line store is full (line %d, point %d)", prevNumLines,
                  prevNumPnts);
}

bool Tracing::traceStreamline(const float2& seedPos, int3 size, float2*** field,
                              TracedLines* flowlines, int prevNumLines, int& prevNumPnts)
{
    if (flowlines == nullptr || prevNumLines < 0 || prevNumLines >= TracedLines::kMaxLines ||
        prevNumPnts < 0 || prevNumPnts >= TracedLines::kMaxPoints)
        return false;
    const float2 seed = seedPos; // the seed may live in the store being written
    flowlineInfo& rec = flowlines->streamlineIndxArray[prevNumLines];
    rec.startIdx = prevNumPnts;
    rec.numPoint = 0;
    flowlines->pointArray[prevNumPnts] = seed;
    prepareStoreIndex(flowlines, size, prevNumPnts);

    // The backward half is stored outward from the seed and reversed at the end.
    int count = traceHalf(seed, -1, 1, size, field, flowlines, prevNumPnts);
    rec.seedIdx = rec.startIdx + count - 1;
    prevNumPnts += count;
    // A running count that is the store's own now covers the backward half.
    if (bIndexUsable)
        extendStoreIndex(flowlines);
    count = traceHalf(seed, +1, 0, size, field, flowlines, prevNumPnts);
    prevNumPnts += count;
    rec.numPoint = prevNumPnts - rec.startIdx - 1;
    restoreStreamlinepntsOrder(flowlines, prevNumLines, rec.startIdx);
    flowlines->streamlineNum = prevNumLines + 1;
    return true;
}

// Stores the points of one half from prevNumPnts + count on; returns the new count.
int Tracing::traceHalf(const float2& seedPos, int direction, int count, int3 size, float2*** field,
                       TracedLines* flowlines, int prevNumPnts)
{
    float2* const points = flowlines->pointArray.data() + prevNumPnts;
    const bool bIndexed = distanceControlActive() && bIndexUsable;
    if (bIndexed)
        for (int k = 0; k < count; ++k)
            grid.insert(points[k]);
    const float time = float(uiTimelDispTimeId);
    const int room = TracedLines::kMaxPoints - prevNumPnts;
    float2 pos = seedPos;
    float2 prev = seedPos;
    int stepsWithoutPoint = 0;
    while (true)
    {
        if (pointDistance(prev, pos) > kMinPointSpacing)
        {
            if (!keepCandidate(flowlines, prevNumPnts, count, pos) || count >= room)
                break;
            points[count] = pos;
            if (bIndexed)
                grid.insert(pos);
            prev = pos;
            ++count;
            stepsWithoutPoint = 0;
        }
        if (stepsWithoutPoint >= kMaxStepsWithoutPoint || !RK4(pos, time, direction, size, field))
            break;
        ++stepsWithoutPoint;
        if (count >= iNumPointsStrl / 2)
            break;
    }
    if (bIndexed)
        grid.removeLast(count);
    return count;
}

void Tracing::restoreStreamlinepntsOrder(TracedLines* flowlines, int prevNumLines,
                                         int prevNumPnts) const
{
    if (flowlines == nullptr || prevNumLines < 0 || prevNumLines >= TracedLines::kMaxLines)
        return;
    const flowlineInfo& rec = flowlines->streamlineIndxArray[prevNumLines];
    const int full = rec.seedIdx - rec.startIdx;
    if (full < 0 || prevNumPnts < 0 || prevNumPnts >= TracedLines::kMaxPoints - full)
        return;
    float2* const first = flowlines->pointArray.data() + prevNumPnts;
    std::reverse(first, first + full + 1);
}

bool Tracing::distanceControl(TracedLines* lines, const float2& pos) const
{
    if (!bDistctrl || lines == nullptr)
        return true;
    const int numPoints = std::min(lines->currNumpnt, TracedLines::kMaxPoints);
    return distanceControl(lines->pointArray.data(), numPoints, pos);
}

bool Tracing::distanceControl(float2* points, const int& numPoints, const float2& pos) const
{
    if (!bDistctrl || points == nullptr || numPoints < 1)
        return true;
    for (int k = 0; k < numPoints; ++k)
        if (uiDistCtrl > pointDistance(points[k], pos))
            return false;
    return true;
}

bool Tracing::distanceControl(TracedLines* commitedLines, TracedLines* /*otherTmpLines*/,
                              float2 pos) const
{
    return distanceControl(commitedLines, pos);
}

// Nothing can be closer than a threshold that is not positive, nor than NaN.
bool Tracing::distanceControlActive() const
{
    return bDistctrl && uiDistCtrl > 0.0f;
}

// Same decision as the two scans over the store and over the current half; the index answers
// it when the half is written past the store's points, the scans otherwise.
bool Tracing::keepCandidate(TracedLines* flowlines, int prevNumPnts, int count, const float2& pos)
{
    if (!distanceControlActive())
        return true;
    if (bIndexUsable)
        return !grid.anyCloserThan(pos);
    return distanceControl(flowlines, pos) &&
           distanceControl(flowlines->pointArray.data() + prevNumPnts, count, pos);
}

// Checks that the points the index holds are still the store's first points (others may have
// rewritten them since), then brings it up to the store's currNumpnt. A line written from
// base over the store's own points would change them under the index: it uses the scans.
void Tracing::prepareStoreIndex(TracedLines* flowlines, int3 size, int base)
{
    bIndexUsable = false;
    if (!distanceControlActive() || !std::isfinite(uiDistCtrl))
        return;
    const int numPnts = std::clamp(flowlines->currNumpnt, 0, TracedLines::kMaxPoints);
    if (base < numPnts)
        return;
    const bool bStale = !grid.matches(size, uiDistCtrl) || storeIndexed != flowlines ||
                        numPnts < storeIndexCount || grid.size() != storeIndexCount ||
                        std::memcmp(grid.data(), flowlines->pointArray.data(),
                                    std::size_t(storeIndexCount) * sizeof(float2)) != 0;
    if (bStale)
    {
        grid.reset(size, uiDistCtrl);
        storeIndexed = flowlines;
        storeIndexCount = 0;
    }
    bIndexUsable = true;
    extendStoreIndex(flowlines);
}

// Adds the points the store has gained, such as a backward half counted into currNumpnt.
void Tracing::extendStoreIndex(TracedLines* flowlines)
{
    const int numPnts = std::clamp(flowlines->currNumpnt, 0, TracedLines::kMaxPoints);
    for (int k = storeIndexCount; k < numPnts; ++k)
        grid.insert(flowlines->pointArray[k]);
    storeIndexCount = std::max(storeIndexCount, numPnts);
}
