// The two grey ramps that shade the view's bands and discs: a cross-section of a lit
// cylinder for lines and the same ramp with a wide bright plateau for discs. They are kept
// as one-pixel-wide XPM images and uploaded as RGBA textures.
#pragma once

#include <QImage>
#include <qopengl.h>

class ShadingTextures
{
public:
    static QImage tubeImage();
    static QImage discImage();
    // Uploads the image as a new 2-D texture with linear filtering and returns its name.
    // The image's bottom row becomes texture row 0, as textures bound from pixmaps always were.
    // Needs a current GL context.
    static GLuint upload(const QImage& image);
};
