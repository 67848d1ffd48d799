// Putting a new field in place of the current one: a file the user opens (by name, menu or
// drop), a data set of the file tabs, and the reload of an opened file on a reset. A field is
// read completely before anything of the current one is touched, so a refused load leaves
// field, LIC, critical points and lines as they were.
#include "view/flowView.h"

#include "common/printLine.h"
#include "netcdf/fieldFailure.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <algorithm>
#include <new>
#include <sstream>

namespace
{
// Every field but the default one keeps its LIC images in a folder of its own, so that the
// default data's images are neither shown for it nor overwritten.
QString licFolderFor(const QString& path)
{
    QString name = QFileInfo(path).fileName();
    for (QChar& c : name)
        if (!c.isLetterOrNumber() && c != '.' && c != '-')
            c = '_';
    return "./data/opened/field-" + name;
}
} // namespace

std::unique_ptr<DataManipulate> FlowView::readOpenedField(const QString& path,
                                                          const FieldOpener::Options& options,
                                                          QString& message) const
{
    std::ostringstream notes;
    try
    {
        FieldOpener opener(path.toStdString(), options, notes, 0, -1);
        message = QString::fromStdString(notes.str()).trimmed();
        auto field = std::make_unique<DataManipulate>(std::move(opener.data));
        field->stdyHdrPth = stdyHdrPth;
        field->stdyDatPth = stdyDatPth;
        field->unstdyHdrPth = unstdyHdrPth;
        field->unstdyDatPth = unstdyDatPth;
        return field;
    }
    catch (const FieldFailure& failure)
    {
        message = QString::fromStdString(failure.what());
    }
    catch (const std::bad_alloc&)
    {
        message = path + ": too large for the memory here";
    }
    return nullptr;
}

bool FlowView::openField(const QString& path, const FieldOpener::Options& options, QString& message)
{
    std::unique_ptr<DataManipulate> field = readOpenedField(path, options, message);
    if (!field)
        return false;
    openedPath = path;
    openedOptions = options;
    // Every time step's LIC is computed from the field itself, as for an unsteady data set.
    tabStdyEnable = false;
    tabUnstdyEnable = true;
    flowlineRadius = 3.0f;
    flowSeedRadius = 2.0f;
    installField(std::move(field), licFolderFor(path));
    return true;
}

void FlowView::resetView()
{
    uiTimelDispTimeId = 0;
    if (!openedPath.isEmpty())
    {
        QString message;
        if (std::unique_ptr<DataManipulate> field =
                readOpenedField(openedPath, openedOptions, message))
        {
            installField(std::move(field), licFolderFor(openedPath));
            return;
        }
        printLine("%s; the default data set is shown", message.toLocal8Bit().constData());
        openedPath.clear();
    }
    resetToDefaultField();
}

void FlowView::installField(std::unique_ptr<DataManipulate> field, const QString& licFolder)
{
    clearFlowData();
    // The FTLE worker reads the samples being replaced.
    stopFtle();
    dataMani = std::move(field);
    adoptLoadedFieldSize();
    // Every field, of the last one's size or not, needs its camera and land again.
    fieldLoaded();
    trace->uiTimelDispTimeId = uiTimelDispTimeId;
    uiTimeId = uiTimelDispTimeId;
    licImage->LICBkImgPth = licImage->LICBkOrgImgPth = licFolder + "/LIC.ppm";
    // Images left by an earlier field of the same name would be taken for this one's.
    QDir folder(licFolder);
    for (const QString& image : folder.entryList({"LIC*.ppm"}, QDir::Files))
        folder.remove(image);
    prevLicImageId = -1;
    redetectCritpnts();
    invalidate();
    showLICOrHisto();
    repaint();
}

void FlowView::redetectCritpnts()
{
    bFirstComputeCritpnt = true;
    if (!bCritpntDetect)
        return;
    detectCritpnts(uiTimelDispTimeId);
    bFirstComputeCritpnt = false;
    if (bCriticalPntStrml)
        traceCriticalpntTmpltSeeds();
}

// The unsteady slice asked for is brought within the series' depth, which only its header
// tells, so that a series of any depth opens.
std::unique_ptr<DataManipulate> FlowView::readDataSet(bool steady)
{
    if (!dataSetFilesPresent(steady))
        return nullptr;
    auto field = std::make_unique<DataManipulate>(stdyHdrPth, stdyDatPth, unstdyHdrPth,
                                                  unstdyDatPth, steady);
    QString licImg = stdyLicImg;
    field->uiUnstdySlicId = dataMani->uiUnstdySlicId;
    if (!steady && field->readHeaderFile(false, licImg))
        field->uiUnstdySlicId =
            std::clamp(field->uiUnstdySlicId, 0, std::max(field->unstdyDepth - 1, 0));
    if (!field->readVectFile(steady, licImg))
    {
        printLine("The chosen data set was refused; the previous field stays: %s",
                  (steady ? stdyDatPth : unstdyDatPth).toLocal8Bit().constData());
        return nullptr;
    }
    if (steady)
        stdyLicImg = licImg;
    return field;
}

void FlowView::loadDataSet(bool steady)
{
    std::unique_ptr<DataManipulate> field = readDataSet(steady);
    if (!field)
    {
        repaint();
        return;
    }
    openedPath.clear();
    tabStdyEnable = steady;
    tabUnstdyEnable = !steady;
    // Steady fields get thin lines, unsteady ones thick lines.
    flowlineRadius = steady ? 0.6f : 3.0f;
    flowSeedRadius = steady ? 0.2f : 2.0f;
    const int depth = steady ? 0 : field->unstdyDepth;
    const int slice = field->uiUnstdySlicId + 1;
    installField(std::move(field), licFolderFor(steady ? stdyHdrPth : unstdyDatPth));
    emit view_dataSetLoaded_msg(depth, slice);
}

void FlowView::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void FlowView::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    emit view_fileDropped_msg(urls.first().toLocalFile());
}
