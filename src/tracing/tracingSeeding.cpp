#include "tracing/tracing.h"

#include "common/printLine.h"
#include "tracing/tracedLines.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace
{
// A seed set fills the tracer's seed array and one record per line.
constexpr int kMaxSeededLines = std::min(TracedLines::kMaxLines, Tracing::kMaxRakeSeeds);

void reportRefused(const char* operation, long long requested, int traced)
{
    if (traced < requested)
        printLine("%s: %lld of %lld lines refused, the line store holds at most %d lines of "
                  "a kind and %d points",
                  operation, requested - traced, requested, TracedLines::kMaxLines,
                  TracedLines::kMaxPoints);
}
} // namespace

void Tracing::computeRakeSeed(float2* seedArr, int numSeed) const
{
    // With one seed or none there is nothing between the ends, and no last seed to read.
    if (seedArr == nullptr || numSeed <= 1 || numSeed > kMaxRakeSeeds)
        return;
    // The last seed is the rake's end as clicked and is left exactly as it is.
    const float2 first = seedArr[0];
    const float2 last = seedArr[numSeed - 1];
    for (int i = 1; i < numSeed - 1; ++i)
    {
        const float f = float(i) / float(numSeed - 1);
        seedArr[i].x = first.x + (last.x - first.x) * f;
        seedArr[i].y = first.y + (last.y - first.y) * f;
    }
}

void Tracing::rakeStrml(float2* seedArr, bool bStrml, int3 size, float2*** field,
                        TracedLines* flowlines, int& prevNumPnts)
{
    if (seedArr == nullptr || flowlines == nullptr)
        return;
    const int requested = std::max(numRakeSeeds, 0);
    const int numLines = std::min(requested, kMaxSeededLines);
    int traced = 0;
    for (int i = 0; i < numLines; ++i)
    {
        float2 endPos{};
        const bool bTraced =
            bStrml ? traceStreamline(seedArr[i], size, field, flowlines, i, prevNumPnts)
                   : tracePathline(seedArr[i], pthlTraceTimeIntv, 0, float(size.z), size, field,
                                   flowlines, i, prevNumPnts, endPos);
        traced += bTraced ? 1 : 0;
    }
    // The view draws numRakeSeeds records: keep it within those written.
    numRakeSeeds = std::min(numRakeSeeds, numLines);
    flgMulti = true;
    reportRefused("Rake", requested, traced);
}

void Tracing::getRakeStrmPthTimeEndSdPnts(bool& firstSd, bool bStrml, float2* seedPos,
                                          float2* seedArr, int numSeed, int3 size, float2*** field,
                                          int flagStrmPathPthtime, TracedLines* flowlines)
{
    if (seedPos == nullptr || seedArr == nullptr)
        return;
    if (firstSd)
    {
        if (flowlines != nullptr)
            flowlines->clearLineData();
        firstSd = false;
        seedArr[0] = *seedPos;
        return;
    }
    firstSd = true;
    if (numSeed < 1)
    {
        printLine("Rake refused: it needs at least one seed, not %d", numSeed);
        return;
    }
    if (numSeed > kMaxRakeSeeds)
    {
        printLine("Rake: %d of %d seeds refused, a rake holds at most %d seeds",
                  numSeed - kMaxRakeSeeds, numSeed, kMaxRakeSeeds);
        numSeed = kMaxRakeSeeds;
        numRakeSeeds = std::min(numRakeSeeds, numSeed);
    }
    seedArr[numSeed - 1] = *seedPos;
    computeRakeSeed(seedArr, numSeed);
    if (flowlines == nullptr)
        return;
    const int flag = flagStrmPathPthtime;
    if (flag == 1 || flag == 2 || flag == 4)
        rakeStrml(seedArr, bStrml, size, field, flowlines, flowlines->currNumpnt);
    if (flag == 3 || flag == 4)
        timelTracing(seedArr, numSeed, size, field, flowlines, flowlines->currNumpnt);
}

void Tracing::getUnifSdPnts(float2* seedArr, int numXSeed, int numYSeed, int3 size, float2*** field,
                            TracedLines* flowlines)
{
    if (seedArr == nullptr || flowlines == nullptr || numXSeed < 1 || numYSeed < 1)
        return;
    const int xintv = int(winWidth / (static_cast<long long>(numXSeed) + 1));
    const int yintv = int(winHeight / (static_cast<long long>(numYSeed) + 1));
    const long long requested = static_cast<long long>(numXSeed) * numYSeed;
    const int numSeed = int(std::min<long long>(requested, kMaxSeededLines));
    for (int k = 0; k < numSeed; ++k)
    {
        const int r = k / numXSeed;
        const int c = k % numXSeed;
        seedArr[k] = makeFloat2(float((c + 1) * xintv), float((r + 1) * yintv));
    }
    const int traced = traceSeededStreamlines(seedArr, numSeed, size, field, flowlines);
    if (requested > numSeed)
        numRakeSeeds = std::min(numRakeSeeds, numSeed);
    reportRefused("Uniform seeding", requested, traced);
}

void Tracing::getRandSdPnts(float2* seedArr, int numSeed, int3 size, float2*** field,
                            TracedLines* flowlines)
{
    if (seedArr == nullptr || flowlines == nullptr || numSeed < 1)
        return;
    const int numDrawn = std::min(numSeed, kMaxSeededLines);
    for (int i = 0; i < numDrawn; ++i)
    {
        const int x = drawUniform(winWidth);
        const int y = drawUniform(winHeight);
        seedArr[i] = makeFloat2(float(x), float(y));
    }
    const int traced = traceSeededStreamlines(seedArr, numDrawn, size, field, flowlines);
    if (numSeed > numDrawn)
        numRakeSeeds = std::min(numRakeSeeds, numDrawn);
    reportRefused("Random seeding", numSeed, traced);
}

// One streamline per seed, line i into record i, points from 0 on with a count of its own, so
// the distance test against the store sees only what currNumpnt already covered.
int Tracing::traceSeededStreamlines(float2* seedArr, int numSeed, int3 size, float2*** field,
                                    TracedLines* flowlines)
{
    // Without distance control the lines do not depend on each other, unless the seeds lie in
    // the store that the lines overwrite.
    const float2* const store = flowlines->pointArray.data();
    const bool bSeedsApart = std::less<const float2*>()(seedArr + numSeed, store) ||
                             !std::less<const float2*>()(seedArr, store + TracedLines::kMaxPoints);
    const unsigned cores = threadCount ? threadCount : std::thread::hardware_concurrency();
    const int threads = std::clamp(int(cores), 1, std::max(numSeed, 1));
    if (!distanceControlActive() && bSeedsApart && threads > 1)
        return traceSeededInParallel(seedArr, numSeed, threads, size, field, flowlines);
    int count = 0;
    int traced = 0;
    for (int i = 0; i < numSeed; ++i)
        traced += traceStreamline(seedArr[i], size, field, flowlines, i, count) ? 1 : 0;
    return traced;
}

// Threads take seeds in order and trace each line apart; whichever finishes a line stores
// every line whose predecessors are all stored, so lines reach the store in seed order, as
// the sequential loop writes them. Once the store is full no further line is traced: the
// store refuses them all.
int Tracing::traceSeededInParallel(const float2* seedArr, int numSeed, int threads, int3 size,
                                   float2*** field, TracedLines* flowlines) const
{
    std::vector<StreamlineHalves> lines(numSeed);
    std::vector<bool> bDone(numSeed, false);
    std::mutex storing; // guards bDone, nextStored, count, traced and the store
    int nextStored = 0;
    int count = 0;
    int traced = 0;
    std::atomic<int> nextSeed{0};
    std::atomic<bool> bFull{false};
    const auto work = [&]
    {
        for (int i = nextSeed++; i < numSeed && !bFull; i = nextSeed++)
        {
            traceApart(seedArr[i], size, field, lines[i]);
            const std::lock_guard lock(storing);
            bDone[i] = true;
            for (; nextStored < numSeed && bDone[nextStored]; ++nextStored)
            {
                traced += storeStreamline(lines[nextStored], flowlines, nextStored, count) ? 1 : 0;
                lines[nextStored] = {};
            }
            bFull = count >= TracedLines::kMaxPoints;
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < threads; ++t)
            helpers.emplace_back(work);
        work();
    }
    return traced;
}

// An equally likely integer in [0, upper]: draws from the top, incomplete stretch of the
// generator's range are redrawn, fewer than half of them for any bound.
int Tracing::drawUniform(int upper)
{
    if (upper <= 0)
        return 0;
    const unsigned long long range = static_cast<unsigned long long>(upper) + 1;
    const unsigned long long limit = (1ULL << 32) / range * range;
    unsigned long long draw = seedGenerator();
    while (draw >= limit)
        draw = seedGenerator();
    return int(draw % range);
}
