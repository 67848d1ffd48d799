// The view's drawing primitives: shaded bands for field-lines, shaded discs for seeds and
// particles. Bands go to GL as vertex arrays built by BandBuilder.
#include "view/flowView.h"

#include <array>
#include <cmath>

namespace
{

constexpr double kDegToRad = 0.017453277777777776;
constexpr int kMaxRimPoints = 100;

struct DiscVertex
{
    float x, y;
    float s, t;
};

} // namespace

void FlowView::drawLineTexture(float2* points, const int& numPoint, const float& radius,
                               const int& padding, const float4& color, const float& fading,
                               const bool& bArrow)
{
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glBindTexture(GL_TEXTURE_2D, tex);
    drawLine(points, numPoint, radius, padding, color, fading, bArrow);
    glPopAttrib();
}

void FlowView::drawLine(float2* points, int numPoint, const float& radius, const int& padding,
                        float4 color, float fading, const bool& bArrow)
{
    if (!band.build(points, numPoint, radius, padding, color, fading, bArrow))
        return;
    drawBand(band.quads(), GL_QUADS);
    if (bArrow)
        drawBand(band.arrow(), GL_TRIANGLES);
    // Leave the colour current that drawing vertex by vertex would have left.
    const float4 last = band.finalColor();
    glColor4f(last.x, last.y, last.z, last.w);
}

void FlowView::drawBand(const std::vector<BandVertex>& verts, GLenum mode)
{
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(BandVertex), &verts[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(BandVertex), &verts[0].s);
    glColorPointer(4, GL_FLOAT, sizeof(BandVertex), &verts[0].r);
    glDrawArrays(mode, 0, static_cast<GLsizei>(verts.size()));
    glPopClientAttrib();
}

// A disc in the current colour, shaded bright at the centre and dark at the rim. Its rim is
// clamped to [0, winWidth - 1] x [0, winHeight - 1], so discs at the field's lower and left
// edges are flattened there.
void FlowView::drawCircle(float2 point, const int& resolution, const float& radius)
{
    // The rim holds at most 100 points: 0 to 360 degrees in steps of at least 4.
    if (resolution < 4)
        return;
    std::array<float2, kMaxRimPoints> rim;
    int numRim = 0;
    for (int a = 0; a <= 360; a += resolution)
    {
        const double rad = a * kDegToRad;
        float2 r = makeFloat2(point.x + radius * static_cast<float>(std::cos(rad)),
                              point.y + radius * static_cast<float>(std::sin(rad)));
        if (r.x < 0.0f)
            r.x = 0.0f;
        else if (r.x > winWidth)
            r.x = static_cast<float>(winWidth - 1);
        if (r.y < 0.0f)
            r.y = 0.0f;
        else if (r.y > winHeight)
            r.y = static_cast<float>(winHeight - 1);
        rim[numRim++] = r;
    }
    std::array<DiscVertex, 3 * (kMaxRimPoints - 1)> verts;
    int numVerts = 0;
    for (int i = 1; i < numRim; ++i)
    {
        verts[numVerts++] = DiscVertex{point.x, point.y, 0.5f, 0.5f};
        verts[numVerts++] = DiscVertex{rim[i - 1].x, rim[i - 1].y, 0.0f, 0.0f};
        verts[numVerts++] = DiscVertex{rim[i].x, rim[i].y, 1.0f, 0.0f};
    }

    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glBindTexture(GL_TEXTURE_2D, texpnt);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(DiscVertex), &verts[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(DiscVertex), &verts[0].s);
    glDrawArrays(GL_TRIANGLES, 0, numVerts);
    glPopClientAttrib();
    glPopAttrib();
}

void FlowView::drawPlainCircle(const float2& point, const float& radius)
{
    glPushAttrib(GL_CURRENT_BIT | GL_POINT_BIT | GL_LINE_BIT);
    glLineWidth(8.0f);
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_LINE_LOOP);
    for (int k = 0; k < 40; ++k)
    {
        const float angle = k * 0.15707965f;
        glVertex3f(point.x + radius * std::cos(angle), point.y + radius * std::sin(angle), 0.0f);
    }
    glEnd();
    glPopAttrib();
}

// The field-area backdrop: a translucent wash, light blue along the top edge shading to grey
// along the bottom. It switches blending on for the rest of the frame.
void FlowView::drwZoomfrm()
{
    const float w = static_cast<float>(dataMani->flowFieldSize.x);
    const float h = static_cast<float>(dataMani->flowFieldSize.y);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_QUADS);
    glColor4ub(0, 153, 255, 100);
    glVertex3f(0.0f, h, 0.0f);
    glVertex3f(w, h, 0.0f);
    glColor4ub(102, 102, 102, 100);
    glVertex3f(w, 0.0f, 0.0f);
    glVertex3f(0.0f, -1.0f, 0.0f);
    glEnd();
}

// A black grid of drawSize cells over the field with one arrow glyph at each cell centre.
void FlowView::drawVectors(DataManipulate* field, const int2& drawSize, const float& scale,
                           const bool& willNormalize)
{
    if (!field || !field->hasField())
        return;
    const float sizeX = static_cast<float>(field->flowFieldSize.x);
    const float sizeY = static_cast<float>(field->flowFieldSize.y);
    const float xLen = (sizeX - 1) / drawSize.x;
    const float yLen = (sizeY - 1) / drawSize.y;
    // A field one sample wide or a cell count of zero gives no step to walk with.
    if (!(xLen > 0.0f && yLen > 0.0f && std::isfinite(xLen) && std::isfinite(yLen)))
        return;
    glPushAttrib(GL_CURRENT_BIT | GL_POINT_BIT | GL_LINE_BIT);
    glColor3f(0.0f, 0.0f, 0.0f);
    glLineWidth(1.0f);
    glBegin(GL_LINES);
    for (float y = 0.0f; y < sizeY - 0.999f; y += yLen)
    {
        glVertex3f(0.0f, y, 0.0f);
        glVertex3f(sizeX - 1, y, 0.0f);
    }
    for (float x = 0.0f; x < sizeX - 0.999f; x += xLen)
    {
        glVertex3f(x, 0.0f, 0.0f);
        glVertex3f(x, sizeY - 1, 0.0f);
    }
    for (float y = yLen * 0.5f; y < sizeY - 0.999f; y += yLen)
    {
        for (float x = xLen * 0.5f; x < sizeX - 0.999f; x += xLen)
        {
            const float2 pos = makeFloat2(x, y);
            float2 vec;
            if (!field->interpolateVector2D(pos, uiTimelDispTimeId, vec))
                continue;
            if (willNormalize)
                normalize(vec);
            vec = scale * vec;
            const float2 dst = pos + vec;
            const float2 b = -0.25f * vec;
            const float2 barb1 =
                makeFloat2(b.x * 0.948683f - b.y * 0.316228f, b.x * 0.316228f + b.y * 0.948683f);
            const float2 barb2 =
                makeFloat2(b.x * 0.948683f + b.y * 0.316228f, -b.x * 0.316228f + b.y * 0.948683f);
            const float2 ends[] = {pos, dst, dst + barb1, dst, dst + barb2, dst};
            for (const float2& e : ends)
                glVertex3f(e.x, e.y, 0.0f);
        }
    }
    glEnd();
    glPopAttrib();
}
