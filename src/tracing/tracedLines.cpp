#include "tracing/tracedLines.h"

#include "common/printLine.h"

#include <algorithm>
#include <cstring>

TracedLines::TracedLines()
    : streamlineIndxArray(kMaxLines, flowlineInfo{0, 0, 0}),
      streaklineIndxArray(kMaxLines, flowlineInfo{0, 0, 0}),
      pathlineIndxArray(kMaxLines, flowlineInfo{0, 0, 0}),
      timelineIndxArray(kMaxLines, timelineInfo{0, 0, 0}), pointArray(kMaxPoints)
{
}

void TracedLines::clearLineData()
{
    std::fill(streamlineIndxArray.begin(), streamlineIndxArray.end(), flowlineInfo{0, 0, 0});
    std::fill(streaklineIndxArray.begin(), streaklineIndxArray.end(), flowlineInfo{0, 0, 0});
    std::fill(pathlineIndxArray.begin(), pathlineIndxArray.end(), flowlineInfo{0, 0, 0});
    std::fill(timelineIndxArray.begin(), timelineIndxArray.end(), timelineInfo{0, 0, 0});
    // All bits set reads as NaN, which never draws and never rejects a distance test.
    std::memset(pointArray.data(), 0xFF, kClearedPoints * sizeof(float2));
    streamlineNum = 0;
    pathlineNum = 0;
    streaklineNum = 0;
    timelineNum = 0;
}

void TracedLines::commitTmplines(TracedLines* commitedLines) const
{
    if (commitedLines == nullptr || commitedLines == this)
        return;
    const int base = std::clamp(commitedLines->currNumpnt, 0, kMaxPoints);
    const int numPnts = std::clamp(currNumpnt, 0, kMaxPoints);
    const int copied = std::min(numPnts, kMaxPoints - base);
    std::copy_n(pointArray.begin(), copied, commitedLines->pointArray.begin() + base);

    const int numLines = std::clamp(streamlineNum, 0, kMaxLines);
    int committed = 0;
    for (int r = 0; r < numLines; ++r)
    {
        const flowlineInfo& rec = streamlineIndxArray[r];
        const int slot = commitedLines->streamlineNum + committed;
        const bool bFits = slot >= 0 && slot < kMaxLines && rec.startIdx >= 0 &&
                           rec.numPoint >= 0 && rec.startIdx < copied - rec.numPoint;
        if (!bFits)
            continue;
        commitedLines->streamlineIndxArray[slot] =
            flowlineInfo{base + rec.startIdx, base + rec.seedIdx, rec.numPoint};
        ++committed;
    }
    commitedLines->streamlineNum += committed;
    commitedLines->currNumpnt = base + copied;
    if (committed < numLines)
        printLine("Committing lines: %d of %d streamlines refused, the committed store is "
                  "full",
                  numLines - committed, numLines);
}
