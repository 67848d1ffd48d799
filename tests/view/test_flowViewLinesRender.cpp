#include "seedingFixture.h"

#include <QImage>
#include <algorithm>

namespace
{

bool red(const QColor& c)
{
    return c.red() > 140 && c.green() < 60 && c.blue() < 60;
}

bool green(const QColor& c)
{
    return c.green() > 140 && c.red() < 60 && c.blue() < 60;
}

bool blue(const QColor& c)
{
    return c.blue() > 100 && c.red() < 60 && c.green() < 60;
}

bool magenta(const QColor& c)
{
    return c.red() > 140 && c.blue() > 140 && c.green() < 60;
}

// A thin line may cover a pixel only in part: dark rather than black.
bool dark(const QColor& c)
{
    return std::max({c.red(), c.green(), c.blue()}) < 140;
}

bool reddish(const QColor& c)
{
    return c.red() > 140 && c.green() < c.red() - 60;
}

QString describe(const QColor& c)
{
    return QString("rgb(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

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
    void lineModeDrawsThinStrips();
    void committedLinesAreBlack();

private:
    void open(int3 size, float speed);
    QColor at(float x, float y) { return frame.pixelColor(pixelAt(*view, x, y)); }
    void grab() { frame = view->grabFramebuffer(); }

    std::unique_ptr<UniformField> field;
    std::unique_ptr<FlowView> view;
    QImage frame;
};

void TestFlowViewLinesRender::open(int3 size, float speed)
{
    field = std::make_unique<UniformField>(size, speed);
    view = std::make_unique<FlowView>(nullptr, 600, 600);
    view->resize(600, 600);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
}

void TestFlowViewLinesRender::cleanup()
{
    view.reset();
    field.reset();
}

void TestFlowViewLinesRender::streamlineIsARedBandWithABlueSeed()
{
    open(int3{100, 100, 2}, 1.0f);
    grab();
    QVERIFY2(!red(at(20, 50)), qPrintable(describe(at(20, 50))));
    click(*view, 50, 50);
    grab();
    QVERIFY2(red(at(20, 50)), qPrintable(describe(at(20, 50))));
    QVERIFY2(red(at(80, 50)), qPrintable(describe(at(80, 50))));
    QVERIFY2(blue(at(50, 50)), qPrintable(describe(at(50, 50))));
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
    QCOMPARE(view->tmpLines->streaklineIndxArray[0].numPoint, 4); // released at 0, 3, 6, 9
    grab();
    for (float x : {10.0f, 22.0f, 34.0f, 46.0f})
        QVERIFY2(blue(at(x, 50)), qPrintable(describe(at(x, 50))));
    for (float x : {16.0f, 28.0f, 40.0f})
        QVERIFY2(green(at(x, 50)), qPrintable(describe(at(x, 50))));
    QVERIFY(!green(at(60, 50)));
}

void TestFlowViewLinesRender::timelineIsMagentaWithBlueSeeds()
{
    open(int3{100, 100, 4}, 1.0f);
    view->on_view_modifRakeNumSeed(3);
    view->on_view_toggleRakeSeeding(2);
    view->on_view_toggleTimeline(2);
    click(*view, 20, 20);
    click(*view, 20, 80);
    QCOMPARE(view->tmpLines->timelineNum, 4);
    grab();
    // Timeline 0 is the rake itself: seeds at y = 20, 50, 80.
    for (float y : {20.0f, 50.0f, 80.0f})
        QVERIFY2(blue(at(20, y)), qPrintable(describe(at(20, y))));
    for (float y : {35.0f, 65.0f})
        QVERIFY2(magenta(at(20, y)), qPrintable(describe(at(20, y))));
    QVERIFY(!magenta(at(30, 35)));
}

void TestFlowViewLinesRender::rakeDiscsFollowTheMouse()
{
    open(int3{100, 100, 2}, 1.0f);
    view->on_view_toggleRakeSeeding(2);
    click(*view, 20, 20);
    moveTo(*view, 20, 80);
    grab();
    QVERIFY2(blue(at(20, 80)), qPrintable(describe(at(20, 80))));
    QVERIFY2(blue(at(20, 50)), qPrintable(describe(at(20, 50))));
    moveTo(*view, 80, 20);
    grab();
    QVERIFY(blue(at(80, 20)) && blue(at(50, 20)));
    QVERIFY(!blue(at(20, 80)));
    // The second click traces the rake and the discs give way to lines.
    click(*view, 80, 20);
    grab();
    QVERIFY(view->bFirstSeed);
    QCOMPARE(view->tmpLines->streamlineNum, 10);
    QVERIFY(red(at(5, 20)) || blue(at(5, 20)));
}

void TestFlowViewLinesRender::lineModeDrawsThinStrips()
{
    open(int3{100, 100, 2}, 1.0f);
    view->bTubelines = false;
    click(*view, 50, 50);
    grab();
    // A one-pixel strip: red on the line's row, nothing two rows above it.
    const QPoint p = pixelAt(*view, 20, 50);
    bool found = false;
    for (int dy = -1; dy <= 1; ++dy)
        found = found || reddish(frame.pixelColor(p.x(), p.y() + dy));
    QVERIFY(found);
    QVERIFY(!reddish(frame.pixelColor(p.x(), p.y() - 3)));
}

void TestFlowViewLinesRender::committedLinesAreBlack()
{
    open(int3{100, 100, 2}, 1.0f);
    click(*view, 50, 30);
    view->tmpLines->commitTmplines(view->commitedLines.get());
    click(*view, 50, 70);
    grab();
    const QPoint p = pixelAt(*view, 20, 30);
    bool found = false;
    for (int dy = -1; dy <= 1; ++dy)
        found = found || dark(frame.pixelColor(p.x(), p.y() + dy));
    QVERIFY(found);
    QVERIFY(red(at(20, 70)));
}

QTEST_MAIN(TestFlowViewLinesRender)
#include "test_flowViewLinesRender.moc"
