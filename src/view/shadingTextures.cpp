#include "view/shadingTextures.h"

namespace
{

// Grey levels, top row first: dark at both edges, brightest just past the middle.
const char* const tex_xpm[] = {"1 26 25 1",   "a c #222222", "b c #494949", "c c #575757",
                               "d c #656565", "e c #737373", "f c #828282", "g c #909090",
                               "h c #9F9F9F", "i c #ADADAD", "j c #BBBBBB", "k c #CACACA",
                               "l c #E0E0E0", "m c #FEFEFE", "n c #F0F0F0", "o c #D4D4D4",
                               "p c #C4C4C4", "q c #B7B7B7", "r c #A8A8A8", "s c #9B9B9B",
                               "t c #8D8D8D", "u c #7F7F7F", "v c #717171", "w c #646464",
                               "x c #565656", "y c #484848", "a",           "b",
                               "c",           "d",           "e",           "f",
                               "g",           "h",           "i",           "j",
                               "k",           "l",           "m",           "n",
                               "o",           "p",           "q",           "r",
                               "s",           "t",           "u",           "v",
                               "w",           "x",           "y",           "a"};

// The same ramp with thirteen bright rows in the middle.
const char* const texpnt_xpm[] = {"1 38 25 1",   "a c #222222", "b c #494949", "c c #575757",
                                  "d c #656565", "e c #737373", "f c #828282", "g c #909090",
                                  "h c #9F9F9F", "i c #ADADAD", "j c #BBBBBB", "k c #CACACA",
                                  "l c #E0E0E0", "m c #FEFEFE", "n c #F0F0F0", "o c #D4D4D4",
                                  "p c #C4C4C4", "q c #B7B7B7", "r c #A8A8A8", "s c #9B9B9B",
                                  "t c #8D8D8D", "u c #7F7F7F", "v c #717171", "w c #646464",
                                  "x c #565656", "y c #484848", "a",           "b",
                                  "c",           "d",           "e",           "f",
                                  "g",           "h",           "i",           "j",
                                  "k",           "l",           "m",           "m",
                                  "m",           "m",           "m",           "m",
                                  "m",           "m",           "m",           "m",
                                  "m",           "m",           "m",           "n",
                                  "o",           "p",           "q",           "r",
                                  "s",           "t",           "u",           "v",
                                  "w",           "x",           "y",           "a"};

} // namespace

QImage ShadingTextures::tubeImage()
{
    return QImage(tex_xpm);
}

QImage ShadingTextures::discImage()
{
    return QImage(texpnt_xpm);
}

GLuint ShadingTextures::upload(const QImage& image)
{
    const QImage rgba = image.mirrored().convertToFormat(QImage::Format_RGBA8888);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, rgba.width(), rgba.height(), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, rgba.constBits());
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}
