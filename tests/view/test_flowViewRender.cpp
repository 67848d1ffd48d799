// Frames of the view read back pixel by pixel: the field-lines traced by
// clicks, frames drawn from the layers kept from the frame before, and the critical point layer
// on a field with one feature of each type: glowing discs, template streamlines in blocks per
// type, and their marks.
#include "viewFixture.h"

#include "syntheticFlow.h"

#include <QLabel>
#include <QSignalSpy>

#include <utility>

namespace
{

// Thin lines may cover a pixel only in part: dark rather than black, reddish rather than red.
using Test = bool (*)(const QColor&);
// clang-format off
const Test red = [](const QColor& c) { return c.red() > 140 && c.green() < 60 && c.blue() < 60; };
const Test blue = [](const QColor& c) { return c.blue() > 100 && c.red() < 60 && c.green() < 60; };
const Test dark = [](const QColor& c) { return std::max({c.red(), c.green(), c.blue()}) < 140; };
const Test reddish = [](const QColor& c) { return c.red() > 140 && c.green() < c.red() - 60; };
const Test magenta = [](const QColor& c) { return c.red() > 140 && c.blue() > 140 && c.green() < 60; };
const Test white = [](const QColor& c) { return std::min({c.red(), c.green(), c.blue()}) > 200; };
// clang-format on

// Scenes for the kept layers, set up by these steps in this order, and a change that must
// show in the next frame.
enum Step
{
    kTemplates = 1,   // critical points with their template streamlines, no field-lines
    kLic = 2,         // the LIC background
    kUniform = 4,     // uniformly seeded streamlines
    kClickCommit = 8, // a streamline traced by a click, then committed
    kAnimate = 16     // flowlets on, the timer stopped
};
struct CacheCase
{
    const char* name;
    int steps;
    void (*change)(FlowView&);
};
const CacheCase kCacheCases[] = {
    {"uniform streamlines over LIC; tubes off", kLic | kUniform,
     [](FlowView& v) { v.on_view_tubeLines(0); }},
    {"a committed streamline; a click", kClickCommit, [](FlowView& v) { click(v, 70, 50); }},
    {"template streamlines; LIC", kTemplates, [](FlowView& v) { v.on_view_toggleLICBk(2); }},
    {"flowlets over LIC; a pan", kLic | kUniform | kAnimate,
     [](FlowView& v)
     {
         QTest::mousePress(&v, Qt::MiddleButton, {}, QPoint(100, 100));
         QTest::mouseRelease(&v, Qt::MiddleButton, {}, QPoint(130, 100));
     }},
    {"moving template streamlets; a resize", kTemplates | kAnimate,
     [](FlowView& v) { v.resize(240, 200); }},
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

constexpr int kField = 300;

// One critical point type: its slot, its points and template seed count, and its disc colour.
struct TypeCase
{
    void (FlowView::*toggle)(int);
    float2 (critpntArray::*points)[kCritpntCapacity];
    int CritpntDetect::*count;
    int critpntArray::*seedsCnt;
    QColor color;
};

const TypeCase kTypes[6] = {
    {&FlowView::on_view_toggleRepFocus, &critpntArray::repFocus, &CritpntDetect::repFocusCnt,
     &critpntArray::repFocusTmpltSeedsCnt, QColor(255, 0, 0)},
    {&FlowView::on_view_toggleAttrFocus, &critpntArray::attrFocus, &CritpntDetect::attrFocusCnt,
     &critpntArray::attrFocusTmpltSeedsCnt, QColor(255, 255, 0)},
    {&FlowView::on_view_toggleCenter, &critpntArray::center, &CritpntDetect::centerCnt,
     &critpntArray::centerTmpltSeedsCnt, QColor(0, 255, 0)},
    {&FlowView::on_view_toggleRepNode, &critpntArray::repNode, &CritpntDetect::repNodeCnt,
     &critpntArray::repNodeTmpltSeedsCnt, QColor(0, 255, 255)},
    {&FlowView::on_view_toggleAttrNode, &critpntArray::attrNode, &CritpntDetect::attrNodeCnt,
     &critpntArray::attrNodeTmpltSeedsCnt, QColor(0, 0, 255)},
    {&FlowView::on_view_toggleSaddlePnt, &critpntArray::saddlePnt, &CritpntDetect::saddlePntCnt,
     &critpntArray::saddlePntTmpltSeedsCnt, QColor(255, 0, 255)},
};

// A glow of the given colour: its full channels bright, its empty channels dark.
bool isGlowOf(const QColor& pixel, const QColor& color)
{
    const int channels[3][2] = {
        {pixel.red(), color.red()}, {pixel.green(), color.green()}, {pixel.blue(), color.blue()}};
    for (const auto& c : channels)
        if (c[1] == 255 ? c[0] < 200 : c[0] > 130)
            return false;
    return true;
}

int redPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += isGlowOf(image.pixelColor(x, y), Qt::red) ? 1 : 0;
    return n;
}

// A point 8 field units from p towards the middle of the field: inside the glowing disc,
// outside the white marker disc.
float2 besidePoint(const float2& p)
{
    const float dx = kField * 0.5f - p.x, dy = kField * 0.5f - p.y;
    const float len = std::sqrt(dx * dx + dy * dy);
    return makeFloat2(p.x + 8.0f * dx / len, p.y + 8.0f * dy / len);
}
} // namespace

class TestFlowViewRender : public ViewTest
{
    Q_OBJECT

    QImage frame;

    void grab() { frame = grabFrame(); }
    // Whether the pixel over (x, y), or one up to spread rows above or below it, passes test.
    bool at(float x, float y, Test test, int spread = 0)
    {
        const QPoint p = pixelAt(*view, x, y);
        for (int dy = -spread; dy <= spread; ++dy)
            if (test(frame.pixelColor(p.x(), p.y() + dy)))
                return true;
        return false;
    }

    // A 600 x 600 view on one feature of each type, spread over a field three times the
    // generator's size.
    void openFeatures()
    {
        const SyntheticFlow flow = SyntheticFlow::earthquake();
        workdir->writeField(int3{kField, kField, 1},
                            [&](int i, int j, int) { return flow.velocity(i / 3.0, j / 3.0); });
        open({});
    }
    void toggle(int type, int state) { (view.get()->*kTypes[type].toggle)(state); }
    QColor at(const QImage& image, const float2& p)
    {
        return image.pixelColor(pixelAt(*view, p.x, p.y));
    }
    const critpntArray& tables() const { return *view->criticalpntDetect->critpoints; }
    float2 point(int type, int k) const { return (tables().*kTypes[type].points)[k]; }
    int count(int type) const { return (*view->criticalpntDetect).*kTypes[type].count; }
    // Template lines before the block of the type: the seeds of the types before it.
    int seedsBefore(int type) const
    {
        int sum = 0;
        for (int t = 0; t < type; ++t)
            sum += tables().*kTypes[t].seedsCnt;
        return sum;
    }

private slots:
    // Six pixels per field unit from here on: a red band of half-width 3 with a blue seed;
    // committed lines are black; line mode draws a one-pixel strip.
    void streamlinesAndCommittedLines()
    {
        open(int3{100, 100, 2});
        click(*view, 50, 30);
        grab();
        QVERIFY(at(20, 30, red));
        QVERIFY(at(80, 30, red));
        QVERIFY(at(50, 30, blue));
        QVERIFY(!at(20, 40, red));
        QVERIFY(!at(20, 20, red));
        view->tmpLines->commitTmplines(view->commitedLines.get());
        view->bTubelines = false;
        click(*view, 50, 70);
        grab();
        QVERIFY(at(20, 30, dark, 1));
        QVERIFY(at(20, 70, reddish, 1));
        QVERIFY(!at(20, 70.6f, reddish, 1)); // four pixels above
    }

    // Frames that start from the kept layers look exactly like frames that draw every layer:
    // the kept layers are a sample-for-sample copy of the multisampled frame, so the tolerance
    // is zero. The field spirals into an attracting focus near its centre.
    void keptLayersGiveTheFrameOfAllLayers_data()
    {
        QTest::addColumn<int>("row");
        for (int r = 0; r < int(std::size(kCacheCases)); ++r)
            QTest::newRow(kCacheCases[r].name) << r;
    }
    void keptLayersGiveTheFrameOfAllLayers()
    {
        QFETCH(int, row);
        workdir->writeField(int3{100, 100, 2},
                            [](int i, int j, int)
                            {
                                const float x = i - 50.5f, y = j - 50.3f;
                                return makeFloat2(0.02f * (-y - 0.2f * x), 0.02f * (x - 0.2f * y));
                            });
        open({}, 200);
        setUp(*view, kCacheCases[row].steps);
        const auto frameOf = [this](bool bKept)
        {
            view->bFrameCache = bKept;
            view->animStep = 200; // flowlet heads on the first 200 points of every line
            return grabFrame();
        };
        const QImage allLayers = frameOf(false);
        frameOf(true);
        const int kept = view->framesFromCache();
        QCOMPARE(frameOf(true), allLayers);
        QCOMPARE(view->framesFromCache(), kept + 1);
        kCacheCases[row].change(*view);
        const QImage changed = frameOf(true);
        QVERIFY(changed != allLayers);
        QCOMPARE(changed, frameOf(false));
    }

    // Land (a block of zero vectors) over the LIC is sand, not the LIC's black, and a click
    // there traces nothing and says why; above the wide field the view stays white.
    void landOfAWideField()
    {
        workdir->writeField({144, 73, 2},
                            [](int i, int j, int) {
                                return i >= 40 && i < 60 && j < 50 ? float2{0, 0} : float2{1, 0.5f};
                            });
        open({0, 0, 0});
        view->on_view_toggleLICBk(2);
        const QColor land = grabFrame().pixelColor(pixelAt(*view, 50, 25));
        QCOMPARE(land.red(), int(FlowView::kLandColor[0]));
        QCOMPARE(land.green(), int(FlowView::kLandColor[1]));
        QCOMPARE(land.blue(), int(FlowView::kLandColor[2]));
        QCOMPARE(lastFrame.pixelColor(pixelAt(*view, 72, 90)), QColor(Qt::white));
        QSignalSpy hint(view.get(), &FlowView::view_hint_msg);
        click(*view, 50, 25);
        QCOMPARE(view->tmpLines->currNumpnt, 0);
        QCOMPARE(hint.size(), 1);
        click(*view, 100, 25);
        QVERIFY(view->tmpLines->currNumpnt > 1);
    }

    // A glowing disc of the type's colour around each of its points, a white marker on it;
    // none after unticking, while the next type stays shown.
    void tickingATypeDrawsItsDiscs()
    {
        openFeatures();
        for (int type = 0; type < 6; ++type)
        {
            toggle(type, 2);
            toggle((type + 1) % 6, 2);
            QVERIFY(count(type) > 0);
            const QImage shown = grabFrame();
            toggle(type, 0);
            const QImage hidden = grabFrame();
            toggle((type + 1) % 6, 0);
            for (int k = 0; k < count(type); ++k)
            {
                const QColor glow = at(shown, besidePoint(point(type, k)));
                QVERIFY2(isGlowOf(glow, kTypes[type].color),
                         qPrintable(QString("type %1: %2").arg(type).arg(glow.name())));
                QVERIFY(qGray(at(shown, point(type, k)).rgb()) > 220);
                QVERIFY(!isGlowOf(at(hidden, besidePoint(point(type, k))), kTypes[type].color));
                QVERIFY(qGray(at(hidden, point(type, k)).rgb()) < 220);
            }
        }
        QVERIFY(!view->bCritpntDetect);
    }

    // The FTLE background arrives from its worker with a colour bar; a second request
    // replaces the first, and switching it off gives the frame of before, kept layers and all.
    // A steady field shows it too.
    void ftleBackgroundComesAndGoes()
    {
        workdir->writeField(int3{100, 100, 12},
                            [](int i, int j, int t) {
                                return makeFloat2(0.05f * (i - 50), -0.05f * (j - 50) + 0.01f * t);
                            });
        open({}, 200);
        view->uiTimeId = 5;
        const QImage before = grabFrame();
        view->on_view_changeFtleMode(FlowView::kFtleForward);
        view->on_view_changeFtleMode(FlowView::kFtleBoth);
        QTRY_VERIFY(view->bFtleShown);
        QVERIFY(view->findChild<QLabel*>()->isVisible());
        QVERIFY(grabFrame().pixelColor(100, 100) != before.pixelColor(100, 100));
        view->on_view_changeFtleMode(FlowView::kFtleOff);
        QCOMPARE(grabFrame(), before);
        QVERIFY(!view->findChild<QLabel*>()->isVisible());

        // A steady field holds for all time, so either direction takes the whole duration.
        open(int3{40, 40, 1}, 200);
        view->on_view_changeFtleMode(FlowView::kFtleBackward);
        grabFrame();
        QTRY_VERIFY(view->bFtleShown);
    }

    // Template lines glow red for the shown types only: ticking the attracting nodes beside
    // the repelling nodes adds red; a click in the view, or another tracing step, traces them
    // again. They are traced in blocks by type; unticking a type empties exactly its block.
    void templateLinesFollowTheBoxes()
    {
        openFeatures();
        view->on_view_toggleStrmline(0); // as the panel does when a type is ticked
        view->on_view_toggleCriticalPntStrml(2);
        toggle(3, 2);
        const int red = redPixels(grabFrame());
        QVERIFY2(red > 500, qPrintable(QString::number(red)));
        QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint(300, 300));
        QCOMPARE(redPixels(grabFrame()), red);
        toggle(4, 2);
        const int withAttrNodes = redPixels(grabFrame());
        QVERIFY2(withAttrNodes > red + 200, qPrintable(QString::number(withAttrNodes)));

        for (int type = 0; type < 6; ++type)
            toggle(type, 2);
        const QImage full = grabFrame(); // the mark size reaches a frame from kept layers
        view->on_view_changeMarkSize(25);
        QVERIFY(grabFrame() != full);
        view->on_view_changeTracingStpIntv(2);
        const TracedLines& lines = *view->tmpLines;
        QCOMPARE(lines.streamlineNum, seedsBefore(6));
        QVERIFY(lines.streamlineNum > 20);
        std::vector<int> before;
        for (int k = 0; k < lines.streamlineNum; ++k)
            before.push_back(lines.streamlineIndxArray[k].numPoint);
        toggle(2, 0);
        for (int k = 0; k < int(before.size()); ++k)
        {
            const bool inCenterBlock = k >= seedsBefore(2) && k < seedsBefore(3);
            QCOMPARE(lines.streamlineIndxArray[k].numPoint, inCenterBlock ? 0 : before[k]);
        }
        view->on_view_toggleCriticalPntStrml(0);
        QCOMPARE(lines.streamlineNum, 0);
    }

    // A saddle and an attracting node 60 apart on row 50.5 close in and die at step 7: each
    // track in its type's colour while the type is ticked, the death a white cross while
    // either is.
    void tracksFollowTheBoxesAndMarkTheDeath()
    {
        workdir->writeField(int3{200, 100, 10},
                            [](int i, int j, int t)
                            {
                                const float dx = i - 100.0f, dy = j - 50.5f;
                                return makeFloat2(dx * dx - (900 - 120.0f * t) + 0.05f * dx * dy,
                                                  -dy * (1 + 0.005f * dx));
                            });
        open({});
        view->on_view_changeMarkSize(25);
        view->on_view_toggleTracks(2);
        toggle(4, 2);
        toggle(5, 2);
        grab();
        QVERIFY(at(80, 50.5f, blue, 1));
        QVERIFY(at(120, 50.5f, magenta, 1));
        QVERIFY(at(100, 50.5f, white, 1));
        toggle(5, 0);
        grab();
        QVERIFY(!at(120, 50.5f, magenta, 1));
        QVERIFY(at(100, 50.5f, white, 1)); // the node still ticked
        toggle(4, 0);
        grab();
        QVERIFY(!at(100, 50.5f, white, 1));
    }
};

QTEST_MAIN(TestFlowViewRender)
#include "test_flowViewRender.moc"
