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
    void bandsHaveTheirShapes();
    void fadedLineRampsItsAlpha();
    void discIsFlattenedAtTheLeftEdge();
    void antialiasingFollowsTheSwitch();
    void emptyFieldShowsWhite();

private:
    // Shows the view over a uniform field of the given size, or over no field at all.
    void open(int3 size)
    {
        view.reset();
        field.reset(); // restores the working directory before the next one is made
        field =
            size.x > 0 ? std::make_unique<WorkingField>(size) : std::make_unique<WorkingField>();
        view = std::make_unique<ProbeView>(nullptr, 100, 100);
        view->resize(100, 100);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    QColor at(const QImage& image, float x, float y) { return fieldPixel(image, *view, x, y); }

    std::unique_ptr<WorkingField> field;
    std::unique_ptr<ProbeView> view;
};

void TestFlowViewRender::init()
{
    open(int3{100, 100, 1});
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
    view->makeCurrent();
    for (const auto& [name, rows] : {std::pair{view->tex, tube}, std::pair{view->texpnt, disc}})
    {
        QVERIFY(glIsTexture(name) && view->tex != view->texpnt);
        glBindTexture(GL_TEXTURE_2D, name);
        GLint h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        QCOMPARE(h, int(rows.size()));
        std::vector<unsigned char> texels(4 * rows.size());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        for (std::size_t r = 0; r < rows.size(); ++r) // texture row 0 is the image's bottom row
            QCOMPARE(int(texels[4 * r + 1]), rows[rows.size() - 1 - r]);
    }
    view->doneCurrent();
}

void TestFlowViewRender::backdropShadesBlueToGrey()
{
    view->translateZ = 100; // the field fills the middle half of the view
    const QImage image = view->grabFramebuffer();
    const QColor top = at(image, 50.5f, 98.5f);
    const QColor bottom = at(image, 50.5f, 1.5f);
    QVERIFY2(top.blue() > 250 && top.red() < 170 && top.green() > top.red() + 40,
             qPrintable(top.name()));
    QVERIFY2(std::abs(bottom.red() - bottom.blue()) < 12 && bottom.red() < 205,
             qPrintable(bottom.name()));
    for (const float2& p : {float2{-20, 50}, float2{50, 120}, float2{120, 50}})
        QVERIFY(white(at(image, p.x, p.y)));
}

// Bands have square ends and no cap, a right angle is mitred, an arrowhead reaches 4.5 radii
// beyond the last point.
void TestFlowViewRender::bandsHaveTheirShapes()
{
    struct Case
    {
        const char* name;
        std::vector<float2> points;
        float radius;
        bool bArrow;
        std::vector<float2> inside, outside;
    };
    const Case cases[] = {
        {"band",
         {{20, 50}, {80, 50}},
         5.0f,
         false,
         {{50.5f, 45.5f}, {50.5f, 54.5f}, {21.5f, 50.5f}},
         {{50.5f, 44.5f}, {50.5f, 55.5f}, {18.5f, 50.5f}, {81.5f, 50.5f}}},
        {"mitre",
         {{20, 20}, {60, 20}, {60, 80}},
         5.0f,
         false,
         {{63.5f, 16.5f}, {64.5f, 15.5f}, {56.5f, 23.5f}},
         {{66.5f, 13.5f}, {53.5f, 27.5f}}},
        {"arrow",
         {{20, 50}, {50, 50}},
         4.0f,
         true,
         {{65.5f, 50.5f}, {52.5f, 45.5f}},
         {{69.5f, 50.5f}}},
    };
    for (const Case& c : cases)
    {
        onWhite(*view,
                [&c](ProbeView& v)
                {
                    std::vector<float2> points = c.points;
                    v.drawLine(points.data(), int(points.size()), c.radius, 0, kRed, 0.0f,
                               c.bArrow);
                });
        const QImage image = view->grabFramebuffer();
        for (const float2& p : c.inside)
            QVERIFY2(covered(at(image, p.x, p.y)), c.name);
        for (const float2& p : c.outside)
            QVERIFY2(white(at(image, p.x, p.y)), c.name);
    }
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
    const QImage image = view->grabFramebuffer();
    // Point 0 (x = 10) is cut off; alpha climbs from 0 at x = 12 to 29/30 at x = 70.
    QVERIFY(white(at(image, 11.0f, 50.5f)));
    for (float x : {20.5f, 40.5f, 60.5f, 69.5f})
    {
        const float alpha = 1.0f - at(image, x, 50.5f).green() / 255.0f; // red over white
        QVERIFY2(std::fabs(alpha - (x - 12.0f) / 60.0f) < 0.03f, qPrintable(QString::number(x)));
    }
}

void TestFlowViewRender::discIsFlattenedAtTheLeftEdge()
{
    view->translateX = 0; // the field's left edge in the middle of the view
    onWhite(*view,
            [](ProbeView& v)
            {
                glColor3f(0.0f, 0.0f, 1.0f);
                v.drawCircle(float2{5, 50}, 10, 10.0f);
                v.drawCircle(float2{30, 80}, 10, 10.0f);
                v.drawCircle(float2{30, 20}, 3, 10.0f); // refused: too few rim points
                v.drawVectors(v.dataMani.get(), int2{0, 3}, 6.0f, true); // refused: no cells
            });
    const QImage image = view->grabFramebuffer();
    const QColor inside = at(image, 1.5f, 50.5f);
    QVERIFY(inside.red() < 60 && inside.blue() > 100);
    QVERIFY(white(at(image, -1.5f, 50.5f)));
    QVERIFY(at(image, 30.5f, 80.5f).blue() > 230); // round and bright away from the edge
    QVERIFY(at(image, 21.5f, 80.5f).red() < 60);
    QVERIFY(white(at(image, 30.5f, 20.5f)));
}

void TestFlowViewRender::antialiasingFollowsTheSwitch()
{
    for (const int state : {2, 0})
    {
        view->on_toggleAntialias(state);
        QCOMPARE(view->bAntiali, state != 0);
        view->grabFramebuffer();
        view->makeCurrent();
        QCOMPARE(bool(glIsEnabled(GL_LINE_SMOOTH)), state != 0);
        view->doneCurrent();
    }
}

void TestFlowViewRender::emptyFieldShowsWhite()
{
    open(int3{});
    const QImage image = view->grabFramebuffer();
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
