// Static field-line drawing of the flow view: each kind in its colour, seeds and particles in
// blue, as shaded bands and discs in tube mode or as thin strips and points otherwise.
#include "view/flowView.h"

#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

#include <algorithm>

namespace
{

constexpr float4 kStreamlineColor{1.0f, 0.0f, 0.0f, 1.0f};
constexpr float4 kPathlineColor{1.0f, 1.0f, 0.0f, 1.0f};
constexpr float4 kStreaklineColor{0.0f, 1.0f, 0.0f, 1.0f};
constexpr float4 kTimelineColor{1.0f, 0.0f, 1.0f, 1.0f};
constexpr int kDiscResolution = 10;

void setColor(const float4& c)
{
    glColor3f(c.x, c.y, c.z);
}

void setBlue()
{
    glColor3f(0.0f, 0.0f, 1.0f);
}

// Records beyond the table are never read, whatever count a caller passes.
int recordEnd(int first, int count)
{
    const long long end = static_cast<long long>(std::max(first, 0)) + std::max(count, 0);
    return static_cast<int>(std::min<long long>(end, TracedLines::kMaxLines));
}

void lineStrip(const float2* points, int first, int last, int step)
{
    glBegin(GL_LINE_STRIP);
    for (int i = first; step > 0 ? i <= last : i >= last; i += step)
        glVertex2f(points[i].x, points[i].y);
    glEnd();
}

void point(const float2& p)
{
    glBegin(GL_POINTS);
    glVertex2f(p.x, p.y);
    glEnd();
}

} // namespace

// The stored points of a streamline or pathline record: startIdx to startIdx + numPoint.
int FlowView::flowlinePointCount(const flowlineInfo& rec)
{
    return rec.numPoint + 1;
}

void FlowView::drawMarker(const float2& p)
{
    if (bTubelines)
        drawCircle(p, kDiscResolution, markerRadius());
    else
        point(p);
}

// A line drawn outwards from its seed: seed down to the first point, seed up to the last.
void FlowView::drawFlowline(const flowlineInfo& rec, int numPoints, const float4& color)
{
    float2* points = tmpLines->pointArray.data();
    setColor(color);
    if (bTubelines)
    {
        drawLineTexture(points + rec.startIdx, numPoints, lineRadius(), 0, color, 0.0f, false);
        return;
    }
    if (numPoints < 2)
        return;
    const int last = rec.startIdx + numPoints - 1;
    lineStrip(points, rec.seedIdx, rec.startIdx, -1);
    lineStrip(points, rec.seedIdx, last, 1);
}

void FlowView::drwSingleStrml(int strmPthStrkFlag, bool /*animationEnable*/, int prevLines)
{
    if (prevLines < 0 || prevLines >= TracedLines::kMaxLines)
        return;
    const flowlineInfo* rec = nullptr;
    float4 color{};
    int numPoints = 0;
    if (strmPthStrkFlag == 1)
    {
        rec = &tmpLines->streamlineIndxArray[prevLines];
        color = kStreamlineColor;
        numPoints = flowlinePointCount(*rec);
    }
    else if (strmPthStrkFlag == 2)
    {
        rec = &tmpLines->pathlineIndxArray[prevLines];
        color = kPathlineColor;
        numPoints = flowlinePointCount(*rec);
    }
    else if (strmPthStrkFlag == 3)
    {
        rec = &tmpLines->streaklineIndxArray[prevLines];
        color = kStreaklineColor;
        numPoints = rec->numPoint;
    }
    if (!rec)
        return;
    drawFlowline(*rec, numPoints, color);
    setBlue();
    if (rec->numPoint > 0)
        drawMarker(tmpLines->pointArray[rec->seedIdx]);
}

void FlowView::drwRakeStrml(int prevSeedNum, int numRakeSeeds, float2* /*rakeSeeds*/,
                            bool bStreamlines)
{
    const std::vector<flowlineInfo>& records =
        bStreamlines ? tmpLines->streamlineIndxArray : tmpLines->pathlineIndxArray;
    const float4 color = bStreamlines ? kStreamlineColor : kPathlineColor;
    const int first = std::max(prevSeedNum, 0);
    const int end = recordEnd(prevSeedNum, numRakeSeeds);
    for (int k = first; k < end; ++k)
    {
        drawFlowline(records[k], flowlinePointCount(records[k]), color);
        if (!bTubelines)
        {
            setBlue();
            point(tmpLines->pointArray[records[k].seedIdx]);
        }
    }
    setBlue();
    for (int k = first; k < end; ++k)
        drawMarker(tmpLines->pointArray[records[k].seedIdx]);
}

void FlowView::drwStrkl(bool animationEnable)
{
    drwSingleStrml(3, animationEnable, 0);
    setBlue();
    const flowlineInfo& rec = tmpLines->streaklineIndxArray[0];
    for (int i = 0; i < rec.numPoint; ++i)
        drawMarker(tmpLines->pointArray[rec.startIdx + i]);
}

void FlowView::drwTimel(int /*numSeeds*/, int timeId)
{
    if (timeId < 0 || timeId >= TracedLines::kMaxLines)
        return;
    const timelineInfo& rec = tmpLines->timelineIndxArray[timeId];
    float2* points = tmpLines->pointArray.data() + rec.startIdx;
    setColor(kTimelineColor);
    if (bTubelines)
        drawLineTexture(points, rec.numSeed, lineRadius(), 0, kTimelineColor, 0.0f, false);
    else if (rec.numSeed > 0)
        lineStrip(points, 0, rec.numSeed - 1, 1);
    setBlue();
    for (int i = 0; i < rec.numSeed; ++i)
        drawMarker(points[i]);
    bTimelineShown = true;
}

// Runs in every frame that shows a timeline, after the timeline was drawn or copied with the
// kept layers: those are drawn again whenever a flag changes, so the note stays true.
void FlowView::advanceTimeline()
{
    if (!bTimelineShown)
        return;
    saveAnimationFrame(uiTimelDispTimeId);
    autoTimeIdChange();
}

void FlowView::drwMultiSlicePthl(int numLines)
{
    setColor(kPathlineColor);
    const int end = recordEnd(0, numLines);
    for (int k = 0; k < end; ++k)
    {
        const flowlineInfo& rec = tmpLines->pathlineIndxArray[k];
        lineStrip(tmpLines->pointArray.data(), rec.startIdx, rec.startIdx + rec.numPoint, 1);
    }
}

void FlowView::drwCommitedLines()
{
    const int end = recordEnd(0, commitedLines->streamlineNum);
    const float2* points = commitedLines->pointArray.data();
    for (int i = 0; i < end; ++i)
    {
        const flowlineInfo& rec = commitedLines->streamlineIndxArray[i];
        glColor3f(0.0f, 0.0f, 0.0f);
        lineStrip(points, rec.startIdx, rec.startIdx + rec.numPoint, 1);
        glColor3f(1.0f, 0.0f, 0.0f);
        point(points[rec.seedIdx]);
    }
}

bool FlowView::anyFieldLineType() const
{
    return bStrml || bPthl || bPthTimel || bTimel || bStrkl || bStrmStrkl || bPthlStrkl;
}

FlowView::FieldLineLayer FlowView::fieldLineLayer() const
{
    if (!anyFieldLineType() || !bFlowlet)
        return FieldLineLayer::Still;
    return flowletLineType() == FLT_TYPE_NUM ? FieldLineLayer::Nothing : FieldLineLayer::Flowlets;
}

// The static field-line layer of a frame: the first rule matching the flags.
void FlowView::drwFieldLines()
{
    const int n = rakeSeedCount();
    float2* seeds = trace->rakeSeeds;
    if (bPnt && bStrml)
        drwSingleStrml(1, true, 0);
    else if (bRake && (bStrml || bPthl))
        drwRakeStrml(0, n, seeds, bStrml);
    else if ((bUnif || bRand) && bStrml)
        drwRakeStrml(0, n, seeds, true);
    else if (bPnt && bPthl)
        drwSingleStrml(2, true, 0);
    else if (bPnt && bStrkl)
        drwStrkl(true);
    else if (bRake && bTimel)
        drwTimel(n, uiTimelDispTimeId);
    else if (bPthTimel)
    {
        drwRakeStrml(0, n, seeds, bStrml);
        drwTimel(n, uiTimelDispTimeId);
    }
    else if (bStrmStrkl)
    {
        drwSingleStrml(1, false, 0);
        drwStrkl(false);
    }
    else if (bPthlStrkl)
    {
        drwMultiSlicePthl(dataMani->flowFieldSize.z);
        drwStrkl(false);
    }
}
