// Screenshots of the flow view: the view's own framebuffer saved as PPM files under
// "flow data" in the working directory, once on request or once per time step while an
// animation runs; and the LIC image series over all time steps.
#include "view/flowView.h"

#include "data/dataManipulate.h"
#include "lic/LIC.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <cstdio>

QString FlowView::screenshotPath(int timeId) const
{
    return QDir::currentPath() + tr("/flow data/Screenshot") +
           QString::number(dataMani->uiUnstdySlicId) + tr("-") + QString::number(timeId) + tr(".") +
           "ppm";
}

// Inside a frame the picture is not complete yet: the file is written when the frame ends.
void FlowView::saveScreenshot(int timeId)
{
    if (bPaintingFrame)
        pendingScreenshots.push_back(timeId);
    else
        writeScreenshot(grabFramebuffer(), timeId);
}

void FlowView::saveLIC(int timeId)
{
    saveScreenshot(timeId);
}

void FlowView::on_view_saveScreenPPM()
{
    saveScreenshot(uiTimelDispTimeId);
}

void FlowView::on_view_saveAnimation(int state)
{
    bSaveAnimation = state != 0;
}

// Each time step an animation shows is saved once, under its own number.
void FlowView::saveAnimationFrame(int timeId)
{
    if (!bSaveAnimation || prevTimeid == timeId)
        return;
    saveScreenshot(timeId);
    prevTimeid = timeId;
}

void FlowView::beginFrame()
{
    bPaintingFrame = true;
}

// Called at the end of a frame, still inside it, so the grab reads the finished picture
// instead of rendering another frame.
void FlowView::endFrame()
{
    bPaintingFrame = false;
    if (pendingScreenshots.empty())
        return;
    const QImage frame = grabFramebuffer();
    for (const int timeId : pendingScreenshots)
        writeScreenshot(frame, timeId);
    pendingScreenshots.clear();
}

bool FlowView::writeScreenshot(const QImage& frame, int timeId)
{
    originalPixmap = QPixmap::fromImage(frame);
    const QString fileName = screenshotPath(timeId);
    const QByteArray name = fileName.toLocal8Bit();
    const bool bStored =
        !frame.isNull() && QDir().mkpath(QFileInfo(fileName).path()) && frame.save(fileName, "ppm");
    if (bStored)
        std::printf("The image has been stored to \"%s\"\n", name.constData());
    else
        std::fprintf(stderr, "Cannot store the image to \"%s\"\n", name.constData());
    std::fflush(stdout);
    return bStored;
}

// Generates, loads and draws the LIC image of every time step from the current one on; the
// images are the series, nothing is saved from the screen.
void FlowView::LICSeriesScreenShot()
{
    if (!dataMani->hasField())
        return;
    if (!bPaintingFrame)
        makeCurrent();
    const int3 size = dataMani->flowFieldSize;
    while (uiTimelDispTimeId < size.z)
    {
        QString path = licImage->LICBkOrgImgPth;
        path.insert(path.size() - 4, QString::number(uiTimelDispTimeId));
        licImage->LICBkImgPth = path;
        QDir().mkpath(QFileInfo(path).path());
        licImage->GenLICImage(size.x, size.y, dataMani->orgnvectField2dSlice[uiTimelDispTimeId][0]);
        getTexture(path.toLocal8Bit().constData(), licImage->image.get(), licImage->texImageName);
        attachLICBkImg(licImage->texImageName);
        uiTimelDispTimeId += 1;
    }
}
