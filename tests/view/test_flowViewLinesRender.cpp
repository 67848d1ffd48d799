#include "seedingFixture.h"

#include <QImage>
#include <algorithm>

namespace
{

// Thin lines may cover a pixel only in part: dark rather than black, reddish rather than red.
using Test = bool (*)(const QColor&);
const Test red = [](const QColor& c) { return c.red() > 140 && c.green() < 60 && c.blue() < 60; };
const Test green = [](const QColor& c) { return c.green() > 140 && c.red() < 60 && c.blue() < 60; };
const Test blue = [](const QColor& c) { return c.blue() > 100 && c.red() < 60 && c.green() < 60; };
const Test magenta = [](const QColor& c)
{ return c.red() > 140 && c.blue() > 140 && c.green() < 60; };
const Test dark = [](const QColor& c) { return std::max({c.red(), c.green(), c.blue()}) < 140; };
const Test reddish = [](const QColor& c) { return c.red() > 140 && c.green() < c.red() - 60; };

} // namespace

// A shown 600 x 600 view: six pixels per field unit on a 100 x 100 field.
class TestFlowViewLinesRender : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void streamlineIsARedBandWithABlueSeed();
    void streaklineIsAGreenBandWithBlueParticles();
    void timelineIsMagentaWithBlueSeeds();
    void rakeDiscsFollowTheMouse();
    void thinLinesAndCommittedLines();

private:
    void open(int3 size, float speed = 1.0f)
    {
        field = std::make_unique<WorkingField>(size, speed);
        view = std::make_unique<FlowView>(nullptr, 600, 600);
        view->resize(600, 600);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    QColor at(float x, float y) { return frame.pixelColor(pixelAt(*view, x, y)); }
    void grab() { frame = view->grabFramebuffer(); }
    // Whether the pixel dy rows below the one over (x, y), or a row next to it, passes test.
    bool rowNear(float x, float y, int dy, Test test)
    {
        const QPoint p = pixelAt(*view, x, y);
        return test(frame.pixelColor(p.x(), p.y() + dy - 1)) ||
               test(frame.pixelColor(p.x(), p.y() + dy)) ||
               test(frame.pixelColor(p.x(), p.y() + dy + 1));
    }

    std::unique_ptr<WorkingField> field;
    std::unique_ptr<FlowView> view;
    QImage frame;
};

void TestFlowViewLinesRender::cleanup()
{
    view.reset();
    field.reset();
}

void TestFlowViewLinesRender::streamlineIsARedBandWithABlueSeed()
{
    open(int3{100, 100, 2});
    grab();
    QVERIFY(!red(at(20, 50)));
    click(*view, 50, 50);
    grab();
    QVERIFY(red(at(20, 50)) && red(at(80, 50)));
    QVERIFY(blue(at(50, 50)));
    QVERIFY(!red(at(20, 60)) && !red(at(20, 40))); // half-width 3 field units
}

// Particles released every 3 time steps at speed 4 lie 12 units apart: the band shows
// between the discs of radius 5.
void TestFlowViewLinesRender::streaklineIsAGreenBandWithBlueParticles()
{
    open(int3{100, 100, 9}, 4.0f);
    view->on_view_toggleStrkline(2);
    view->on_view_changeStrklSliceIntv(3.0f);
    click(*view, 10, 50);
    grab();
    for (float x : {10.0f, 22.0f, 34.0f, 46.0f})
        QVERIFY(blue(at(x, 50)));
    for (float x : {16.0f, 28.0f, 40.0f})
        QVERIFY(green(at(x, 50)));
    QVERIFY(!green(at(60, 50)));
}

void TestFlowViewLinesRender::timelineIsMagentaWithBlueSeeds()
{
    open(int3{100, 100, 4});
    view->on_view_modifRakeNumSeed(3);
    view->on_view_toggleRakeSeeding(2);
    view->on_view_toggleTimeline(2);
    click(*view, 20, 20);
    click(*view, 20, 80);
    grab();
    // Timeline 0 is the rake itself: seeds at y = 20, 50, 80.
    for (float y : {20.0f, 50.0f, 80.0f})
        QVERIFY(blue(at(20, y)));
    QVERIFY(magenta(at(20, 35)) && magenta(at(20, 65)));
    QVERIFY(!magenta(at(30, 35)));
}

void TestFlowViewLinesRender::rakeDiscsFollowTheMouse()
{
    open(int3{100, 100, 2});
    view->on_view_toggleRakeSeeding(2);
    click(*view, 20, 20);
    moveTo(*view, 20, 80);
    grab();
    QVERIFY(blue(at(20, 80)) && blue(at(20, 50)) && !blue(at(50, 50)));
}

void TestFlowViewLinesRender::thinLinesAndCommittedLines()
{
    open(int3{100, 100, 2});
    click(*view, 50, 30);
    view->tmpLines->commitTmplines(view->commitedLines.get());
    view->bTubelines = false;
    click(*view, 50, 70);
    grab();
    // Committed lines are black; line mode draws a one-pixel strip.
    QVERIFY(rowNear(20, 30, 0, dark));
    QVERIFY(rowNear(20, 70, 0, reddish));
    QVERIFY(!rowNear(20, 70, -4, reddish));
}

QTEST_MAIN(TestFlowViewLinesRender)
#include "test_flowViewLinesRender.moc"
