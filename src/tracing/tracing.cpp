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

inline float squaredDistance(const float2& p, const float2& q)
{
    return (p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y);
}

float pointDistance(const float2& p, const float2& q)
{
    return std::sqrt(squaredDistance(p, q));
}

// The least float s whose square root passes the monotone test bPasses. Square roots are
// correctly rounded, so for every float x (NaN included) bPasses(sqrt(x)) == (x >= s): a
// squared length compared with s decides as its root compared with the limit, without the root.
template <class Test> float leastSquarePassing(float limit, Test bPasses)
{
    float s = limit * limit;
    while (!bPasses(std::sqrt(s)))
        s = std::nextafter(s, HUGE_VALF);
    while (bPasses(std::sqrt(std::nextafter(s, 0.0f))))
        s = std::nextafter(s, 0.0f);
    return s;
}

const float kMinSpeedSquared =
    leastSquarePassing(kMinSpeed, [](float r) { return r >= kMinSpeed; });
const float kSpacingSquared =
    leastSquarePassing(kMinPointSpacing, [](float r) { return r > kMinPointSpacing; });

inline bool fastEnough(const float2& vec)
{
    return vec.x * vec.x + vec.y * vec.y >= kMinSpeedSquared;
}

inline float2 bilinear(float2** slice, int xi, int yi, float fx, float fy)
{
    const float2* const row0 = slice[yi];
    const float2* const row1 = slice[yi + 1];
    return (1 - fy) * ((1 - fx) * row0[xi] + fx * row0[xi + 1]) +
           fy * ((1 - fx) * row1[xi] + fx * row1[xi + 1]);
}

// The field at one whole-numbered time, as streamlines see it: samples exactly as
// interpolateVect does at that time, with its checks of the time and the field made once. A
// time outside the field or a missing field fails every sample, as there.
class SliceSampler
{
public:
    SliceSampler(float time, int3 size, float2*** field)
        : slice(field != nullptr && time >= 0.0f && time < float(size.z) ? field[int(time)]
                                                                         : nullptr),
          maxX(float(size.x - 1)), maxY(float(size.y - 1))
    {
    }

    bool sample(const float2& pos, float2& vec) const
    {
        if (slice == nullptr || !(pos.x >= 0.0f && pos.x < maxX && pos.y >= 0.0f && pos.y < maxY))
            return false;
        const int xi = int(pos.x);
        const int yi = int(pos.y);
        vec = bilinear(slice, xi, yi, pos.x - float(xi), pos.y - float(yi));
        return fastEnough(vec);
    }

    // One step of RK4 with step length h; false, leaving pos, when a sample fails.
    bool step(float2& pos, float h) const
    {
        float2 k1{}, k2{}, k3{}, k4{};
        if (!sample(pos, k1) || !sample(pos + (0.5f * h) * k1, k2) ||
            !sample(pos + (0.5f * h) * k2, k3) || !sample(pos + h * k3, k4))
            return false;
        const float2 sum = ((k1 + 2.0f * k2) + 2.0f * k3) + k4;
        pos = pos + (h / 6.0f) * sum;
        return true;
    }

private:
    float2** slice;
    float maxX; // the sampling domain is 0 <= x < maxX, 0 <= y < maxY
    float maxY;
};
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
    return fastEnough(vec);
}

float Tracing::stepLength(int direction) const
{
    return float(double(direction * uiIntvTracStp) * 0.1);
}

bool Tracing::RK4(float2& pos, float timeIntplId, int direction, int3 size, float2*** field) const
{
    const float h = stepLength(direction);
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
    const int room = TracedLines::kMaxPoints - prevNumPnts;
    count = walkHalf(seedPos, direction, count, size, field,
                     [&](const float2& pos, int k)
                     {
                         if (!keepCandidate(flowlines, prevNumPnts, k, pos) || k >= room)
                             return false;
                         points[k] = pos;
                         if (bIndexed)
                             grid.insert(pos);
                         return true;
                     });
    if (bIndexed)
        grid.removeLast(count);
    return count;
}

// Walks one half of a streamline from seedPos. Every position more than the point spacing
// away from the last point kept is offered to keep(pos, count), which stores it as point
// count and returns true, or refuses it and so ends the half. The half also ends when a step
// fails, when count reaches half the point budget or after too many steps without a point.
// Returns the final count.
template <class Keep>
int Tracing::walkHalf(const float2& seedPos, int direction, int count, int3 size, float2*** field,
                      Keep&& keep) const
{
    const SliceSampler sampler(float(uiTimelDispTimeId), size, field);
    const float h = stepLength(direction);
    const int budget = iNumPointsStrl / 2;
    float2 pos = seedPos;
    float2 prev = seedPos;
    int stepsWithoutPoint = 0;
    while (true)
    {
        if (squaredDistance(prev, pos) >= kSpacingSquared)
        {
            if (!keep(pos, count))
                break;
            prev = pos;
            ++count;
            stepsWithoutPoint = 0;
        }
        if (stepsWithoutPoint >= kMaxStepsWithoutPoint || !sampler.step(pos, h))
            break;
        ++stepsWithoutPoint;
        if (count >= budget)
            break;
    }
    return count;
}

// Without distance control a line does not depend on the store, except where the store's end
// cuts it: the halves are traced whole (no line can be longer than the store) and cut when
// stored.
void Tracing::traceApart(const float2& seedPos, int3 size, float2*** field,
                         StreamlineHalves& line) const
{
    line.backward.assign(1, seedPos);
    line.forward.clear();
    const auto keepIn = [](std::vector<float2>& half)
    {
        return [&half](const float2& pos, int k)
        {
            if (k >= TracedLines::kMaxPoints)
                return false;
            half.push_back(pos);
            return true;
        };
    };
    walkHalf(seedPos, -1, 1, size, field, keepIn(line.backward));
    walkHalf(seedPos, +1, 0, size, field, keepIn(line.forward));
}

// Writes a line traced apart into record prevNumLines from point prevNumPnts on, exactly as
// traceStreamline writes it there: refused when the store is full, cut where it ends.
bool Tracing::storeStreamline(const StreamlineHalves& line, TracedLines* flowlines,
                              int prevNumLines, int& prevNumPnts) const
{
    if (flowlines == nullptr || prevNumLines < 0 || prevNumLines >= TracedLines::kMaxLines ||
        prevNumPnts < 0 || prevNumPnts >= TracedLines::kMaxPoints)
        return false;
    const int base = prevNumPnts;
    const int back = std::min(int(line.backward.size()), TracedLines::kMaxPoints - base);
    const int front = std::min(int(line.forward.size()), TracedLines::kMaxPoints - base - back);
    float2* const points = flowlines->pointArray.data() + base;
    std::reverse_copy(line.backward.begin(), line.backward.begin() + back, points);
    std::copy_n(line.forward.begin(), front, points + back);
    flowlines->streamlineIndxArray[prevNumLines] =
        flowlineInfo{base, base + back - 1, back + front - 1};
    prevNumPnts = base + back + front;
    flowlines->streamlineNum = prevNumLines + 1;
    return true;
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
