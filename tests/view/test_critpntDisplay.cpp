#include "tracing/tracedLines.h"
#include "view/critpntShapes.h"
#include "view/flowView.h"
#include "viewWorkdir.h"

#include "syntheticFlow.h"

#include <QTest>
#include <cmath>
#include <memory>
#include <vector>

namespace
{
constexpr int kField = 300;

// One critical point type: its slot, its positions in the detector and its disc colour.
struct TypeCase
{
    void (FlowView::*toggle)(int);
    float2* (*points)(FlowView&);
    int (*count)(FlowView&);
    QColor color;
};

const TypeCase kTypes[6] = {
    {&FlowView::on_view_toggleRepFocus,
     [](FlowView& v) { return v.criticalpntDetect->critpoints->repFocus; },
     [](FlowView& v) { return v.criticalpntDetect->repFocusCnt; }, QColor(255, 0, 0)},
    {&FlowView::on_view_toggleAttrFocus,
     [](FlowView& v) { return v.criticalpntDetect->critpoints->attrFocus; },
     [](FlowView& v) { return v.criticalpntDetect->attrFocusCnt; }, QColor(255, 255, 0)},
    {&FlowView::on_view_toggleCenter,
     [](FlowView& v) { return v.criticalpntDetect->critpoints->center; },
     [](FlowView& v) { return v.criticalpntDetect->centerCnt; }, QColor(0, 255, 0)},
    {&FlowView::on_view_toggleRepNode,
     [](FlowView& v) { return v.criticalpntDetect->critpoints->repNode; },
     [](FlowView& v) { return v.criticalpntDetect->repNodeCnt; }, QColor(0, 255, 255)},
    {&FlowView::on_view_toggleAttrNode,
     [](FlowView& v) { return v.criticalpntDetect->critpoints->attrNode; },
     [](FlowView& v) { return v.criticalpntDetect->attrNodeCnt; }, QColor(0, 0, 255)},
    {&FlowView::on_view_toggleSaddlePnt,
     [](FlowView& v) { return v.criticalpntDetect->critpoints->saddlePnt; },
     [](FlowView& v) { return v.criticalpntDetect->saddlePntCnt; }, QColor(255, 0, 255)},
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
    void cleanup();

    void discRimIsClampedToTheWindow();
    void dashesFollowTheFrame_data();
    void dashesFollowTheFrame();

    void tickingATypeDrawsItsDiscs_data();
    void tickingATypeDrawsItsDiscs();
    void templatesAreTracedForEveryTypeInBlocks();
    void untickingATypeEmptiesExactlyItsBlock();
    void templateLinesAreDrawnOnlyForShownTypes();
    void detectionRunsOncePerDataAndStep();
    void pausedStreamletAnimationHoldsItsFrame();
    void confirmedTimeStepRerunsTheDetection();

private:
    QImage frame();
    float2 point(int type, int k) { return kTypes[type].points(*view)[k]; }
    int count(int type) { return kTypes[type].count(*view); }
    int seedsBefore(int type) const;

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
    QVERIFY(view->hasField());
}

void TestCritpntDisplay::cleanup()
{
    view.reset();
    workdir.reset();
}

QImage TestCritpntDisplay::frame()
{
    return view->grabFramebuffer();
}

int TestCritpntDisplay::seedsBefore(int type) const
{
    const critpntArray& a = *view->criticalpntDetect->critpoints;
    const int counts[6] = {a.repFocusTmpltSeedsCnt, a.attrFocusTmpltSeedsCnt,
                           a.centerTmpltSeedsCnt,   a.repNodeTmpltSeedsCnt,
                           a.attrNodeTmpltSeedsCnt, a.saddlePntTmpltSeedsCnt};
    int sum = 0;
    for (int t = 0; t < type; ++t)
        sum += counts[t];
    return sum;
}

void TestCritpntDisplay::discRimIsClampedToTheWindow()
{
    const auto rim = CritpntShapes::discRim(makeFloat2(10.0f, 50.0f), 600, 600);
    QCOMPARE(rim.front().x, 40.0f);
    QCOMPARE(rim.front().y, 50.0f);
    QVERIFY(std::abs(rim.back().x - 40.0f) < 1e-3f && std::abs(rim.back().y - 50.0f) < 1e-3f);
    for (const float2& v : rim)
        QVERIFY(v.x >= 0.0f && v.y >= 0.0f);
    QCOMPARE(rim[6].x, 0.0f); // 180 degrees would lie at x = -20
    const auto corner = CritpntShapes::discRim(makeFloat2(95.0f, 95.0f), 100, 100);
    QCOMPARE(corner[0].x, 99.0f);
    QCOMPARE(corner[3].y, 99.0f);
}

void TestCritpntDisplay::dashesFollowTheFrame_data()
{
    QTest::addColumn<int>("numPoint");
    QTest::addColumn<int>("animStep");
    QTest::addColumn<QList<int>>("dashes"); // first, len, arrow per dash
    QTest::newRow("two full dashes") << 100 << 150 << QList<int>{0, 31, 1, 60, 31, 1};
    QTest::newRow("last dash cut at the end") << 100 << 170 << QList<int>{0, 51, 1, 80, 20, 0};
    QTest::newRow("only the growing dash") << 1000 << 30 << QList<int>{0, 31, 1};
    QTest::newRow("one point has no dash") << 1 << 150 << QList<int>{};
    QTest::newRow("negative frame has no dash") << 100 << -61 << QList<int>{};
}

void TestCritpntDisplay::dashesFollowTheFrame()
{
    QFETCH(int, numPoint);
    QFETCH(int, animStep);
    QFETCH(QList<int>, dashes);
    QList<int> actual;
    for (const CritpntShapes::Dash& d : CritpntShapes::strmletDashes(numPoint, animStep))
        actual << d.first << d.len << int(d.bArrow);
    QCOMPARE(actual, dashes);
}

void TestCritpntDisplay::tickingATypeDrawsItsDiscs_data()
{
    QTest::addColumn<int>("type");
    const char* names[6] = {"repelling focus", "attracting focus", "center",
                            "repelling node",  "attracting node",  "saddle"};
    for (int t = 0; t < 6; ++t)
        QTest::newRow(names[t]) << t;
}

void TestCritpntDisplay::tickingATypeDrawsItsDiscs()
{
    QFETCH(int, type);
    view->bFirstComputeCritpnt = true;
    view->criticalpntDetect->genAllCritpntData(view->dataMani->orgnvectField2dSlice[0], 36.0f,
                                               &view->dataMani->flowFieldSize);
    QVERIFY(count(type) > 0);
    const QImage before = frame();
    for (int k = 0; k < count(type); ++k)
        QVERIFY(
            !isGlowOf(pixelAt(before, besidePoint(point(type, k)), kField), kTypes[type].color));

    (view.get()->*kTypes[type].toggle)(2);
    QVERIFY(view->bCritpntDetect);
    QVERIFY(!view->bFirstComputeCritpnt);
    const QImage after = view->grabFramebuffer();
    for (int k = 0; k < count(type); ++k)
    {
        const QColor glow = pixelAt(after, besidePoint(point(type, k)), kField);
        QVERIFY2(isGlowOf(glow, kTypes[type].color), qPrintable(glow.name()));
        const QColor marker = pixelAt(after, point(type, k), kField);
        QVERIFY2(marker.red() > 220 && marker.green() > 220 && marker.blue() > 220,
                 qPrintable(marker.name()));
    }

    (view.get()->*kTypes[type].toggle)(0);
    QVERIFY(!view->bCritpntDetect);
    QVERIFY(!isGlowOf(pixelAt(frame(), besidePoint(point(type, 0)), kField), kTypes[type].color));
}

void TestCritpntDisplay::templatesAreTracedForEveryTypeInBlocks()
{
    view->on_view_toggleCriticalPntStrml(2);
    view->on_view_toggleCenter(2);
    const TracedLines& lines = *view->tmpLines;
    QCOMPARE(lines.streamlineNum, seedsBefore(6));
    // Each template line starts at its own seed, in seed order, type after type.
    const critpntArray& a = *view->criticalpntDetect->critpoints;
    const float2* blocks[6] = {a.repFocusTmpltSeeds, a.attrFocusTmpltSeeds, a.centerTmpltSeeds,
                               a.repNodeTmpltSeeds,  a.attrNodeTmpltSeeds,  a.saddlePntTmpltSeeds};
    for (int t = 0; t < 6; ++t)
        for (int s = 0; s < seedsBefore(t + 1) - seedsBefore(t); ++s)
        {
            const flowlineInfo& line = lines.streamlineIndxArray[seedsBefore(t) + s];
            QCOMPARE(lines.pointArray[line.seedIdx].x, blocks[t][s].x);
            QCOMPARE(lines.pointArray[line.seedIdx].y, blocks[t][s].y);
        }

    // Unticking the template lines empties both stores.
    view->commitedLines->streamlineNum = 1;
    view->on_view_toggleCriticalPntStrml(0);
    QCOMPARE(view->tmpLines->streamlineNum, 0);
    QCOMPARE(view->commitedLines->streamlineNum, 0);
}

void TestCritpntDisplay::untickingATypeEmptiesExactlyItsBlock()
{
    view->on_view_toggleCriticalPntStrml(2);
    for (const TypeCase& t : kTypes)
        (view.get()->*t.toggle)(2);
    std::vector<int> before;
    for (int k = 0; k < view->tmpLines->streamlineNum; ++k)
        before.push_back(view->tmpLines->streamlineIndxArray[k].numPoint);
    QVERIFY(before.size() > 20);

    view->on_view_toggleCenter(0);
    QVERIFY(view->bCritpntDetect);
    for (int k = 0; k < int(before.size()); ++k)
    {
        const bool inCenterBlock = k >= seedsBefore(2) && k < seedsBefore(3);
        QCOMPARE(view->tmpLines->streamlineIndxArray[k].numPoint, inCenterBlock ? 0 : before[k]);
    }
    // Ticking it again retraces every template.
    view->on_view_toggleCenter(2);
    for (int k = 0; k < int(before.size()); ++k)
        QCOMPARE(view->tmpLines->streamlineIndxArray[k].numPoint, before[k]);
}

void TestCritpntDisplay::templateLinesAreDrawnOnlyForShownTypes()
{
    view->on_view_toggleCriticalPntStrml(2);
    view->on_view_toggleRepNode(2);
    // With only repelling nodes shown, sample the template lines far from their glowing disc.
    const TracedLines& lines = *view->tmpLines;
    const float2 node = point(3, 0);
    auto farPoints = [&](int type)
    {
        std::vector<float2> far;
        for (int k = seedsBefore(type); k < seedsBefore(type + 1); ++k)
        {
            const flowlineInfo& line = lines.streamlineIndxArray[k];
            for (int p = line.startIdx; p < line.startIdx + line.numPoint; p += 5)
            {
                const float2 q = lines.pointArray[p];
                if (std::hypot(q.x - node.x, q.y - node.y) > 35.0f && q.x > 5 && q.y > 5 &&
                    q.x < kField - 5 && q.y < kField - 5)
                    far.push_back(q);
            }
        }
        return far;
    };
    const std::vector<float2> shown = farPoints(3);
    QVERIFY(!shown.empty());
    const QImage image = frame();
    int red = 0;
    for (const float2& q : shown)
        red += isGlowOf(pixelAt(image, q, kField), QColor(255, 0, 0)) ? 1 : 0;
    QVERIFY2(red * 2 > int(shown.size()), qPrintable(QString::number(red)));

    // The attracting node's lines are traced but not drawn.
    const std::vector<float2> hidden = farPoints(4);
    QVERIFY(!hidden.empty());
    for (const float2& q : hidden)
    {
        bool nearShown = false;
        for (const float2& s : shown)
            nearShown = nearShown || std::hypot(q.x - s.x, q.y - s.y) < 8.0f;
        if (!nearShown)
            QVERIFY(!isGlowOf(pixelAt(image, q, kField), QColor(255, 0, 0)));
    }
}

void TestCritpntDisplay::detectionRunsOncePerDataAndStep()
{
    view->on_view_toggleSaddlePnt(2);
    const int saddles = view->criticalpntDetect->saddlePntCnt;
    QVERIFY(saddles > 0);
    // A changed field is not detected again until new data or a new step asks for it.
    for (float2& v : view->dataMani->orgnvectField2d)
        v = makeFloat2(1.0f, 0.0f);
    view->on_view_toggleCenter(2);
    QCOMPARE(view->criticalpntDetect->saddlePntCnt, saddles);
    view->bFirstComputeCritpnt = true;
    view->on_view_toggleAttrFocus(2);
    QCOMPARE(view->criticalpntDetect->saddlePntCnt, 0);
    QVERIFY(!view->bFirstComputeCritpnt);
}

void TestCritpntDisplay::pausedStreamletAnimationHoldsItsFrame()
{
    // Only the critical point layer animates: no field-line type is on.
    view->bStrml = false;
    view->bPnt = false;
    view->on_view_toggleCriticalPntStrml(2);
    view->on_view_toggleRepNode(2);
    view->bFlowlet = true;
    // Every grab renders one frame of its own.
    const int start = view->animStep;
    view->grabFramebuffer();
    view->grabFramebuffer();
    QCOMPARE(view->animStep, start + 2);
    view->viewCntAnimSingleFlowline = 2;
    const QImage held = view->grabFramebuffer();
    QCOMPARE(view->grabFramebuffer(), held);
    QCOMPARE(view->animStep, start + 2);
    view->viewCntAnimSingleFlowline = 3;
    QVERIFY(view->grabFramebuffer() != held);
    QCOMPARE(view->animStep, start + 3);
}

void TestCritpntDisplay::confirmedTimeStepRerunsTheDetection()
{
    // Step 1 is step 0 moved 30 units to the right.
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
    QVERIFY(!view->bFirstComputeCritpnt);
    QVERIFY(count(5) > 0);
    QVERIFY(std::abs(point(5, 0).x - first.x - 30.0f) < 3.0f);
    // The templates are traced again, around the moved points.
    QCOMPARE(view->tmpLines->streamlineNum, seedsBefore(6));
    const flowlineInfo& line = view->tmpLines->streamlineIndxArray[seedsBefore(5)];
    const float2 seed = view->tmpLines->pointArray[line.seedIdx];
    QVERIFY(std::hypot(seed.x - point(5, 0).x, seed.y - point(5, 0).y) < 30.0f);
    QVERIFY(line.numPoint > 0);
}

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    QApplication app(argc, argv);
    TestCritpntDisplay test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_critpntDisplay.moc"
