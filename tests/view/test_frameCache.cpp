// Frames that start from the layers kept from the frame before look exactly like frames that
// draw every layer: the kept layers are a sample-for-sample copy of the multisampled frame, so
// the tolerance is zero. A change shows in the next frame.
#include "viewFixture.h"

#include <utility>

namespace
{
constexpr int kField = 100;
constexpr int kView = 200;
constexpr int kAnimStep = 200; // flowlet heads on the first 200 points of every line

// Steps that set up a scene, in this order.
enum Step
{
    kTemplates = 1,   // critical points with their template streamlines, no field-lines
    kLic = 2,         // the LIC background
    kUniform = 4,     // uniformly seeded streamlines
    kClickCommit = 8, // a streamline traced by a click, then committed
    kAnimate = 16     // flowlets on, the timer stopped
};

// A scene, and a change that must show in the next frame.
struct Case
{
    const char* name;
    int steps;
    void (*change)(FlowView&);
};

void pan(FlowView& v)
{
    QTest::mousePress(&v, Qt::MiddleButton, {}, QPoint(100, 100));
    QTest::mouseRelease(&v, Qt::MiddleButton, {}, QPoint(130, 100));
}

const Case kCases[] = {
    {"uniform streamlines over the LIC background; tubes off", kLic | kUniform,
     [](FlowView& v) { v.on_view_tubeLines(0); }},
    {"a committed streamline; a click traces another", kClickCommit,
     [](FlowView& v) { click(v, 70, 50); }},
    {"template streamlines; the LIC background", kTemplates,
     [](FlowView& v) { v.on_view_toggleLICBk(2); }},
    {"flowlets over the LIC background; a pan", kLic | kUniform | kAnimate, pan},
    {"moving template streamlets; a resize", kTemplates | kAnimate,
     [](FlowView& v) { v.resize(kView + 40, kView); }},
};

void setUp(FlowView& v, int steps)
{
    if (steps & kTemplates)
    {
        v.on_view_toggleStrmline(0);
        v.on_view_toggleCriticalPntStrml(2);
        v.on_view_toggleAttrFocus(2);
    }
    if (steps & kLic)
        v.on_view_toggleLICBk(2);
    if (steps & kUniform)
        v.on_view_toggleUnifSeeding(2);
    if (steps & kClickCommit)
    {
        click(v, 30, 70);
        std::swap(v.tmpLines, v.commitedLines);
        v.invalidate();
    }
    if (steps & kAnimate)
    {
        v.on_view_flowlet(2);
        v.iTimer->stop();
    }
}
} // namespace

// A view on a 100 x 100 field of two steps whose flow spirals into an attracting focus at its
// centre.
class TestFrameCache : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup()
    {
        keepFrameOfFailure();
        view.reset(), workdir.reset();
    }
    void keptLayersGiveTheFrameOfAllLayers_data();
    void keptLayersGiveTheFrameOfAllLayers();

private:
    QImage frame(bool bKept)
    {
        view->bFrameCache = bKept;
        view->animStep = kAnimStep;
        return grabFrame(*view);
    }

    std::unique_ptr<ViewWorkdir> workdir;
    std::unique_ptr<FlowView> view;
};

void TestFrameCache::init()
{
    workdir = std::make_unique<ViewWorkdir>();
    workdir->writeField(int3{kField, kField, 2},
                        [](int i, int j, int)
                        {
                            const float x = i - 50.0f, y = j - 50.0f;
                            return makeFloat2(0.02f * (-y - 0.2f * x), 0.02f * (x - 0.2f * y));
                        });
    view = std::make_unique<FlowView>(nullptr, kView, kView);
    view->resize(kView, kView);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
}

void TestFrameCache::keptLayersGiveTheFrameOfAllLayers_data()
{
    QTest::addColumn<int>("row");
    for (int r = 0; r < int(std::size(kCases)); ++r)
        QTest::newRow(kCases[r].name) << r;
}

void TestFrameCache::keptLayersGiveTheFrameOfAllLayers()
{
    QFETCH(int, row);
    setUp(*view, kCases[row].steps);
    const QImage allLayers = frame(false);
    frame(true);
    const int kept = view->framesFromCache();
    QCOMPARE(frame(true), allLayers);
    QCOMPARE(view->framesFromCache(), kept + 1);
    kCases[row].change(*view);
    const QImage changed = frame(true);
    QVERIFY(changed != allLayers);
    QCOMPARE(changed, frame(false));
}

QTEST_MAIN(TestFrameCache)
#include "test_frameCache.moc"
