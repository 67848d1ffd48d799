// The LIC background of the flow view: images travel through PPM files, are read back
// (equalised on request) and drawn as a textured quad over the field's rectangle.
#include "view/flowView.h"

#include "common/printLine.h"
#include "data/dataManipulate.h"
#include "lic/LIC.h"

#include <GL/gl.h>
#include <QDir>
#include <QFileInfo>
#include <QOpenGLContext>
#include <algorithm>

namespace
{
// The folder of a LIC file is created on demand, so a fresh working directory still works.
void makeParentFolder(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
}

// GL calls made from a slot, outside a frame, need the view's context; false without one.
bool useContextOf(QOpenGLWidget& view)
{
    if (!view.context())
        return false;
    if (QOpenGLContext::currentContext() != view.context())
        view.makeCurrent();
    return true;
}
} // namespace

bool FlowView::hasLicField(int timeId) const
{
    return dataMani && dataMani->hasField() && timeId >= 0 && timeId < dataMani->flowFieldSize.z;
}

GLuint& FlowView::licTexture(int texID)
{
    return texID == licImage->texHistoImageName ? texLicHisto : texLic;
}

bool FlowView::getTexture(const char* imageFileName, Image* tempimage, int texID)
{
    const int3 size = dataMani->flowFieldSize;
    if (!licImage->readinLICImage(size.x, size.y, tempimage, bLicHisto, imageFileName))
        return false;
    return uploadRgbTexture(licTexture(texID), tempimage->sizeX, tempimage->sizeY, tempimage->data);
}

bool FlowView::uploadRgbTexture(GLuint& name, int w, int h, const void* rgb)
{
    if (!useContextOf(*this))
        return false;
    if (name == 0)
        glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Rows of 3-byte pixels are not padded to 4 bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    invalidate();
    return true;
}

void FlowView::attachLICBkImg(int texID)
{
    const GLuint name = licTexture(texID);
    // A texture that was never loaded would draw a white sheet over the field.
    if (name != 0)
        drawFieldTexture(name);
}

void FlowView::drawFieldTexture(GLuint name)
{
    const float w = float(dataMani->flowFieldSize.x);
    const float h = float(dataMani->flowFieldSize.y);
    glPushAttrib(GL_ENABLE_BIT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(w, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(w, h);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, h);
    glEnd();
    glPopAttrib();
}

void FlowView::drwLICImage()
{
    if ((bLICBk || bAttachSavedImg) && !bPthl)
        attachLICBkImg(licImage->texImageName);
    if (bLicHisto)
        attachLICBkImg(licImage->texHistoImageName);
}

void FlowView::showLIC()
{
    if (!tabUnstdyEnable)
    {
        licImage->LICBkImgPth = stdyLicImg;
        // Until a steady field is read its image path names only the data folder.
        if (stdyLicImg.endsWith('/') || QFileInfo(stdyLicImg).isDir())
        {
            const QString image = stdyHdrPth.left(std::max<qsizetype>(stdyHdrPth.size() - 4, 0));
            // An image beside the header is shown as soon as the field is read.
            if (QFileInfo::exists(image + ".ppm"))
                return;
            printLine("Missing LIC image of the steady data: %s.ppm (it is named when the steady "
                      "field is loaded)",
                      image.toLocal8Bit().constData());
            return;
        }
        // The tab's "OK" reads the field at once; its image may still be missing.
        if (!QFileInfo::exists(stdyLicImg))
        {
            printLine("Missing LIC image of the steady data: %s",
                      stdyLicImg.toLocal8Bit().constData());
            return;
        }
    }
    else
    {
        if (!hasLicField(uiTimelDispTimeId))
            return;
        makeParentFolder(licImage->LICBkImgPth);
        const int3 size = dataMani->flowFieldSize;
        licImage->GenLICImage(size.x, size.y, dataMani->orgnvectField2dSlice[uiTimelDispTimeId][0]);
    }
    getTexture(licImage->LICBkImgPth.toLocal8Bit().constData(), licImage->image.get(),
               licImage->texImageName);
}

void FlowView::showLIC(int timeId)
{
    if (timeId == prevLicImageId || !hasLicField(timeId))
        return;
    QString path = licImage->LICBkOrgImgPth;
    path.insert(path.size() - 4, QString::number(timeId));
    if (!QFileInfo::exists(path))
    {
        makeParentFolder(path);
        const int3 size = dataMani->flowFieldSize;
        licImage->GenLICImage(size.x, size.y, dataMani->orgnvectField2dSlice[timeId][0],
                              path.toLocal8Bit().constData());
    }
    // Remembered even when the file cannot be read, so a broken file is not retried (and
    // its image regenerated) in every frame.
    getTexture(path.toLocal8Bit().constData(), licImage->image.get(), licImage->texImageName);
    prevLicImageId = timeId;
}

void FlowView::showLICOrHisto()
{
    if (bLICBk)
        showLIC();
    if (bLicHisto)
        getTexture(licImage->LICBkImgPth.toLocal8Bit().constData(), licImage->histoImg.get(),
                   licImage->texHistoImageName);
}

void FlowView::on_view_toggleLICBk(int state)
{
    if (state == 0)
    {
        bLICBk = false;
        bLicHisto = false;
        if (useContextOf(*this))
            glDisable(GL_TEXTURE_2D);
    }
    else
    {
        bLICBk = true;
        if (!bPthl)
            showLIC();
    }
    repaint();
}

void FlowView::on_view_toggleLICHisto(int state)
{
    bLicHisto = state != 0;
    if (bLicHisto)
        getTexture(licImage->LICBkImgPth.toLocal8Bit().constData(), licImage->histoImg.get(),
                   licImage->texHistoImageName);
    else if (useContextOf(*this))
    {
        if (bLICBk)
            attachLICBkImg(licImage->texImageName);
        else
            glDisable(GL_TEXTURE_2D);
    }
    repaint();
}
