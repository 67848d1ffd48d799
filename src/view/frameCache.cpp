#include "view/frameCache.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>

namespace
{
QOpenGLExtraFunctions& gl()
{
    return *QOpenGLContext::currentContext()->extraFunctions();
}

// Same size on both sides, so multisampled buffers are copied sample for sample.
void copyColor(GLuint from, GLuint to, const QSize& size)
{
    gl().glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    gl().glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
    gl().glBlitFramebuffer(0, 0, size.width(), size.height(), 0, 0, size.width(), size.height(),
                           GL_COLOR_BUFFER_BIT, GL_NEAREST);
}
} // namespace

int FrameCache::samplesOf(GLuint fbo)
{
    gl().glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    return samples;
}

bool FrameCache::restore(const Key& key, GLuint fbo, const QSize& size)
{
    if (!bKept || !copy || copy->size() != size || key != keptKey)
        return false;
    copyColor(copy->handle(), fbo, size);
    gl().glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glColor4fv(color);
    if (bBlend)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
    glBlendFunc(GLenum(blendSrc), GLenum(blendDst));
    ++restored;
    return true;
}

void FrameCache::store(const Key& key, GLuint fbo, const QSize& size)
{
    bKept = false;
    const int samples = samplesOf(fbo);
    if (!copy || copy->size() != size || samplesOf(copy->handle()) != samples)
    {
        QOpenGLFramebufferObjectFormat format;
        format.setSamples(samples);
        format.setAttachment(QOpenGLFramebufferObject::NoAttachment);
        copy = std::make_unique<QOpenGLFramebufferObject>(size, format);
        if (!copy->isValid() || samplesOf(copy->handle()) != samples)
            copy.reset();
    }
    if (copy)
    {
        // Errors of earlier calls are not this copy's; a refused copy keeps nothing.
        while (glGetError() != GL_NO_ERROR)
        {
        }
        copyColor(fbo, copy->handle(), size);
        bKept = glGetError() == GL_NO_ERROR;
    }
    gl().glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glGetFloatv(GL_CURRENT_COLOR, color);
    bBlend = glIsEnabled(GL_BLEND);
    glGetIntegerv(GL_BLEND_SRC_RGB, &blendSrc);
    glGetIntegerv(GL_BLEND_DST_RGB, &blendDst);
    keptKey = key;
}

void FrameCache::release()
{
    copy.reset();
    bKept = false;
}
