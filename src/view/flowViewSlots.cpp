// Slots of the flow view driven by the control panel: seeding strategy and counts, field-line
// kind, tracing parameters, unsteady slice and time step, data set and attached image.
#include "view/flowView.h"

#include "common/inputFile.h"
#include "common/printLine.h"
#include "critpnt/critpntDetect.h"
#include "lic/LIC.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

#include <algorithm>

namespace
{

enum CheckBoxStatusCode
{
    kEnable = 4,        // CBST_ENABLE
    kDisableCheck = 7,  // CBST_DISABLE_CHECK
    kDisableUncheck = 8 // CBST_DISABLE_UNCHECK
};

// A seed count typed by the user: a decimal integer, 0 when the text is not one.
int parseSeedCount(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

void report(const char* message, const QString& detail)
{
    printLine("%s%s", message, detail.toLocal8Bit().constData());
}

} // namespace

// Seeding strategy.

void FlowView::on_view_toggleSglPntSeeding(int state)
{
    clearFlowData();
    bPnt = state != 0;
    if (bPnt)
        bRand = bUnif = bRake = false;
}

void FlowView::on_view_toggleRakeSeeding(int state)
{
    clearFlowData();
    bRake = state != 0;
    trace->numRakeSeeds = seedCountFor(uiRakeSeedNum);
    trace->bMulti = (bRake || bUnif) ? true : bRand;
    if (bRake)
        bRand = bUnif = bPnt = false;
}

void FlowView::on_view_modifRakeNumSeed(int value)
{
    clearFlowData();
    uiRakeSeedNum = value;
}

void FlowView::on_view_toggleUnifSeeding(int state)
{
    clearFlowData();
    trace->numRakeSeeds = seedCountFor(static_cast<long long>(uiUnifSeedXNum) *
                                       static_cast<long long>(uiUnifSeedYNum));
    bUnif = state != 0;
    trace->bMulti = (bRake || bUnif) ? true : bRand;
    if (bUnif)
    {
        bRand = bRake = bPnt = false;
        if (hasField())
            trace->getUnifSdPnts(trace->rakeSeeds, uiUnifSeedXNum, uiUnifSeedYNum,
                                 dataMani->flowFieldSize, dataMani->orgnvectField2dSlice.data(),
                                 tmpLines.get());
    }
    invalidate();
    repaint();
}

void FlowView::on_view_modifUniNumSeedX(QString unifSeedXNum)
{
    uiUnifSeedXNum = parseSeedCount(unifSeedXNum);
    on_view_toggleUnifSeeding(1);
}

void FlowView::on_view_modifUniNumSeedY(QString unifSeedYNum)
{
    uiUnifSeedYNum = parseSeedCount(unifSeedYNum);
    on_view_toggleUnifSeeding(1);
}

void FlowView::on_view_toggleRandomSeeding(int state)
{
    clearFlowData();
    trace->numRakeSeeds = seedCountFor(uiRandSeedNum);
    bRand = state != 0;
    trace->bMulti = (bRake || bUnif) ? true : bRand;
    if (bRand)
    {
        bUnif = bRake = bPnt = false;
        if (hasField())
            trace->getRandSdPnts(trace->rakeSeeds, trace->numRakeSeeds, dataMani->flowFieldSize,
                                 dataMani->orgnvectField2dSlice.data(), tmpLines.get());
    }
    invalidate();
    repaint();
}

void FlowView::on_view_modifRanNumSeed(QString randSeedNum)
{
    uiRandSeedNum = parseSeedCount(randSeedNum);
    on_view_toggleRandomSeeding(1);
}

// Field-line kind. The seven kinds exclude each other.

bool FlowView::switchFieldLine(bool& flag, int state)
{
    clearFlowData();
    const bool on = state != 0;
    if (on)
        bStrml = bPthl = bStrkl = bTimel = bPthTimel = bStrmStrkl = bPthlStrkl = false;
    flag = on;
    return on;
}

void FlowView::announceControls(int animationState, int licState)
{
    emit view_enable_animation_msg(animationState);
    emit view_enable_lic_msg(licState);
}

void FlowView::on_view_toggleStrmline(int state)
{
    if (switchFieldLine(bStrml, state))
        announceControls(kEnable, kEnable);
}

void FlowView::on_view_togglePthline(int state)
{
    if (switchFieldLine(bPthl, state))
        announceControls(kEnable, kEnable);
}

void FlowView::on_view_toggleTimeline(int state)
{
    if (switchFieldLine(bTimel, state))
        announceControls(kDisableCheck, kEnable);
    else
        emit view_enable_animation_msg(kEnable);
}

void FlowView::on_view_toggleStrkline(int state)
{
    if (switchFieldLine(bStrkl, state))
        announceControls(kDisableUncheck, kDisableUncheck);
    else
        announceControls(kEnable, kEnable);
}

void FlowView::on_view_togglePthTimeComp(int state)
{
    bRake = switchFieldLine(bPthTimel, state);
    if (bRake)
        announceControls(kDisableCheck, kEnable);
}

void FlowView::on_view_toggleStrmStrkComp(int state)
{
    bPnt = switchFieldLine(bStrmStrkl, state);
    if (bPnt)
        announceControls(kEnable, kEnable);
}

void FlowView::on_view_togglePthStrkComp(int state)
{
    bPnt = switchFieldLine(bPthlStrkl, state);
    if (bPnt)
        announceControls(kEnable, kEnable);
}

void FlowView::on_view_toggleRbtnSiglLine(int state)
{
    on_view_toggleStrmline(state);
    bPnt = state != 0;
}

void FlowView::on_view_toggleRbtnMultiLine(int state)
{
    on_view_togglePthTimeComp(state);
}

// Tracing parameters.

void FlowView::on_view_changeTracingStpIntv(int intval)
{
    uiIntvTracStp = intval;
    reTraceFlowlines();
    repaint();
}

void FlowView::on_view_changeDistCtrlSli(int value)
{
    trace->uiDistCtrl = static_cast<float>(value) * 0.1f;
}

void FlowView::on_view_toggleDistCtrl(int state)
{
    trace->bDistctrl = state != 0;
    if (!trace->bDistctrl)
        trace->uiDistCtrl = 0.0f;
}

void FlowView::on_view_changeStrklSliceIntv(float sliceIntv)
{
    clearFlowData();
    trace->uiStrkParticleTimeIntv = sliceIntv;
}

// Unsteady slice and time step.

void FlowView::on_view_changeUnstdySlice(int value)
{
    dataMani->uiUnstdySlicId = value - 1;
    bFirstComputeCritpnt = true;
}

// Reads the active data set again, for an unsteady set at the chosen slice.
void FlowView::on_view_confirmUnstdySliceID()
{
    loadDataSet(tabStdyEnable);
}

// The loader would go on with whatever it finds; a data set whose header or data file is
// missing is not loaded at all, so the field shown stays usable.
bool FlowView::dataSetFilesPresent(bool steady) const
{
    const QString paths[] = {steady ? stdyHdrPth : unstdyHdrPth,
                             steady ? stdyDatPth : unstdyDatPth};
    for (const QString& path : paths)
    {
        const InputFile file(path.toLocal8Bit().toStdString());
        if (!file.usable())
        {
            report(steady ? "Missing file of the steady data set; the previous field stays: "
                          : "Missing file of the unsteady data set; the previous field stays: ",
                   path + ": " + QString::fromLocal8Bit(file.problem.c_str()));
            return false;
        }
    }
    return true;
}

// A slice of another data set may have another size: the tracer and the LIC generator must
// describe the field they are given (the caller frames it with fieldLoaded()).
void FlowView::adoptLoadedFieldSize()
{
    const int3 size = dataMani->flowFieldSize;
    if (size.x == trace->winWidth && size.y == trace->winHeight &&
        static_cast<float>(size.z) == trace->strkStpTime)
        return;
    auto tracer = std::make_unique<Tracing>(size, uiTimelDispTimeId);
    tracer->uiIntvTracStp = uiIntvTracStp;
    tracer->bMulti = bRake || bUnif || bRand;
    tracer->bDistctrl = trace->bDistctrl;
    tracer->uiDistCtrl = trace->uiDistCtrl;
    tracer->uiStrkParticleTimeIntv = trace->uiStrkParticleTimeIntv;
    tracer->numRakeSeeds = trace->numRakeSeeds;
    trace = std::move(tracer);
    licImage = std::make_unique<LIC>(size);
    uiTimelDispTimeId = std::min(uiTimelDispTimeId, std::max(size.z - 1, 0));
}

void FlowView::on_view_changeUnstdyInterTimeSel(int value)
{
    // Only loaded time steps can be sampled.
    const int lastStep = std::max(static_cast<int>(dataMani->orgnvectField2dSlice.size()) - 1, 0);
    uiTimelDispTimeId = std::clamp(value - 1, 0, lastStep);
    trace->uiTimelDispTimeId = uiTimelDispTimeId;
}

void FlowView::on_view_confirmTimeId()
{
    clearFlowData();
    uiTimeId = uiTimelDispTimeId;
    // The image of the confirmed step sits beside the current one: dir/LIC<step>.ppm.
    const QString& current = licImage->LICBkImgPth;
    const QString directory = current.left(std::max<qsizetype>(current.lastIndexOf('/'), 0));
    licImage->LICBkImgPth = directory + "/LIC" + QString::number(uiTimeId) + ".ppm";
    if (bLICBk)
        showLICOrHisto();
    detectCritpnts(uiTimelDispTimeId);
    bFirstComputeCritpnt = false;
    if (bCriticalPntStrml)
        traceCriticalpntTmpltSeeds();
    repaint();
}

// Data set.

void FlowView::on_updateStdyDataDir(QString hdrPath, QString vecPath)
{
    stdyHdrPth = dataMani->stdyHdrPth = hdrPath;
    stdyDatPth = dataMani->stdyDatPth = vecPath;
}

// The loader derives the V file from the U file, so the U component is the one kept, whichever
// the user picked. A header chosen before any data file keeps the data path held.
void FlowView::on_updateUnstdyDataDir(QString hdrPath, QString vecPath, QString vecPath2)
{
    unstdyHdrPth = dataMani->unstdyHdrPth = hdrPath;
    if (vecPath.isEmpty())
        return;
    const auto namesU = [&](const QString& path)
    { return DataManipulate::otherComponentPath(hdrPath, path, 'U', 'V') != path; };
    const bool pickedV = !namesU(vecPath) && namesU(vecPath2);
    unstdyDatPth = dataMani->unstdyDatPth = pickedV ? vecPath2 : vecPath;
}

// "OK" on a tab loads the paths its boxes show, which the window hands over first.
void FlowView::on_view_btnconfirmStdyFile()
{
    loadDataSet(true);
}

void FlowView::on_view_btnconfirmUnstdyFile()
{
    loadDataSet(false);
}

// Saved image.

void FlowView::on_view_pbAttach()
{
    bAttachSavedImg = true;
    clearFlowData();
    const QString name = QString::fromStdString(dataMani->currentVecFile) + "45.ppm";
    const QByteArray bytes = name.toLocal8Bit();
    if (!getTexture(bytes.constData(), licImage->image.get(), licImage->texImageName))
        bAttachSavedImg = false;
    repaint();
}
