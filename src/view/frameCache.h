// Keeps the layers of a frame that stay the same from frame to frame: a sample-for-sample copy
// of the multisampled framebuffer they were drawn into, with the key of the state they were
// drawn from and the drawing state they left. A later frame with the same key starts from the
// copy instead of drawing them again. Needs the view's context to be current.
#pragma once

#include <QOpenGLFramebufferObject>
#include <QSize>
#include <memory>
#include <qopengl.h>
#include <vector>

class FrameCache
{
public:
    using Key = std::vector<long long>;

    // Copies the kept layers into framebuffer fbo of the given size, and restores the colour
    // and blending they left, when they were kept under key at that size. False otherwise:
    // the layers must be drawn.
    bool restore(const Key& key, GLuint fbo, const QSize& size);
    // Keeps what fbo holds now under key. When no exact copy can be made (another sample
    // count or no framebuffer), nothing is kept and every frame draws all its layers.
    void store(const Key& key, GLuint fbo, const QSize& size);
    // Frees the copy; the next frame draws everything.
    void release();

    // Frames that started from the copy.
    int restoredFrames() const { return restored; }

private:
    static int samplesOf(GLuint fbo);

    std::unique_ptr<QOpenGLFramebufferObject> copy;
    Key keptKey;
    bool bKept = false;
    GLfloat color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    GLboolean bBlend = GL_FALSE;
    GLint blendSrc = GL_ONE;
    GLint blendDst = GL_ZERO;
    int restored = 0;
};
