#include "tracing/tracing.h"

#include "common/printLine.h"
#include "tracing/tracedLines.h"

#include <algorithm>
#include <cmath>

float2 Tracing::pthlTracing(float2& seedPos, float timeIntv, int pthlStartTimeId, float endTime,
                            int3 size, float2*** field, TracedLines* flowlines, int prevNumLines,
                            int& prevNumPnts)
{
    float2 endPos = seedPos;
    if (!tracePathline(seedPos, timeIntv, pthlStartTimeId, endTime, size, field, flowlines,
                       prevNumLines, prevNumPnts, endPos))
        printLine("Pathline refused: the line store is full (line %d, point %d)", prevNumLines,
                  prevNumPnts);
    return endPos;
}

bool Tracing::tracePathline(const float2& seedPos, float timeIntv, int pthlStartTimeId,
                            float endTime, int3 size, float2*** field, TracedLines* flowlines,
                            int prevNumLines, int& prevNumPnts, float2& endPos)
{
    if (flowlines == nullptr || prevNumLines < 0 || prevNumLines >= TracedLines::kMaxLines ||
        prevNumPnts < 0 || prevNumPnts >= TracedLines::kMaxPoints)
        return false;
    const int base = prevNumPnts;
    float2* const points = flowlines->pointArray.data() + base;
    points[0] = seedPos;
    endPos = seedPos;
    const int budget = std::min(iNumPointsStrl, TracedLines::kMaxPoints - base);
    const int count = advancePathline(endPos, timeIntv, float(pthlStartTimeId), endTime, budget,
                                      size, field, points);
    flowlines->pathlineIndxArray[prevNumLines] = flowlineInfo{base, base, count - 1};
    prevNumPnts = base + count;
    flowlines->pathlineNum = prevNumLines + 1;
    return true;
}

// Advances pos from startTime until endTime, writing the position after every step to
// points[count] while count stays below budget; returns count, points[0] being the seed.
// The step that meets the budget still moves pos, so pos is the particle's final position.
int Tracing::advancePathline(float2& pos, float timeIntv, float startTime, float endTime,
                             int budget, int3 size, float2*** field, float2* points)
{
    float t = startTime;
    pthTimeId = t;
    int count = 1;
    while (t < endTime)
    {
        if (!RK4(pos, t, +1, size, field) || count >= budget)
            break;
        points[count] = pos;
        ++count;
        t = timeIntv + pthTimeId;
        pthTimeId = t;
    }
    return count;
}

void Tracing::multiSlicePthl(float2 seed, int3 size, int numpthlines, float2*** field,
                             TracedLines* flowlines, int& prevNumPnts)
{
    int refused = 0;
    for (int i = 0; i < numpthlines; ++i)
    {
        float2 endPos{};
        if (!tracePathline(seed, pthlTraceTimeIntv, i, float(size.z), size, field, flowlines, i,
                           prevNumPnts, endPos))
            ++refused;
    }
    if (refused > 0)
        printLine("Pathlines: %d of %d refused, the line store is full", refused, numpthlines);
}

void Tracing::strklTracing(float2& seedPos, float timeIntv, int endTime, float strkParticleTimeId,
                           int3 size, float2*** field, TracedLines* flowlines)
{
    if (flowlines == nullptr)
        return;
    flowlineInfo& rec = flowlines->streaklineIndxArray[0];
    if (rec.numPoint == 0)
        bStrklRefusalSaid = false;
    if (rec.numPoint < 0 || rec.numPoint >= TracedLines::kMaxPoints)
    {
        if (!bStrklRefusalSaid)
            printLine("Streakline particles refused: the line store is full");
        bStrklRefusalSaid = true;
        return;
    }
    float2 pos = seedPos;
    pthTimeId = strkParticleTimeId;
    int steps = 0;
    while (pthTimeId < float(endTime))
    {
        if (!RK4(pos, pthTimeId, +1, size, field) || rec.numPoint >= iNumPointsStrl ||
            ++steps >= kMaxParticleSteps)
            break;
        pthTimeId = pthTimeId + timeIntv;
    }
    flowlines->pointArray[rec.numPoint] = pos;
    ++rec.numPoint;
}

void Tracing::timelTracing(float2* seedArr, int numSeed, int3 size, float2*** field,
                           TracedLines* flowlines, int& prevNumPnts)
{
    if (seedArr == nullptr || flowlines == nullptr || numSeed < 1 || prevNumPnts < 0)
        return;
    const float interval = uiStrkParticleTimeIntv;
    const float quotient = float(size.z) / interval;
    if (!(interval > 0.0f) || !std::isfinite(quotient))
    {
        printLine("Timelines refused: the interval between them must be positive");
        return;
    }
    if (!(quotient > 0.0f))
        return;
    // Kept as a double: a huge quotient must not overflow the count.
    const double requested = double(std::ceil(quotient));
    const int seeds = std::min(numSeed, kMaxRakeSeeds);
    const int room =
        (TracedLines::kMaxPoints - std::min(prevNumPnts, TracedLines::kMaxPoints)) / seeds;
    const int numTimel = int(std::min({requested, double(TracedLines::kMaxLines), double(room)}));
    const int numPthl =
        numTimel > 0 ? traceTimelines(seedArr, seeds, numTimel, size, field, flowlines, prevNumPnts)
                     : 0;
    const int refusedPthl = std::min(seeds, TracedLines::kMaxLines) - numPthl;
    if (numTimel < requested || refusedPthl > 0 || seeds < numSeed)
        printLine("Timelines: %.0f of %.0f timelines and %d of %d pathlines refused, "
                  "%d of %d seeds used: the line store is full",
                  requested - numTimel, requested, refusedPthl, seeds, seeds, numSeed);
}

// Each seed's particle is traced once, to the last timeline's time: a pathline to an earlier
// end time is a prefix of that track. Timeline j, the particles at time j x interval, is
// written from prevNumPnts on, and each track as the seed's pathline after the timelines, so
// the two never overlap. Returns the number of pathlines written.
int Tracing::traceTimelines(const float2* seedArr, int seeds, int numTimel, int3 size,
                            float2*** field, TracedLines* flowlines, int& prevNumPnts)
{
    const float interval = uiStrkParticleTimeIntv;
    const int base = prevNumPnts;
    int pathStart = base + numTimel * seeds;
    int numPthl = 0;
    float2* const points = flowlines->pointArray.data();
    for (int i = 0; i < seeds; ++i)
    {
        traceParticle(seedArr[i], float(numTimel - 1) * interval, size, field);
        for (int j = 0; j < numTimel; ++j)
            points[base + j * seeds + i] = positionAtTime(float(j) * interval);
        const int count = int(particleTrack.size());
        if (numPthl == i && i < TracedLines::kMaxLines &&
            count <= TracedLines::kMaxPoints - pathStart)
        {
            std::copy(particleTrack.begin(), particleTrack.end(), points + pathStart);
            flowlines->pathlineIndxArray[i] = flowlineInfo{pathStart, pathStart, count - 1};
            pathStart += count;
            ++numPthl;
        }
    }
    for (int j = 0; j < numTimel; ++j)
        flowlines->timelineIndxArray[j] = timelineInfo{base + j * seeds, seeds, seeds};
    flowlines->timelineNum = numTimel;
    flowlines->pathlineNum = numPthl;
    prevNumPnts = pathStart;
    return numPthl;
}

// Traces into particleTrack what the pathline tracer would store for a particle released at
// time 0 and followed until endTime; particleEndPos is the position it would return.
void Tracing::traceParticle(const float2& seedPos, float endTime, int3 size, float2*** field)
{
    particleTrack.resize(std::size_t(std::max(iNumPointsStrl, 1)));
    particleTrack[0] = seedPos;
    particleEndPos = seedPos;
    const int count = advancePathline(particleEndPos, pthlTraceTimeIntv, 0.0f, endTime,
                                      iNumPointsStrl, size, field, particleTrack.data());
    particleTrack.resize(std::size_t(count));
}

// The position a pathline traced only until endTime would have returned: the loop runs one
// step per time value below endTime, so count the time values as it would.
float2 Tracing::positionAtTime(float endTime) const
{
    const int count = int(particleTrack.size());
    int steps = 0;
    float t = 0.0f;
    while (steps < count && t < endTime)
    {
        t = pthlTraceTimeIntv + t;
        ++steps;
    }
    return steps < count ? particleTrack[steps] : particleEndPos;
}

// Particles are released from the seed every uiStrkParticleTimeIntv time steps and carried to
// the stop time; their end positions, oldest first, form streakline record 0.
void Tracing::buildStreakline(float2 seedPos, int3 size, float2*** field, TracedLines* flowlines)
{
    flowlineInfo& rec = flowlines->streaklineIndxArray[0];
    rec = flowlineInfo{0, 0, 0};
    const double interval = uiStrkParticleTimeIntv;
    // A zero or invalid interval would release endless particles: none are released.
    int n = -1;
    if (interval > 0.0)
    {
        const double particles = std::ceil(static_cast<double>(strkStpTime) / interval);
        n = static_cast<int>(std::min<double>(particles, iNumPointsStrl - 1));
    }
    for (int i = 0; i <= n; ++i)
        strklTracing(seedPos, pthlTraceTimeIntv, static_cast<int>(strkStpTime),
                     static_cast<float>(i) * uiStrkParticleTimeIntv, size, field, flowlines);
    rec.seedIdx = rec.numPoint - 1;
    flowlines->currNumpnt += rec.numPoint;
    flowlines->streaklineNum += 1;
}
