#include "scene/flowletFrame.h"

#include "tracing/tracedLines.h"

#include <algorithm>

namespace
{
const float kFading = 1.0f / 30; // alpha step along a flowlet
const float4 kTrackColor = makeFloat4(1, 1, 1, 0.2f);
const float4 kTrailColor = makeFloat4(1, 1, 1, 0.5f);
const float kTrailFading = 0.4f; // over the whole pathline
const float4 kRed = makeFloat4(1, 0, 0, 1);
const float4 kYellow = makeFloat4(1, 1, 0, 1);
const float4 kGreen = makeFloat4(0, 1, 0, 1);
const float4 kBlue = makeFloat4(0, 0, 1, 1);
const float4 kMagenta = makeFloat4(1, 0, 1, 1);

// Frames advance time by pthlTraceTimeIntv each; the last time step holds the animation.
int advanceTime(bool hasLines, int& animStep, float pthlTraceTimeIntv, int numTimeSteps,
                int dispTimeId)
{
    int t = static_cast<int>(animStep * pthlTraceTimeIntv);
    if (!hasLines)
        return dispTimeId;
    if (t >= numTimeSteps)
        t = numTimeSteps - 1;
    else
        animStep += 1;
    return t;
}
} // namespace

FlowletFrame::FlowletFrame() : tmpPoints(kMaxPathlines) {}

int FlowletFrame::build(TracedLines& lines, FieldLineType lineType, int& animStep,
                        float pthlTraceTimeIntv, int numTimeSteps, int dispTimeId)
{
    frameBands.clear();
    switch (lineType)
    {
    case FLT_STREAMLINE:
        buildStreamlines(lines, animStep);
        return -1;
    case FLT_STREAMLINE_STREAKLINE:
        buildStreamlines(lines, animStep);
        buildStreaklines(lines);
        return -1;
    case FLT_PATHLINE:
    case FLT_PATHLINE_TIMELINE:
    case FLT_PATHLINE_STREAKLINE:
        return buildPathlines(lines, lineType, animStep, pthlTraceTimeIntv, numTimeSteps,
                              dispTimeId);
    case FLT_TIMELINE:
    {
        const int t = advanceTime(lines.timelineNum > 0, animStep, pthlTraceTimeIntv, numTimeSteps,
                                  dispTimeId);
        buildTimeline(lines, t);
        return t;
    }
    default:
        return -1;
    }
}

// A train of red arrows, one every kPeriod points, over a faint track of the whole line. Only
// heads below the frame counter are drawn, so after a re-trace the train builds up head by head.
void FlowletFrame::buildStreamlines(TracedLines& lines, int& animStep)
{
    if (lines.streamlineNum <= 0)
        return;
    const int a = ++animStep;
    for (int r = 0; r < lines.streamlineNum; ++r)
    {
        const flowlineInfo& rec = lines.streamlineIndxArray[r];
        float2* p = lines.pointArray.data() + rec.startIdx;
        const int n = rec.numPoint;
        add(p, n + 1, kTrackColor, 0, false);
        int h = a % kPeriod;
        if (n <= h)
            h = n - 2;
        if (n <= 1 || h >= a)
            continue;
        int j = 0;
        int len = h + 1;
        do
        {
            if (j == 0 || len > kArrowMinPoints)
                add(p + j, len, kRed, kFading, true);
            else
                add(p + j, len, makeFloat4(1, 0, 0, len / 30.0f), kFading, false);
            j = h + kLength;
            h += kPeriod;
            if (h >= n)
                h = n - 2;
            len = h - j + 1;
        } while (j < n - 1 && h < a);
    }
}

void FlowletFrame::buildStreaklines(TracedLines& lines)
{
    for (int r = 0; r < lines.streaklineNum; ++r)
    {
        const flowlineInfo& rec = lines.streaklineIndxArray[r];
        float2* p = lines.pointArray.data() + rec.startIdx;
        add(p, rec.numPoint, kGreen, 0, false);
        add(p, rec.numPoint, kBlue, 0, false, true);
    }
}

int FlowletFrame::buildPathlines(TracedLines& lines, FieldLineType lineType, int& animStep,
                                 float pthlTraceTimeIntv, int numTimeSteps, int dispTimeId)
{
    const int t =
        advanceTime(lines.pathlineNum > 0, animStep, pthlTraceTimeIntv, numTimeSteps, dispTimeId);
    const int a = animStep;
    if (lineType == FLT_PATHLINE_TIMELINE && lines.timelineNum > 0)
        buildPathlineTimeline(lines, a);
    if (lineType == FLT_PATHLINE_STREAKLINE && lines.streaklineNum > 0)
        buildPathlineStreakline(lines, a);
    if (lineType == FLT_PATHLINE_STREAKLINE)
        buildPathlineFlowlets(lines, a, kComparisonStride, kComparisonDelay);
    else
        buildPathlineFlowlets(lines, a, 1, 0);
    return t;
}

// The curve through the current particles of all pathlines: the timeline of this frame.
void FlowletFrame::buildPathlineTimeline(TracedLines& lines, int step)
{
    const int m = std::min(lines.pathlineNum, kMaxPathlines);
    for (int p = 0; p < m; ++p)
    {
        const flowlineInfo& rec = lines.pathlineIndxArray[p];
        // A pathline holding only its seed contributes the seed.
        const int e = std::max(0, std::min(rec.numPoint - 1, step));
        tmpPoints[p] = lines.pointArray[rec.startIdx + e];
    }
    add(tmpPoints.data(), m, kMagenta, 0, false);
}

// Pathline p is released at time step p, kComparisonDelay frames after its predecessor; the
// curve through the released particles is the streakline of this frame.
void FlowletFrame::buildPathlineStreakline(TracedLines& lines, int step)
{
    const int m = std::min(lines.pathlineNum, kMaxPathlines);
    int count = 0;
    for (int p = 0; p < m; ++p)
    {
        const flowlineInfo& rec = lines.pathlineIndxArray[p];
        const int e = std::min(step - kComparisonDelay * p, rec.numPoint - 1);
        if (e > 0)
            tmpPoints[count++] = lines.pointArray[rec.startIdx + e];
    }
    add(tmpPoints.data(), count, kGreen, 0, false);
}

// Each pathline grows from its seed with a yellow arrow at the particle; later pathlines start
// delay frames per line later, and the first one not yet started ends the drawing.
void FlowletFrame::buildPathlineFlowlets(TracedLines& lines, int step, int stride, int delay)
{
    for (int p = 0, d = 0; p < lines.pathlineNum; p += stride, d += stride * delay)
    {
        const flowlineInfo& rec = lines.pathlineIndxArray[p];
        const int n = rec.numPoint;
        int head = step - d;
        if (head >= n)
            head = n - 1;
        else if (head < 0)
            break;
        if (head < 1)
            continue; // a band needs two points
        const int tail = std::max(0, std::min(step - d - kLength, n - 1));
        float2* points = lines.pointArray.data() + rec.startIdx;
        add(points, head + 1, kTrailColor, kTrailFading / n, false);
        add(points + tail, head - tail + 1, kYellow, kFading, true);
    }
}

void FlowletFrame::buildTimeline(TracedLines& lines, int timeId)
{
    // Only traced time steps have a timeline; beyond them the store holds stale points.
    if (timeId < 0 || timeId >= lines.timelineNum)
        return;
    const timelineInfo& rec = lines.timelineIndxArray[0];
    add(lines.pointArray.data() + rec.startIdx + timeId * rec.numSeed, rec.numPoint, kMagenta, 0,
        false);
}

// Bands of fewer than two points and empty disc runs draw nothing and are left out.
void FlowletFrame::add(float2* points, int numPoint, const float4& color, float fading, bool bArrow,
                       bool bDiscs)
{
    if (numPoint < (bDiscs ? 1 : 2))
        return;
    frameBands.push_back(FlowletBand{points, numPoint, color, fading, bArrow, bDiscs});
}
