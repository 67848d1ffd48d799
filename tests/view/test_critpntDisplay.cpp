// The critical point layer of the view on a field with one feature of each type: glowing
// discs, template streamlines in blocks per type, and their dashes.
#include "viewFixture.h"

#include "datasetWriter.h"
#include "syntheticFlow.h"

#include <numeric>

namespace
{
constexpr int kField = 300;

// One critical point type: its slot, its points and template seeds, and its disc colour.
struct TypeCase
{
    void (FlowView::*toggle)(int);
    float2 (critpntArray::*points)[kCritpntCapacity];
    int CritpntDetect::*count;
    float2 (critpntArray::*seeds)[kCritpntCapacity];
    int critpntArray::*seedsCnt;
    QColor color;
};

const TypeCase kTypes[6] = {
    {&FlowView::on_view_toggleRepFocus, &critpntArray::repFocus, &CritpntDetect::repFocusCnt,
     &critpntArray::repFocusTmpltSeeds, &critpntArray::repFocusTmpltSeedsCnt, QColor(255, 0, 0)},
    {&FlowView::on_view_toggleAttrFocus, &critpntArray::attrFocus, &CritpntDetect::attrFocusCnt,
     &critpntArray::attrFocusTmpltSeeds, &critpntArray::attrFocusTmpltSeedsCnt,
     QColor(255, 255, 0)},
    {&FlowView::on_view_toggleCenter, &critpntArray::center, &CritpntDetect::centerCnt,
     &critpntArray::centerTmpltSeeds, &critpntArray::centerTmpltSeedsCnt, QColor(0, 255, 0)},
    {&FlowView::on_view_toggleRepNode, &critpntArray::repNode, &CritpntDetect::repNodeCnt,
     &critpntArray::repNodeTmpltSeeds, &critpntArray::repNodeTmpltSeedsCnt, QColor(0, 255, 255)},
    {&FlowView::on_view_toggleAttrNode, &critpntArray::attrNode, &CritpntDetect::attrNodeCnt,
     &critpntArray::attrNodeTmpltSeeds, &critpntArray::attrNodeTmpltSeedsCnt, QColor(0, 0, 255)},
    {&FlowView::on_view_toggleSaddlePnt, &critpntArray::saddlePnt, &CritpntDetect::saddlePntCnt,
     &critpntArray::saddlePntTmpltSeeds, &critpntArray::saddlePntTmpltSeedsCnt,
     QColor(255, 0, 255)},
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

class TestCritpntDisplay : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup()
    {
        keepFrameOfFailure();
        view.reset(), workdir.reset();
    }
    void tickingATypeDrawsItsDiscs();
    void templateBlocksFollowTheBoxes();
    void templateLinesAreDrawnOnlyForShownTypes();
    void confirmedTimeStepRerunsTheDetection();
    void markSizeScalesTheGlows();

private:
    QImage frame() { return grabFrame(*view); }
    QColor at(const QImage& image, const float2& p) { return colorAt(image, *view, p.x, p.y); }
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

    std::unique_ptr<ViewWorkdir> workdir;
    std::unique_ptr<FlowView> view;
};

void TestCritpntDisplay::init()
{
    workdir = std::make_unique<ViewWorkdir>();
    // One feature of each type, spread over a field three times the generator's size.
    const SyntheticFlow flow = SyntheticFlow::earthquake();
    workdir->writeField(int3{kField, kField, 1},
                        [&](int i, int j, int) { return flow.velocity(i / 3.0, j / 3.0); });
    view = std::make_unique<FlowView>(nullptr, 600, 600);
    view->resize(600, 600);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
}

// A glowing disc of the type's colour around each of its points, a white marker on it; none
// after unticking.
void TestCritpntDisplay::tickingATypeDrawsItsDiscs()
{
    for (int type = 0; type < 6; ++type)
    {
        const TypeCase& c = kTypes[type];
        (view.get()->*c.toggle)(2);
        QVERIFY(count(type) > 0);
        const QImage shown = frame();
        (view.get()->*c.toggle)(0);
        QVERIFY(!view->bCritpntDetect);
        const QImage hidden = frame();
        for (int k = 0; k < count(type); ++k)
        {
            const QColor glow = at(shown, besidePoint(point(type, k)));
            QVERIFY2(isGlowOf(glow, c.color),
                     qPrintable(QString("type %1: %2").arg(type).arg(glow.name())));
            QVERIFY(qGray(at(shown, point(type, k)).rgb()) > 220);
            QVERIFY(!isGlowOf(at(hidden, besidePoint(point(type, k))), c.color));
            QVERIFY(qGray(at(hidden, point(type, k)).rgb()) < 220);
        }
    }
}

// Templates are traced for every type, in blocks by type, each line from its own seed;
// unticking a type empties exactly its block, unticking the lines empties both stores.
void TestCritpntDisplay::templateBlocksFollowTheBoxes()
{
    view->on_view_toggleCriticalPntStrml(2);
    for (const TypeCase& t : kTypes)
        (view.get()->*t.toggle)(2);
    const TracedLines& lines = *view->tmpLines;
    QCOMPARE(lines.streamlineNum, seedsBefore(6));
    QVERIFY(lines.streamlineNum > 20);
    std::vector<int> before;
    for (int t = 0; t < 6; ++t)
        for (int k = seedsBefore(t); k < seedsBefore(t + 1); ++k)
        {
            const flowlineInfo& line = lines.streamlineIndxArray[k];
            QCOMPARE(lines.pointArray[line.seedIdx],
                     (tables().*kTypes[t].seeds)[k - seedsBefore(t)]);
            before.push_back(line.numPoint);
        }

    view->on_view_toggleCenter(0);
    for (int k = 0; k < int(before.size()); ++k)
    {
        const bool inCenterBlock = k >= seedsBefore(2) && k < seedsBefore(3);
        QCOMPARE(lines.streamlineIndxArray[k].numPoint, inCenterBlock ? 0 : before[k]);
    }
    view->on_view_toggleCenter(2);
    for (int k = 0; k < int(before.size()); ++k)
        QCOMPARE(lines.streamlineIndxArray[k].numPoint, before[k]);

    view->commitedLines->streamlineNum = 1;
    view->on_view_toggleCriticalPntStrml(0);
    QCOMPARE(lines.streamlineNum, 0);
    QCOMPARE(view->commitedLines->streamlineNum, 0);
}

// Template lines glow red for the shown types only: ticking the attracting nodes beside the
// repelling nodes adds red. A click in the view, or another tracing step, traces them again.
void TestCritpntDisplay::templateLinesAreDrawnOnlyForShownTypes()
{
    view->on_view_toggleStrmline(0); // as the panel does when a type is ticked
    view->on_view_toggleCriticalPntStrml(2);
    view->on_view_toggleRepNode(2);
    const int traced = view->tmpLines->streamlineNum;
    const int red = redPixels(frame());
    QVERIFY2(red > 500, qPrintable(QString::number(red)));
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint(300, 300));
    QCOMPARE(view->tmpLines->streamlineNum, traced);
    QCOMPARE(redPixels(frame()), red);
    view->on_view_toggleAttrNode(2);
    const int withAttrNodes = redPixels(frame());
    QVERIFY2(withAttrNodes > red + 200, qPrintable(QString::number(withAttrNodes)));
    view->on_view_changeTracingStpIntv(2);
    QCOMPARE(view->tmpLines->streamlineNum, traced);
}

// Step 1 is step 0 moved 30 units to the right: a confirmed step finds the moved points and
// traces the templates around them.
void TestCritpntDisplay::confirmedTimeStepRerunsTheDetection()
{
    const SyntheticFlow flow = SyntheticFlow::earthquake();
    workdir->writeField(int3{kField, kField, 2}, [&](int i, int j, int t)
                        { return flow.velocity((i - 30.0 * t) / 3.0, j / 3.0); });
    view->resetView();
    view->on_view_toggleCriticalPntStrml(2);
    view->on_view_toggleSaddlePnt(2);
    const float2 first = point(5, 0);
    view->on_view_changeUnstdyInterTimeSel(2);
    view->on_view_confirmTimeId();
    QCOMPARE(view->critpntTimeId, 1);
    QVERIFY(std::abs(point(5, 0).x - first.x - 30.0f) < 3.0f);
    const flowlineInfo& line = view->tmpLines->streamlineIndxArray[seedsBefore(5)];
    const float2 seed = view->tmpLines->pointArray[line.seedIdx];
    QVERIFY(std::hypot(seed.x - point(5, 0).x, seed.y - point(5, 0).y) < 30.0f);
    QVERIFY(line.numPoint > 0);
}

// On the steady earthquake set the glows cover most of the view; at 25 % they cover at most a
// quarter of that, and back at 100 % the frame is the one drawn before.
void TestCritpntDisplay::markSizeScalesTheGlows()
{
    const std::filesystem::path folder = "flow data/stdy flow data";
    QVERIFY(DatasetWriter::writeEarthquakeSteady(folder / "earthquake_100"));
    view->on_view_btnconfirmStdyFile();
    view->on_view_confirmUnstdySliceID();
    const QImage plain = frame();
    for (const TypeCase& t : kTypes)
        (view.get()->*t.toggle)(2);
    const QImage full = frame();
    view->on_view_changeMarkSize(25);
    const QImage quarter = frame();
    view->on_view_changeMarkSize(100);
    QCOMPARE(frame(), full);
    const auto covered = [&](const QImage& image)
    {
        const auto* a = reinterpret_cast<const QRgb*>(image.constBits());
        return std::inner_product(a, a + 600 * 600,
                                  reinterpret_cast<const QRgb*>(plain.constBits()), 0,
                                  std::plus<>(), std::not_equal_to<>());
    };
    QVERIFY(covered(quarter) > 0);
    QVERIFY2(covered(quarter) * 4 <= covered(full), qPrintable(QString::number(covered(full))));
}

QTEST_MAIN(TestCritpntDisplay)

#include "test_critpntDisplay.moc"
