// Mouse seeding and tracing control of the flow view: what a click traces, the two-click rake
// and the forgetting of traced lines.
#include "view/flowView.h"

#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

#include <algorithm>

namespace
{

// Counts out every line of a store so that the next trace writes from point 0; the records
// and points themselves stay until they are overwritten.
void resetLineCounts(TracedLines& lines)
{
    lines.currNumpnt = 0;
    lines.streamlineNum = 0;
    lines.pathlineNum = 0;
    lines.streaklineNum = 0;
    lines.timelineNum = 0;
}

} // namespace

int FlowView::rakeSeedCount() const
{
    return std::clamp(trace->numRakeSeeds, 0, Tracing::kMaxRakeSeeds);
}

int FlowView::seedCountFor(long long requested)
{
    return static_cast<int>(std::clamp<long long>(requested, 0, Tracing::kMaxRakeSeeds));
}

// The seeding half of a press, after seedPos holds the pressed field position.
void FlowView::seedFromPress(Qt::MouseButton button)
{
    const int n = rakeSeedCount();
    for (int i = 1; i < n; ++i)
        trace->rakeSeeds[i] = seedPos;
    if (button == Qt::LeftButton)
        reTraceFlowlines();
}

// Between the two clicks of a rake its far end follows the pointer.
void FlowView::followRakeEnd(float2 windowPos)
{
    if (bFirstSeed || !hasField())
        return;
    const int n = rakeSeedCount();
    if (n > 0)
    {
        trace->rakeSeeds[n - 1] = mapMouseCoortoFlowCoor(windowPos);
        trace->computeRakeSeed(trace->rakeSeeds, n);
    }
    repaint();
}

void FlowView::reTraceFlowlines()
{
    animStep = 0;
    prevTimeid = -1;
    trace->uiIntvTracStp = uiIntvTracStp;
    uiTimelDispTimeId = 0;
    resetLineCounts(*tmpLines);
    emit reset_cntAnimStrmStrkPathl_msg();
    // Land and gaps hold zero vectors: a line from there would show nothing true.
    if (hasField() && bPnt && shownNoData().atPosition(seedPos))
        emit view_hint_msg(tr("No data at the seed (land or a gap): nothing is traced"));
    else if (hasField())
        traceCurrentKind();
    invalidate();
}

// One row per field-line kind; the first that matches the flags is traced from seedPos.
void FlowView::traceCurrentKind()
{
    const int3 size = dataMani->flowFieldSize;
    float2*** field = dataMani->orgnvectField2dSlice.data();
    TracedLines* lines = tmpLines.get();
    if (bPnt && bStrml)
        trace->strmlTracing(seedPos, size, field, lines, commitedLines.get(), nullptr,
                            lines->streamlineNum, lines->currNumpnt);
    else if (bRake && (bStrml || bPthl))
        doPthlPthtimelTracing(1);
    else if (bPnt && bPthl)
        trace->pthlTracing(seedPos, trace->pthlTraceTimeIntv, 0, static_cast<float>(size.z), size,
                           field, lines, 0, lines->currNumpnt);
    else if (bPnt && bStrkl)
        doStrklTracing();
    else if (bRake && bTimel)
        trace->getRakeStrmPthTimeEndSdPnts(bFirstSeed, bStrml, &seedPos, trace->rakeSeeds,
                                           rakeSeedCount(), size, field, 3, lines);
    else if (bPthTimel)
        doPthlPthtimelTracing(4);
    else if (bStrmStrkl)
    {
        doStrklTracing();
        trace->strmlTracing(seedPos, size, field, lines, commitedLines.get(), nullptr, 0,
                            lines->currNumpnt);
    }
    else if (bPthlStrkl)
    {
        doStrklTracing();
        trace->multiSlicePthl(seedPos, size, size.z, field, lines, lines->currNumpnt);
    }
    else if (bCriticalPntStrml)
        traceCriticalpntTmpltSeeds();
}

void FlowView::doPthlPthtimelTracing(int flagPthlOnly)
{
    trace->numRakeSeeds = seedCountFor(uiRakeSeedNum);
    trace->getRakeStrmPthTimeEndSdPnts(bFirstSeed, bStrml, &seedPos, trace->rakeSeeds,
                                       trace->numRakeSeeds, dataMani->flowFieldSize,
                                       dataMani->orgnvectField2dSlice.data(), flagPthlOnly,
                                       tmpLines.get());
}

void FlowView::doStrklTracing()
{
    trace->buildStreakline(seedPos, dataMani->flowFieldSize, dataMani->orgnvectField2dSlice.data(),
                           tmpLines.get());
}

void FlowView::clearFlowData()
{
    seedPos = makeFloat2(-10000.0f, -10000.0f);
    tmpLines->clearLineData();
    commitedLines->clearLineData();
    animStep = 0;
    prevTimeid = -1;
    trace->uiIntvTracStp = uiIntvTracStp;
    trace->uiTimelDispTimeId = 0;
    resetLineCounts(*tmpLines);
    invalidate();
    repaint();
}

void FlowView::on_view_clrAllData()
{
    clearFlowData();
    repaint();
}
