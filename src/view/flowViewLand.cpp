// No-data samples of the flow view: found in the shown time step and drawn as land over the
// LIC, whose black they would otherwise share with every calm.
#include "view/flowView.h"

#include <GL/gl.h>
#include <algorithm>
#include <vector>

const NoDataMask& FlowView::shownNoData()
{
    const int3 size = dataMani->flowFieldSize;
    const int steps = static_cast<int>(dataMani->orgnvectField2dSlice.size());
    if (!hasField() || steps == 0)
    {
        landMask = NoDataMask();
        landBlock = nullptr;
        return landMask;
    }
    const int t = std::clamp(uiTimelDispTimeId, 0, steps - 1);
    const float2* const* rows = dataMani->orgnvectField2dSlice[t];
    if (rows[0] != landBlock)
    {
        landMask = NoDataMask(rows, size.x, size.y);
        landBlock = rows[0];
        bLandTexture = false;
    }
    return landMask;
}

// Sample (i, j) covers the square of side 1 around (i, j), clipped to the field's rectangle;
// the texture's edge texels reach the rectangle's far edges.
void FlowView::drwNoData()
{
    const NoDataMask& mask = shownNoData();
    if (!mask.any())
        return;
    const int w = mask.width;
    const int h = mask.height;
    if (!texLand)
        glGenTextures(1, &texLand);
    glBindTexture(GL_TEXTURE_2D, texLand);
    if (!bLandTexture)
    {
        std::vector<unsigned char> texels(4 * std::size_t(w) * std::size_t(h), 0);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                if (mask.isNoData(i, j))
                {
                    unsigned char* texel = texels.data() + 4 * (std::size_t(j) * w + i);
                    std::copy(std::begin(kLandColor), std::end(kLandColor), texel);
                    texel[3] = 255;
                }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        bLandTexture = true;
    }
    const float s0 = 0.5f / w;
    const float s1 = (w + 0.5f) / w;
    const float t0 = 0.5f / h;
    const float t1 = (h + 0.5f) / h;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(s1, t0);
    glVertex2f(float(w), 0.0f);
    glTexCoord2f(s1, t1);
    glVertex2f(float(w), float(h));
    glTexCoord2f(s0, t1);
    glVertex2f(0.0f, float(h));
    glEnd();
    glPopAttrib();
}
