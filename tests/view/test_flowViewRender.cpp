// Frames of the view read back pixel by pixel: the backdrop, the band,
// disc and arrow primitives, and the field-lines traced by clicks.
#include "viewFixture.h"

namespace
{
constexpr float4 kRed{1.0f, 0.0f, 0.0f, 1.0f};

// Thin lines may cover a pixel only in part: dark rather than black, reddish rather than red.
using Test = bool (*)(const QColor&);
// clang-format off
const Test white = [](const QColor& c) { return c.red() > 250 && c.green() > 250 && c.blue() > 250; };
const Test covered = [](const QColor& c) { return c.green() < 128; };
const Test red = [](const QColor& c) { return c.red() > 140 && c.green() < 60 && c.blue() < 60; };
const Test green = [](const QColor& c) { return c.green() > 140 && c.red() < 60 && c.blue() < 60; };
const Test blue = [](const QColor& c) { return c.blue() > 100 && c.red() < 60 && c.green() < 60; };
const Test magenta = [](const QColor& c) { return c.red() > 140 && c.blue() > 140 && c.green() < 60; };
const Test dark = [](const QColor& c) { return std::max({c.red(), c.green(), c.blue()}) < 140; };
const Test reddish = [](const QColor& c) { return c.red() > 140 && c.green() < c.red() - 60; };
// clang-format on

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

class TestFlowViewRender : public QObject
{
    Q_OBJECT

    std::unique_ptr<ViewWorkdir> workdir;
    std::unique_ptr<ProbeView> view;
    QImage frame;

    // Shows a view of the given size over a uniform field (speed, 0), or over no field.
    void open(int3 size, int pixels, float speed = 1.0f)
    {
        view.reset();
        workdir.reset(); // restores the working directory before the next one is made
        workdir = size.x > 0 ? std::make_unique<ViewWorkdir>(size, speed)
                             : std::make_unique<ViewWorkdir>();
        view = std::make_unique<ProbeView>(nullptr, pixels, pixels);
        view->resize(pixels, pixels);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    void grab() { frame = grabFrame(*view); }
    // Whether the pixel over (x, y), or one up to spread rows above or below it, passes test.
    bool at(float x, float y, Test test, int spread = 0)
    {
        const QPoint p = pixelAt(*view, x, y);
        for (int dy = -spread; dy <= spread; ++dy)
            if (test(frame.pixelColor(p.x(), p.y() + dy)))
                return true;
        return false;
    }

private slots:
    void init() { open(int3{100, 100, 1}, 100); } // one field unit per pixel
    void cleanup()
    {
        keepFrameOfFailure();
        view.reset(), workdir.reset();
    }

    void backdropShadesBlueToGrey()
    {
        view->translateZ = 100; // the field fills the middle half of the view
        grab();
        const QColor top = colorAt(frame, *view, 50.5f, 98.5f);
        const QColor bottom = colorAt(frame, *view, 50.5f, 1.5f);
        QVERIFY2(top.blue() > 250, qPrintable(top.name()));
        QVERIFY2(top.green() > top.red() + 40, qPrintable(top.name()));
        QVERIFY2(std::abs(bottom.red() - bottom.blue()) < 12, qPrintable(bottom.name()));
        for (const float2& p : {float2{-20, 50}, float2{50, 120}, float2{120, 50}})
            QVERIFY(at(p.x, p.y, white));
    }

    // Bands have square ends and no cap, a right angle is mitred, an arrowhead reaches 4.5
    // radii beyond the last point.
    void bandsHaveTheirShapes()
    {
        struct Case
        {
            const char* name;
            std::vector<float2> points;
            float radius;
            bool bArrow;
            std::vector<float2> inside, outside;
        };
        // clang-format off
        const Case cases[] = {
            {"band", {{20, 50}, {80, 50}}, 5.0f, false, {{50.5f, 45.5f}, {50.5f, 54.5f}, {21.5f, 50.5f}},
             {{50.5f, 44.5f}, {50.5f, 55.5f}, {18.5f, 50.5f}, {81.5f, 50.5f}}},
            {"mitre", {{20, 20}, {60, 20}, {60, 80}}, 5.0f, false,
             {{63.5f, 16.5f}, {64.5f, 15.5f}, {56.5f, 23.5f}}, {{66.5f, 13.5f}, {53.5f, 27.5f}}},
            {"arrow", {{20, 50}, {50, 50}}, 4.0f, true, {{65.5f, 50.5f}, {52.5f, 45.5f}}, {{69.5f, 50.5f}}},
        };
        // clang-format on
        for (const Case& c : cases)
        {
            onWhite(*view,
                    [&c](ProbeView& v)
                    {
                        std::vector<float2> points = c.points;
                        v.drawLine(points.data(), int(points.size()), c.radius, 0, kRed, 0.0f,
                                   c.bArrow);
                    });
            grab();
            for (const float2& p : c.inside)
                QVERIFY2(at(p.x, p.y, covered), c.name);
            for (const float2& p : c.outside)
                QVERIFY2(at(p.x, p.y, white), c.name);
        }
    }

    void fadedLineRampsItsAlpha()
    {
        onWhite(*view,
                [](ProbeView& v)
                {
                    std::vector<float2> points;
                    for (int i = 0; i < 31; ++i)
                        points.push_back(float2{10.0f + 2.0f * i, 50.0f});
                    v.drawLine(points.data(), 31, 5.0f, 0, kRed, 1.0f / 30.0f, false);
                });
        grab();
        // Point 0 (x = 10) is cut off; alpha climbs from 0 at x = 12 to 29/30 at x = 70.
        QVERIFY(at(11.0f, 50.5f, white));
        for (float x : {20.5f, 40.5f, 60.5f, 69.5f})
        {
            const float alpha = 1.0f - colorAt(frame, *view, x, 50.5f).green() / 255.0f;
            QVERIFY2(std::fabs(alpha - (x - 12.0f) / 60.0f) < 0.03f,
                     qPrintable(QString::number(x)));
        }
    }

    void discIsFlattenedAtTheLeftEdge()
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
        grab();
        const QColor inside = colorAt(frame, *view, 1.5f, 50.5f);
        QVERIFY2(inside.red() < 60, qPrintable(inside.name()));
        QVERIFY2(inside.blue() > 100, qPrintable(inside.name()));
        QVERIFY(at(-1.5f, 50.5f, white));
        QVERIFY(colorAt(frame, *view, 30.5f, 80.5f).blue() > 230); // round, bright away from it
        QVERIFY(colorAt(frame, *view, 21.5f, 80.5f).red() < 60);
        QVERIFY(at(30.5f, 20.5f, white));
    }

    void antialiasingFollowsTheSwitch()
    {
        for (const int state : {2, 0})
        {
            view->on_toggleAntialias(state);
            grab();
            view->makeCurrent();
            QCOMPARE(bool(glIsEnabled(GL_LINE_SMOOTH)), state != 0);
        }
    }

    // Slots redraw: a frame is drawn for each, with nothing else asking for one. (The window
    // system composes the frame of a repaint, so it is waited for.)
    void slotsRedrawAtOnce()
    {
        int painted = 0;
        view->extra = [&painted](ProbeView&) { ++painted; };
        const std::pair<const char*, int> calls[] = {// an argument of -1: none
                                                     {"on_view_toggleUnifSeeding", 2},
                                                     {"on_view_toggleRandomSeeding", 2},
                                                     {"on_view_changeTracingStpIntv", 2},
                                                     {"on_view_confirmTimeId", -1},
                                                     {"on_view_toggleLICBk", 2},
                                                     {"on_view_toggleLICHisto", 2},
                                                     {"on_view_clrAllData", -1},
                                                     {"on_view_toggleRepFocus", 2},
                                                     {"on_view_toggleCriticalPntStrml", 2},
                                                     {"on_view_tubeLines", 0},
                                                     {"on_toggleAntialias", 2},
                                                     {"on_view_changeMarkSize", 50}};
        for (const auto& [slot, arg] : calls)
        {
            QCoreApplication::processEvents();
            const int before = painted;
            QVERIFY(arg < 0 ? QMetaObject::invokeMethod(view.get(), slot)
                            : QMetaObject::invokeMethod(view.get(), slot, Q_ARG(int, arg)));
            QTRY_VERIFY2_WITH_TIMEOUT(painted > before, slot, 20000);
        }
    }

    void emptyFieldShowsWhite()
    {
        open(int3{}, 100);
        grab();
        for (int y = 0; y < 100; y += 9)
            for (int x = 0; x < 100; x += 9)
                QVERIFY(white(frame.pixelColor(x, y)));
    }

    // Six pixels per field unit from here on: a red band of half-width 3 with a blue seed.
    void streamlineIsARedBandWithABlueSeed()
    {
        open(int3{100, 100, 2}, 600);
        grab();
        QVERIFY(!at(20, 50, red));
        click(*view, 50, 50);
        grab();
        QVERIFY(at(20, 50, red));
        QVERIFY(at(80, 50, red));
        QVERIFY(at(50, 50, blue));
        QVERIFY(!at(20, 60, red));
        QVERIFY(!at(20, 40, red));
    }

    // Particles released every 3 time steps at speed 4 lie 12 units apart: the band shows
    // between the discs of radius 5.
    void streaklineIsAGreenBandWithBlueParticles()
    {
        open(int3{100, 100, 9}, 600, 4.0f);
        view->on_view_toggleStrkline(2);
        view->on_view_changeStrklSliceIntv(3.0f);
        click(*view, 10, 50);
        grab();
        for (float x : {10.0f, 22.0f, 34.0f, 46.0f})
            QVERIFY(at(x, 50, blue));
        for (float x : {16.0f, 28.0f, 40.0f})
            QVERIFY(at(x, 50, green));
        QVERIFY(!at(60, 50, green));
    }

    // A rake's discs follow the mouse; its timeline 0 is the rake itself, seeds at y = 20, 50
    // and 80.
    void rakeAndTimeline()
    {
        open(int3{100, 100, 4}, 600);
        view->on_view_modifRakeNumSeed(3);
        view->on_view_toggleRakeSeeding(2);
        view->on_view_toggleTimeline(2);
        click(*view, 20, 20);
        moveTo(*view, 20, 80);
        grab();
        QVERIFY(at(20, 80, blue));
        QVERIFY(at(20, 50, blue));
        QVERIFY(!at(50, 50, blue));
        click(*view, 20, 80);
        grab();
        for (float y : {20.0f, 50.0f, 80.0f})
            QVERIFY(at(20, y, blue));
        QVERIFY(at(20, 35, magenta));
        QVERIFY(at(20, 65, magenta));
        QVERIFY(!at(30, 35, magenta));
    }

    // Committed lines are black; line mode draws a one-pixel strip.
    void thinLinesAndCommittedLines()
    {
        open(int3{100, 100, 2}, 600);
        click(*view, 50, 30);
        view->tmpLines->commitTmplines(view->commitedLines.get());
        view->bTubelines = false;
        click(*view, 50, 70);
        grab();
        QVERIFY(at(20, 30, dark, 1));
        QVERIFY(at(20, 70, reddish, 1));
        QVERIFY(!at(20, 70.6f, reddish, 1)); // four pixels above
    }
};

QTEST_MAIN(TestFlowViewRender)
#include "test_flowViewRender.moc"
