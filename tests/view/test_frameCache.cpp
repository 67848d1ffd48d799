// Frames that start from the layers kept from the frame before look exactly like frames that
// draw every layer: the kept layers are a sample-for-sample copy of the multisampled frame, so
// the tolerance is zero. A change shows in the next frame.
#include "tracing/tracedLines.h"
#include "view/flowView.h"
#include "viewWorkdir.h"

#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <memory>

namespace
{
constexpr int kField = 100;
constexpr int kView = 200;
constexpr int kAnimStep = 200; // a full train of flowlets on every line

struct Scene
{
    const char* name;
    std::function<void(FlowView&)> setUp;
};

void streamlinesOverLic(FlowView& v)
{
    v.on_view_toggleLICBk(2);
    v.on_view_toggleUnifSeeding(2);
}

void templateStreamlines(FlowView& v)
{
    v.on_view_toggleStrmline(0);
    v.on_view_toggleCriticalPntStrml(2);
    v.on_view_toggleAttrFocus(2);
}

void animate(FlowView& v)
{
    v.on_view_flowlet(2);
    v.iTimer->stop();
}

// Three crossing diagonals, committed.
void committedLines(FlowView& v)
{
    TracedLines& lines = *v.commitedLines;
    for (int k = 0; k < 3; ++k)
    {
        for (int i = 0; i < 50; ++i)
            lines.pointArray[50 * k + i] = makeFloat2(20.0f + 1.2f * i, 20.0f + (k + 1) * 0.6f * i);
        lines.streamlineIndxArray[k] = flowlineInfo{50 * k, 50 * k, 49};
    }
    lines.streamlineNum = 3;
    lines.currNumpnt = 150;
    v.invalidate();
}

const Scene kScenes[] = {
    {"uniform streamlines over the LIC background", streamlinesOverLic},
    {"committed lines", committedLines},
    {"critical points with template streamlines", templateStreamlines},
    {"flowlets over the LIC background",
     [](FlowView& v)
     {
         streamlinesOverLic(v);
         animate(v);
     }},
    {"moving template streamlets",
     [](FlowView& v)
     {
         templateStreamlines(v);
         animate(v);
     }},
};

const Scene kChanges[] = {
    {"a click traces a line",
     [](FlowView& v) { QTest::mouseClick(&v, Qt::LeftButton, {}, QPoint(60, 60)); }},
    {"the LIC background goes off", [](FlowView& v) { v.on_view_toggleLICBk(0); }},
    {"a wheel notch zooms",
     [](FlowView& v)
     {
         QWheelEvent wheel(QPointF(100, 100), v.mapToGlobal(QPointF(100, 100)), QPoint(),
                           QPoint(0, -120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
         QCoreApplication::sendEvent(&v, &wheel);
     }},
    {"tubes go off without a redraw", [](FlowView& v) { v.on_view_tubeLines(0); }},
    {"a resize", [](FlowView& v) { v.resize(kView + 40, kView); }},
};
} // namespace

// A view on a 100 x 100 field of two steps whose flow spirals into an attracting focus at its
// centre.
class TestFrameCache : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { view.reset(), workdir.reset(); }
    void keptLayersGiveTheSameFrame_data();
    void keptLayersGiveTheSameFrame();
    void changeShowsInTheNextFrame_data();
    void changeShowsInTheNextFrame();

private:
    QImage frame(bool bKept)
    {
        view->bFrameCache = bKept;
        view->animStep = kAnimStep;
        return view->grabFramebuffer();
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

void TestFrameCache::keptLayersGiveTheSameFrame_data()
{
    QTest::addColumn<int>("row");
    for (int r = 0; r < int(std::size(kScenes)); ++r)
        QTest::newRow(kScenes[r].name) << r;
}

void TestFrameCache::keptLayersGiveTheSameFrame()
{
    QFETCH(int, row);
    kScenes[row].setUp(*view);
    const QImage everyLayer = frame(false);
    frame(true);
    const int kept = view->framesFromCache();
    QCOMPARE(frame(true), everyLayer);
    QCOMPARE(view->framesFromCache(), kept + 1);
}

void TestFrameCache::changeShowsInTheNextFrame_data()
{
    QTest::addColumn<int>("row");
    for (int r = 0; r < int(std::size(kChanges)); ++r)
        QTest::newRow(kChanges[r].name) << r;
}

void TestFrameCache::changeShowsInTheNextFrame()
{
    QFETCH(int, row);
    view->on_view_toggleLICBk(2);
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint(140, 100));
    frame(true);
    const QImage before = frame(true);
    kChanges[row].setUp(*view);
    const QImage after = frame(true);
    QVERIFY(after != before);
    QCOMPARE(after, frame(false));
}

QTEST_MAIN(TestFrameCache)
#include "test_frameCache.moc"
