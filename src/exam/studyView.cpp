#include "studyView.h"

#include "exam/normalisedPosition.h"

#include <QFileInfo>
#include <QMouseEvent>

namespace
{
bool insideUnitSquare(const float2& p)
{
    return p.x >= 0.0f && p.x <= 1.0f && p.y >= 0.0f && p.y <= 1.0f;
}
} // namespace

StudyView::StudyView(QWidget* parent, int viewSize) : FlowView(parent, viewSize, viewSize)
{
    // Two left clicks place a rake of streamlines.
    bPnt = false;
    bRake = true;
    trace->numRakeSeeds = uiRakeSeedNum;
    trace->bMulti = true;
}

bool StudyView::loadSteadyDataSet(const QString& stem)
{
    const QString hdr = stem + QStringLiteral(".txt"), dat = stem + QStringLiteral(".dat");
    if (!QFileInfo::exists(hdr) || !QFileInfo::exists(dat))
        return false;
    auto field = std::make_unique<DataManipulate>(hdr, dat, unstdyHdrPth, unstdyDatPth, true);
    QString licPath;
    if (!field->readHeaderFile(true, licPath) || !field->readVectFile(true, licPath) ||
        !field->hasField() || field->flowFieldSize.x < 2 || field->flowFieldSize.y < 2)
        return false;

    stdyHdrPth = hdr;
    stdyDatPth = dat;
    stdyLicImg = licPath;
    tabStdyEnable = true;
    tabUnstdyEnable = false;
    dataMani = std::move(field);
    const int3 size = dataMani->flowFieldSize;
    uiTimelDispTimeId = 0;
    translateX = translateY = translateZ = static_cast<int>(size.x * 0.5f);
    halfviewW = size.x * 0.5f;
    halfviewH = size.y * 0.5f;
    trace = std::make_unique<Tracing>(size, uiTimelDispTimeId);
    trace->uiIntvTracStp = uiIntvTracStp;
    trace->numRakeSeeds = uiRakeSeedNum;
    trace->bMulti = true;
    licImage = std::make_unique<LIC>(size);
    tmpLines->clearLineData();
    tmpLines->currNumpnt = 0;
    bFirstSeed = true;
    bFirstComputeCritpnt = true;
    // Lines of the same width on screen whatever the grid size.
    flowlineRadius = 0.003f * size.x;
    flowSeedRadius = 0.002f * size.x;
    invalidate();
    update();
    return true;
}

void StudyView::setCircle(float2 normalised)
{
    circlePos = normalised;
    update();
}

void StudyView::paintGL()
{
    FlowView::paintGL();
    if (hasField() && insideUnitSquare(circlePos))
        drawPlainCircle(fieldFromNormalised(circlePos, dataMani->flowFieldSize),
                        kCircleRadius * float(dataMani->flowFieldSize.x));
}

bool StudyView::fieldPosition(const QMouseEvent* event, float2& normalised)
{
    if (!hasField())
        return false;
    float2 p = makeFloat2(float(event->position().x()), float(winHeight - event->position().y()));
    normalised = normalisedFromField(mapMouseCoortoFlowCoor(p), dataMani->flowFieldSize);
    return insideUnitSquare(normalised);
}

// A right click confirms a location and never reaches the tracer, so a rake being placed
// is left alone.
void StudyView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
    {
        FlowView::mousePressEvent(event);
        return;
    }
    float2 normalised;
    if (fieldPosition(event, normalised))
        emit locationConfirmed(normalised);
}
