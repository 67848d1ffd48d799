// Frames that start from the layers kept from the frame before look exactly like frames that
// draw every layer: the kept layers are a sample-for-sample copy of the multisampled frame, so
// the tolerance is zero. A change shows in the next frame.
#include "tracing/tracedLines.h"
#include "view/flowView.h"
#include "viewWorkdir.h"

#include <QTest>
#include <memory>

namespace
{
constexpr int kField = 100;
constexpr int kView = 200;
constexpr int kAnimStep = 200; // flowlet heads on the first 200 points of every line

// A scene, and a change that must show in the next frame.
struct Case
{
    const char* name;
    void (*scene)(FlowView&);
    void (*change)(FlowView&);
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

// Three diagonals from one point, committed.
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

const Case kCases[] = {
    {"uniform streamlines over the LIC background; tubes off", streamlinesOverLic,
     [](FlowView& v) { v.on_view_tubeLines(0); }},
    {"committed lines; a click traces a line", committedLines,
     [](FlowView& v) { QTest::mouseClick(&v, Qt::LeftButton, {}, QPoint(140, 100)); }},
    {"template streamlines; the LIC background", templateStreamlines,
     [](FlowView& v) { v.on_view_toggleLICBk(2); }},
    {"flowlets; a middle-button drag pans",
     [](FlowView& v)
     {
         streamlinesOverLic(v);
         animate(v);
     },
     [](FlowView& v)
     {
         QTest::mousePress(&v, Qt::MiddleButton, {}, QPoint(100, 100));
         QTest::mouseRelease(&v, Qt::MiddleButton, {}, QPoint(130, 100));
     }},
    {"moving template streamlets; a resize",
     [](FlowView& v)
     {
         templateStreamlines(v);
         animate(v);
     },
     [](FlowView& v) { v.resize(kView + 40, kView); }},
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
    void keptLayersGiveTheFrameOfAllLayers_data();
    void keptLayersGiveTheFrameOfAllLayers();

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

void TestFrameCache::keptLayersGiveTheFrameOfAllLayers_data()
{
    QTest::addColumn<int>("row");
    for (int r = 0; r < int(std::size(kCases)); ++r)
        QTest::newRow(kCases[r].name) << r;
}

void TestFrameCache::keptLayersGiveTheFrameOfAllLayers()
{
    QFETCH(int, row);
    kCases[row].scene(*view);
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
