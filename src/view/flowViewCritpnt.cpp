// The critical point side of the flow view: when the detector runs, the template
// streamlines traced from its seeds, and the glowing discs, marker discs, template lines and
// streamlet animation of the types the user has ticked.
#include "view/flowView.h"

#include "critpnt/critpntDetect.h"
#include "data/dataManipulate.h"
#include "scene/critpntShapes.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

#include <GL/gl.h>
#include <algorithm>
#include <array>

namespace
{
constexpr float kDetectResolution = 36.0f;

// One critical point type as the view sees it; the six come in the order of the seed tables.
struct CritpntType
{
    bool bShown;
    float2* points;
    int numPoints;
    float2* seeds;
    int numSeeds;
    COLOR color;
};

std::array<CritpntType, 6> critpntTypes(const FlowView& view)
{
    const CritpntDetect& d = *view.criticalpntDetect;
    critpntArray& a = *d.critpoints;
    return {{
        {view.bRepFocus, a.repFocus, d.repFocusCnt, a.repFocusTmpltSeeds, a.repFocusTmpltSeedsCnt,
         COLOR{1.0f, 0.0f, 0.0f, 1.0f}},
        {view.bAttrFocus, a.attrFocus, d.attrFocusCnt, a.attrFocusTmpltSeeds,
         a.attrFocusTmpltSeedsCnt, COLOR{1.0f, 1.0f, 0.0f, 1.0f}},
        {view.bCenter, a.center, d.centerCnt, a.centerTmpltSeeds, a.centerTmpltSeedsCnt,
         COLOR{0.0f, 1.0f, 0.0f, 1.0f}},
        {view.bRepNode, a.repNode, d.repNodeCnt, a.repNodeTmpltSeeds, a.repNodeTmpltSeedsCnt,
         COLOR{0.0f, 1.0f, 1.0f, 1.0f}},
        {view.bAttrNode, a.attrNode, d.attrNodeCnt, a.attrNodeTmpltSeeds, a.attrNodeTmpltSeedsCnt,
         COLOR{0.0f, 0.0f, 1.0f, 1.0f}},
        {view.bSaddlePnt, a.saddlePnt, d.saddlePntCnt, a.saddlePntTmpltSeeds,
         a.saddlePntTmpltSeedsCnt, COLOR{1.0f, 0.0f, 1.0f, 1.0f}},
    }};
}

// The part of a type's block of template lines that was actually traced: lines beyond the
// store's count are stale or were never written.
int tracedInBlock(const TracedLines& lines, int start, int count)
{
    return std::clamp(lines.streamlineNum - start, 0, count);
}

// The traced template lines of one shown type.
struct TemplateBlock
{
    int first;
    int count;
    float2* seeds;
};

std::vector<TemplateBlock> shownTemplateBlocks(const FlowView& view)
{
    std::vector<TemplateBlock> blocks;
    int start = 0;
    for (const CritpntType& type : critpntTypes(view))
    {
        if (type.bShown)
            blocks.push_back(
                {start, tracedInBlock(*view.tmpLines, start, type.numSeeds), type.seeds});
        start += type.numSeeds;
    }
    return blocks;
}

// Templates beyond the store's capacity are left out, rather than each being refused.
bool hasRoomForTemplate(const TracedLines& lines, const Tracing& tracer)
{
    return lines.streamlineNum < TracedLines::kMaxLines &&
           lines.currNumpnt + tracer.iNumPointsStrl <= TracedLines::kMaxPoints;
}
} // namespace

void FlowView::on_view_toggleRepFocus(int state)
{
    toggleCritpntType(bRepFocus, state);
}

void FlowView::on_view_toggleAttrFocus(int state)
{
    toggleCritpntType(bAttrFocus, state);
}

void FlowView::on_view_toggleCenter(int state)
{
    toggleCritpntType(bCenter, state);
}

void FlowView::on_view_toggleRepNode(int state)
{
    toggleCritpntType(bRepNode, state);
}

void FlowView::on_view_toggleAttrNode(int state)
{
    toggleCritpntType(bAttrNode, state);
}

void FlowView::on_view_toggleSaddlePnt(int state)
{
    toggleCritpntType(bSaddlePnt, state);
}

void FlowView::toggleCritpntType(bool& bType, int state)
{
    bType = state != 0;
    animStep = 0;
    uiTimelDispTimeId = 0;
    bCritpntDetect = bRepFocus || bAttrFocus || bCenter || bRepNode || bAttrNode || bSaddlePnt;
    if (bType)
        genAllCritpntData();
    else
        clearCritpntData();
    repaint();
}

void FlowView::on_view_toggleCriticalPntStrml(int state)
{
    bCriticalPntStrml = state != 0;
    animStep = 0;
    uiTimelDispTimeId = 0;
    if (bCriticalPntStrml)
        traceCriticalpntTmpltSeeds();
    else
        clearFlowData();
    repaint();
}

void FlowView::genAllCritpntData()
{
    if (bFirstComputeCritpnt)
    {
        detectCritpnts(uiTimelDispTimeId);
        bFirstComputeCritpnt = false;
        // The field has changed since: its tracks too.
        if (bTracks)
            computeTracks();
    }
    if (bCriticalPntStrml)
        traceCriticalpntTmpltSeeds();
}

void FlowView::detectCritpnts(int timeId)
{
    critpntTimeId = timeId;
    invalidate();
    if (dataMani->hasField() && timeId >= 0 && timeId < dataMani->flowFieldSize.z)
    {
        criticalpntDetect->genAllCritpntData(dataMani->orgnvectField2dSlice[timeId],
                                             kDetectResolution, &dataMani->flowFieldSize);
        return;
    }
    // Without a field there is nothing to show, not the points of an earlier field.
    CritpntDetect& d = *criticalpntDetect;
    d.repFocusCnt = d.attrFocusCnt = d.centerCnt = d.repNodeCnt = d.attrNodeCnt = 0;
    d.saddlePntCnt = d.allPntCnt = 0;
    critpntArray& a = *d.critpoints;
    a.repFocusTmpltSeedsCnt = a.attrFocusTmpltSeedsCnt = a.centerTmpltSeedsCnt = 0;
    a.repNodeTmpltSeedsCnt = a.attrNodeTmpltSeedsCnt = a.saddlePntTmpltSeedsCnt = 0;
}

void FlowView::traceCriticalpntTmpltSeeds()
{
    animStep = 0;
    tmpLines->streamlineNum = 0;
    tmpLines->currNumpnt = 0;
    invalidate();
    if (!dataMani->hasField() || critpntTimeId >= dataMani->flowFieldSize.z)
        return;
    // The templates belong to the time step the points were found in.
    const int tracerTimeId = trace->uiTimelDispTimeId;
    trace->uiTimelDispTimeId = critpntTimeId;
    for (const CritpntType& type : critpntTypes(*this))
        for (int s = 0; s < type.numSeeds && hasRoomForTemplate(*tmpLines, *trace); ++s)
            trace->strmlTracing(type.seeds[s], dataMani->flowFieldSize,
                                dataMani->orgnvectField2dSlice.data(), tmpLines.get(), nullptr,
                                nullptr, tmpLines->streamlineNum, tmpLines->currNumpnt);
    trace->uiTimelDispTimeId = tracerTimeId;
}

void FlowView::clearCritpntData()
{
    invalidate();
    int start = 0;
    for (const CritpntType& type : critpntTypes(*this))
    {
        if (!type.bShown)
        {
            const int n = tracedInBlock(*tmpLines, start, type.numSeeds);
            for (int k = start; k < start + n; ++k)
                tmpLines->streamlineIndxArray[k].numPoint = 0;
        }
        start += type.numSeeds;
    }
}

bool FlowView::critpntTypeStyle(int code, COLOR& color) const
{
    static const int kCodes[] = {3, 2, 6, 1, 0, 4}; // the order of critpntTypes
    const std::array<CritpntType, 6> types = critpntTypes(*this);
    for (std::size_t k = 0; k < types.size(); ++k)
        if (kCodes[k] == code)
        {
            color = types[k].color;
            return types[k].bShown;
        }
    return false;
}

bool FlowView::critpntLinesMove() const
{
    return bCritpntDetect && bFlowlet && bCriticalPntStrml;
}

// Drawn over the field-lines.
void FlowView::drwCritpntLines()
{
    if (!bCritpntDetect)
        return;
    if (bFlowlet)
        drawCriticalpntTmpltStrmlet();
    else
        drwCriticalpntTmpltStrml();
}

// The discs go over the template lines.
void FlowView::drwCritpntDiscs()
{
    if (!bCritpntDetect)
        return;
    drwCritpnts(criticalpntDetect.get());
    drwCritpntTmpltSeeds(criticalpntDetect.get());
}

void FlowView::drwCritpnts(CritpntDetect* detect)
{
    (void)detect;
    for (CritpntType& type : critpntTypes(*this))
        if (type.bShown)
            drwOneTypeCritpnts(type.points, type.numPoints, type.color);
}

void FlowView::drwOneTypeCritpnts(float2* critpntData, int numPoints, COLOR& circleColor)
{
    for (int k = 0; k < numPoints; ++k)
    {
        circleColor.a = 1.0f;
        circleCritPnt(&critpntData[k], circleColor);
    }
}

void FlowView::circleCritPnt(float2* pos1, COLOR& circleColor)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(circleColor.r, circleColor.g, circleColor.b, 1.0f);
    glVertex2f(pos1->x, pos1->y);
    circleColor.a = 0.0f;
    glColor4f(circleColor.r, circleColor.g, circleColor.b, circleColor.a);
    for (const float2& rim :
         CritpntShapes::discRim(*pos1, CritpntShapes::kDiscRadius * markScale, winWidth, winHeight))
        glVertex2f(rim.x, rim.y);
    glEnd();
}

void FlowView::drwCritpntTmpltSeeds(CritpntDetect* detect)
{
    (void)detect;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (const CritpntType& type : critpntTypes(*this))
        if (type.bShown)
            for (int k = 0; k < type.numPoints; ++k)
                drawCircle(type.points[k], 10, markerRadius());
}

void FlowView::drwCriticalpntTmpltStrml()
{
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    if (!bCriticalPntStrml)
        return;
    for (const TemplateBlock& block : shownTemplateBlocks(*this))
        drwRakeStrml(block.first, block.count, block.seeds, true);
}

void FlowView::drawCriticalpntTmpltStrmlet()
{
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    if (!bCriticalPntStrml)
        return;
    controlSingleFlowlineAnim();
    for (const TemplateBlock& block : shownTemplateBlocks(*this))
        drawCriticalStrmletAnimation(tmpLines.get(), block.first, block.count);
    if (tmpLines->streamlineNum > 0)
        ++animStep;
}

void FlowView::drawCriticalStrmletAnimation(TracedLines* lines, int prevLine, int lineCnt)
{
    const float4 track = makeFloat4(1.0f, 1.0f, 1.0f, 0.2f);
    const float4 dash = makeFloat4(1.0f, 0.0f, 0.0f, 1.0f);
    for (int k = prevLine; k < prevLine + lineCnt; ++k)
    {
        const flowlineInfo& line = lines->streamlineIndxArray[k];
        float2* points = lines->pointArray.data() + line.startIdx;
        drawLineTexture(points, line.numPoint, lineRadius(), 0, track, 0.0f, false);
        for (const CritpntShapes::Dash& d : CritpntShapes::strmletDashes(line.numPoint, animStep))
            drawLineTexture(points + d.first, d.len, lineRadius(), 0, dash, 0.03333f, d.bArrow);
    }
}
