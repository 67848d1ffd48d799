#include "viewFixture.h"

#include <QApplication>
#include <QTest>

namespace
{

constexpr float4 kRed{1.0f, 0.0f, 0.0f, 1.0f};

bool covered(const QColor& c)
{
    return c.green() < 128;
}

bool white(const QColor& c)
{
    return c.red() > 250 && c.green() > 250 && c.blue() > 250;
}

// Alpha of red drawn over white, read back from the green channel.
float redAlpha(const QColor& c)
{
    return 1.0f - c.green() / 255.0f;
}

// Clears the backdrop away so a primitive is drawn on plain white.
void onWhite(ProbeView& view, std::function<void(ProbeView&)> draw)
{
    view.extra = [draw](ProbeView& v)
    {
        glClear(GL_COLOR_BUFFER_BIT);
        draw(v);
    };
}

} // namespace

// A 100 x 100 view on a 100 x 100 field: one field unit per pixel after a reset.
class TestFlowViewRender : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void texturesHoldTheGreyRamps();
    void backdropShadesBlueToGrey();
    void bandHasItsWidth();
    void rightAngleIsFilled();
    void fadedLineRampsItsAlpha();
    void arrowheadLiesBeyondTheLastPoint();
    void discIsFlattenedAtTheLeftEdge();
    void rakeSeedsShowWhileARakeIsPlaced();
    void vertexArraysDrawLikeSingleVertices();
    void antialiasingFollowsTheSwitch();
    void glyphGridDrawsAndRefusesEmptyCells();
    void emptyFieldShowsWhite();

private:
    QImage frame() { return view->grabFramebuffer(); }

    std::unique_ptr<WorkingField> field;
    std::unique_ptr<ProbeView> view;
};

void TestFlowViewRender::init()
{
    field = std::make_unique<WorkingField>(int3{100, 100, 1});
    view = std::make_unique<ProbeView>(nullptr, 100, 100);
    view->resize(100, 100);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
}

void TestFlowViewRender::cleanup()
{
    view.reset();
    field.reset();
}

void TestFlowViewRender::texturesHoldTheGreyRamps()
{
    const std::vector<int> tube = {0x22, 0x49, 0x57, 0x65, 0x73, 0x82, 0x90, 0x9F, 0xAD,
                                   0xBB, 0xCA, 0xE0, 0xFE, 0xF0, 0xD4, 0xC4, 0xB7, 0xA8,
                                   0x9B, 0x8D, 0x7F, 0x71, 0x64, 0x56, 0x48, 0x22};
    std::vector<int> disc(tube.begin(), tube.begin() + 12);
    disc.insert(disc.end(), 13, 0xFE);
    disc.insert(disc.end(), tube.begin() + 13, tube.end());
    QVERIFY(view->tex != 0 && view->texpnt != 0 && view->tex != view->texpnt);
    view->makeCurrent();
    for (const auto& [name, rows] : {std::pair{view->tex, tube}, std::pair{view->texpnt, disc}})
    {
        QVERIFY(glIsTexture(name));
        glBindTexture(GL_TEXTURE_2D, name);
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        QCOMPARE(w, 1);
        QCOMPARE(h, int(rows.size()));
        std::vector<unsigned char> texels(4 * rows.size());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        // Texture row 0 is the image's bottom row.
        for (std::size_t r = 0; r < rows.size(); ++r)
        {
            const unsigned char* t = &texels[4 * r];
            QCOMPARE(int(t[0]), rows[rows.size() - 1 - r]);
            QVERIFY(t[0] == t[1] && t[1] == t[2] && t[3] == 255);
        }
    }
    view->doneCurrent();
}

void TestFlowViewRender::backdropShadesBlueToGrey()
{
    view->translateZ = 100; // the field fills the middle half of the view
    const QImage image = frame();
    const QColor top = fieldPixel(image, *view, 50.5f, 98.5f);
    const QColor bottom = fieldPixel(image, *view, 50.5f, 1.5f);
    QVERIFY2(top.blue() > 250 && top.red() < 170 && top.green() > top.red() + 40,
             qPrintable(top.name()));
    QVERIFY2(std::abs(bottom.red() - bottom.blue()) < 12 && bottom.red() < 205,
             qPrintable(bottom.name()));
    QVERIFY(white(fieldPixel(image, *view, -20.0f, 50.0f)));
    QVERIFY(white(fieldPixel(image, *view, 50.0f, 120.0f)));
    QVERIFY(white(fieldPixel(image, *view, 120.0f, 50.0f)));
}

void TestFlowViewRender::bandHasItsWidth()
{
    onWhite(*view,
            [](ProbeView& v)
            {
                float2 points[] = {{20, 50}, {80, 50}};
                v.drawLine(points, 2, 5.0f, 0, kRed, 0.0f, false);
            });
    const QImage image = frame();
    int rows = 0;
    for (float y = 30.5f; y < 70.0f; y += 1.0f)
        rows += covered(fieldPixel(image, *view, 50.5f, y));
    QVERIFY2(std::abs(rows - 10) <= 1, qPrintable(QString::number(rows)));
    QVERIFY(covered(fieldPixel(image, *view, 21.5f, 50.5f)));
    QVERIFY(white(fieldPixel(image, *view, 18.5f, 50.5f))); // the ends are square, no cap
    QVERIFY(white(fieldPixel(image, *view, 81.5f, 50.5f)));
}

void TestFlowViewRender::rightAngleIsFilled()
{
    onWhite(*view,
            [](ProbeView& v)
            {
                float2 points[] = {{20, 20}, {60, 20}, {60, 80}};
                v.drawLine(points, 3, 5.0f, 0, kRed, 0.0f, false);
            });
    const QImage image = frame();
    // The outer corner square of the bend, which square-ended segments would leave open.
    QVERIFY(covered(fieldPixel(image, *view, 63.5f, 16.5f)));
    QVERIFY(covered(fieldPixel(image, *view, 64.5f, 15.5f)));
    QVERIFY(white(fieldPixel(image, *view, 66.5f, 13.5f)));
    QVERIFY(covered(fieldPixel(image, *view, 56.5f, 23.5f)));
    QVERIFY(white(fieldPixel(image, *view, 53.5f, 27.5f)));
}

void TestFlowViewRender::fadedLineRampsItsAlpha()
{
    onWhite(*view,
            [](ProbeView& v)
            {
                std::vector<float2> points;
                for (int i = 0; i < 31; ++i)
                    points.push_back(float2{10.0f + 2.0f * i, 50.0f});
                v.drawLine(points.data(), 31, 5.0f, 0, kRed, 1.0f / 30.0f, false);
            });
    const QImage image = frame();
    // Point 0 (x = 10) is cut off; alpha climbs from 0 at x = 12 to 29/30 at x = 70.
    QVERIFY(white(fieldPixel(image, *view, 11.0f, 50.5f)));
    for (float x : {20.5f, 40.5f, 60.5f, 69.5f})
    {
        const float expected = (x - 12.0f) / 60.0f;
        const float measured = redAlpha(fieldPixel(image, *view, x, 50.5f));
        QVERIFY2(
            std::fabs(measured - expected) < 0.03f,
            qPrintable(QString("x %1: alpha %2, expected %3").arg(x).arg(measured).arg(expected)));
    }
}

void TestFlowViewRender::arrowheadLiesBeyondTheLastPoint()
{
    onWhite(*view,
            [](ProbeView& v)
            {
                float2 points[] = {{20, 50}, {50, 50}};
                v.drawLine(points, 2, 4.0f, 0, kRed, 0.0f, true);
                float2 plain[] = {{20, 20}, {50, 20}};
                v.drawLine(plain, 2, 4.0f, 0, kRed, 0.0f, false);
            });
    const QImage image = frame();
    QVERIFY(covered(fieldPixel(image, *view, 65.5f, 50.5f)));
    QVERIFY(white(fieldPixel(image, *view, 69.5f, 50.5f)));   // the tip is at x = 68
    QVERIFY(covered(fieldPixel(image, *view, 52.5f, 45.5f))); // wider than the band
    QVERIFY(white(fieldPixel(image, *view, 52.5f, 20.5f)));
}

void TestFlowViewRender::discIsFlattenedAtTheLeftEdge()
{
    view->translateX = 0; // the field's left edge in the middle of the view
    onWhite(
        *view,
        [](ProbeView& v)
        {
            glColor3f(0.0f, 0.0f, 1.0f);
            v.drawCircle(float2{5, 50}, 10, 10.0f);
            v.drawCircle(float2{30, 80}, 10, 10.0f);
            v.drawCircle(float2{30, 20}, 3, 10.0f); // refused: the rim would need too many points
        });
    const QImage image = frame();
    const QColor inside = fieldPixel(image, *view, 1.5f, 50.5f);
    QVERIFY(inside.red() < 60 && inside.blue() > 100);
    QVERIFY(white(fieldPixel(image, *view, -1.5f, 50.5f)));
    QVERIFY(white(fieldPixel(image, *view, -4.5f, 50.5f)));
    // Away from the edge the disc is round and bright at its centre.
    QVERIFY(fieldPixel(image, *view, 30.5f, 80.5f).blue() > 230);
    QVERIFY(fieldPixel(image, *view, 21.5f, 80.5f).red() < 60);
    QVERIFY(white(fieldPixel(image, *view, 30.5f, 20.5f)));
}

void TestFlowViewRender::rakeSeedsShowWhileARakeIsPlaced()
{
    view->trace->numRakeSeeds = 3;
    view->trace->rakeSeeds[0] = float2{20, 20};
    view->trace->rakeSeeds[1] = float2{50, 50};
    view->trace->rakeSeeds[2] = float2{80, 80};
    QVERIFY(fieldPixel(frame(), *view, 50.5f, 50.5f).red() > 150); // no rake started
    view->bFirstSeed = false;
    const QImage image = frame();
    for (const float2& s : {float2{20, 20}, float2{50, 50}, float2{80, 80}})
    {
        const QColor c = fieldPixel(image, *view, s.x + 0.5f, s.y + 0.5f);
        QVERIFY2(c.red() < 30 && c.blue() > 200, qPrintable(c.name()));
    }
    // Radius flowlineRadius + flowSeedRadius = 5.
    QVERIFY(fieldPixel(image, *view, 53.5f, 50.5f).red() < 60);
    QVERIFY(fieldPixel(image, *view, 56.5f, 50.5f).red() > 150);
    QVERIFY(fieldPixel(image, *view, 35.5f, 35.5f).red() > 150);
}

void TestFlowViewRender::vertexArraysDrawLikeSingleVertices()
{
    std::vector<float2> curve;
    for (int i = 0; i < 60; ++i)
        curve.push_back(float2{15.0f + i, 50.0f + 25.0f * std::sin(i * 0.15f)});
    const float4 color{0.2f, 0.6f, 1.0f, 1.0f};
    onWhite(*view, [&](ProbeView& v)
            { v.drawLineTexture(curve.data(), 60, 3.0f, 0, color, 1.0f / 30.0f, true); });
    const QImage arrays = frame();
    onWhite(*view,
            [&](ProbeView& v)
            {
                BandBuilder band;
                QVERIFY(band.build(curve.data(), 60, 3.0f, 0, color, 1.0f / 30.0f, true));
                glPushAttrib(GL_ENABLE_BIT);
                glEnable(GL_TEXTURE_2D);
                glBindTexture(GL_TEXTURE_2D, v.tex);
                for (const auto& [verts, mode] :
                     {std::pair{band.quads(), GL_QUADS}, std::pair{band.arrow(), GL_TRIANGLES}})
                {
                    glBegin(mode);
                    for (const BandVertex& b : verts)
                    {
                        glColor4f(b.r, b.g, b.b, b.a);
                        glTexCoord2f(b.s, b.t);
                        glVertex2f(b.x, b.y);
                    }
                    glEnd();
                }
                glPopAttrib();
            });
    const QImage single = frame();
    int drawn = 0;
    for (int y = 0; y < arrays.height(); ++y)
        for (int x = 0; x < arrays.width(); ++x)
            drawn += !white(arrays.pixelColor(x, y));
    QVERIFY(drawn > 300);
    QCOMPARE(arrays, single);
}

void TestFlowViewRender::antialiasingFollowsTheSwitch()
{
    view->on_toggleAntialias(2);
    QVERIFY(view->bAntiali);
    frame();
    view->makeCurrent();
    QVERIFY(glIsEnabled(GL_LINE_SMOOTH));
    view->doneCurrent();
    view->on_toggleAntialias(0);
    QVERIFY(!view->bAntiali);
    frame();
    view->makeCurrent();
    QVERIFY(!glIsEnabled(GL_LINE_SMOOTH));
    view->doneCurrent();
}

void TestFlowViewRender::glyphGridDrawsAndRefusesEmptyCells()
{
    onWhite(*view,
            [](ProbeView& v)
            {
                v.drawVectors(v.dataMani.get(), int2{4, 4}, 6.0f, true);
                v.drawVectors(v.dataMani.get(), int2{0, 3}, 6.0f, true);
            });
    const QImage image = frame();
    // Grid rows and columns every 99 / 4 units.
    int dark = 0;
    for (float x = 0.5f; x < 99.0f; x += 1.0f)
        dark += fieldPixel(image, *view, x, 49.6f).red() < 128;
    QVERIFY2(dark > 90, qPrintable(QString::number(dark)));
    // A glyph's shaft runs right from the centre of the first cell.
    QVERIFY(fieldPixel(image, *view, 15.5f, 12.4f).red() < 200);
}

void TestFlowViewRender::emptyFieldShowsWhite()
{
    view.reset();
    field = std::make_unique<WorkingField>();
    view = std::make_unique<ProbeView>(nullptr, 100, 100);
    view->resize(100, 100);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    const QImage image = frame();
    for (int y = 0; y < 100; y += 9)
        for (int x = 0; x < 100; x += 9)
            QVERIFY(white(image.pixelColor(x, y)));
}

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    QApplication app(argc, argv);
    TestFlowViewRender test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_flowViewRender.moc"
