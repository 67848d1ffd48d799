// The flowlet animation of the flow view: the timer and its slots, the frame counter with its
// pause control, the automatic time-step advance, and one animation frame.
#include "view/flowView.h"

#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

#include <QTimer>

namespace
{
const int kDiscResolution = 10;

bool running(int clickCount)
{
    return clickCount % 2 != 0;
}
} // namespace

void FlowView::on_view_flowlet(int state)
{
    bFlowlet = state != 0;
    if (!bFlowlet)
    {
        iTimer->stop();
        repaint();
        return;
    }
    animStep = 0;
    bTubelines = false;
    iTimer->start(uiSpeedAnimation);
}

// Tubes replace the flowlets; the timer stops with them, so no frames are drawn for nothing.
// Either way the lines show in their new form at once.
void FlowView::on_view_tubeLines(int state)
{
    bTubelines = state != 0;
    if (bTubelines)
    {
        bFlowlet = false;
        iTimer->stop();
    }
    repaint();
}

// The new period applies from the next switch-on; a running timer keeps its own.
void FlowView::on_view_changeAnimSpeed(int value)
{
    uiSpeedAnimation = value;
    animStep = 0;
    repaint();
}

void FlowView::onAnimationSpeedChanged(int newValue)
{
    iTimer->start(newValue);
}

void FlowView::on_view_controlPtlineanim(int cntAnimPTl)
{
    viewCntAnimPTl = cntAnimPTl;
}

void FlowView::on_view_controlSingleFlowlineAnim(int cntAnimSingleFlowline)
{
    viewCntAnimSingleFlowline = cntAnimSingleFlowline;
}

// Runs before the frame's own increment, so a paused count leaves the counter unchanged.
void FlowView::controlSingleFlowlineAnim()
{
    if (!running(viewCntAnimSingleFlowline))
        animStep -= 1;
}

// Past the last time step the panel is told the step count once more, and the view falls
// back to the last step.
void FlowView::autoTimeIdChange()
{
    if (!running(viewCntAnimPTl))
        return;
    uiTimelDispTimeId += 1;
    emit view_pass_ptlineanimid_msg(uiTimelDispTimeId);
    if (uiTimelDispTimeId >= dataMani->flowFieldSize.z)
        uiTimelDispTimeId = dataMani->flowFieldSize.z - 1;
}

void FlowView::drawFlowletAnimation(TracedLines* lines, FieldLineType lineType,
                                    const bool& showLicImage)
{
    controlSingleFlowlineAnim();
    const int t = flowletFrame.build(*lines, lineType, animStep, trace->pthlTraceTimeIntv,
                                     dataMani->flowFieldSize.z, uiTimelDispTimeId);
    if (t >= 0)
    {
        // The background follows the animated time step.
        if (showLicImage)
        {
            showLIC(t);
            attachLICBkImg(licImage->texImageName);
        }
        saveAnimationFrame(t);
    }
    drawFlowletBands();
}

void FlowView::drawFlowletBands()
{
    for (const FlowletBand& flowlet : flowletFrame.bands())
    {
        if (flowlet.bDiscs)
        {
            glColor4f(flowlet.color.x, flowlet.color.y, flowlet.color.z, flowlet.color.w);
            for (int i = 0; i < flowlet.numPoint; ++i)
                drawCircle(flowlet.points[i], kDiscResolution, markerRadius());
        }
        else
        {
            drawLineTexture(flowlet.points, flowlet.numPoint, lineRadius(), 0, flowlet.color,
                            flowlet.fading, flowlet.bArrow);
        }
    }
}

// The flowlet kind for the field-line flags, in the frame's order of precedence; streaklines
// alone have no flowlets (FLT_TYPE_NUM).
FieldLineType FlowView::flowletLineType() const
{
    if (bStrml)
        return FLT_STREAMLINE;
    if (bPthTimel)
        return FLT_PATHLINE_TIMELINE;
    if (bPthl)
        return FLT_PATHLINE;
    if (bTimel)
        return FLT_TIMELINE;
    if (bStrmStrkl)
        return FLT_STREAMLINE_STREAKLINE;
    if (bPthlStrkl)
        return FLT_PATHLINE_STREAKLINE;
    return FLT_TYPE_NUM;
}
