#include "seedingFixture.h"

#include <QSignalSpy>

class TestFlowViewSeeding : public QObject
{
    Q_OBJECT

private slots:
    void leftClickTracesOneStreamlineFromTheClick();
    void rightClickMovesSeedsButTracesNothing();
    void rakeTracesOneLinePerSeedAfterTwoClicks();
    void rakeEndFollowsTheMouseUntilCompleted();
    void unsteadyKindsFillTheirRecords();
    void comparisonsFillBothKinds();
    void clearingEmptiesBothStores();
    void oversizedSeedCountsStayInsideTheStores();
    void zeroStreakIntervalReleasesNothing();
};

void TestFlowViewSeeding::leftClickTracesOneStreamlineFromTheClick()
{
    UniformField field(int3{100, 100, 5}, 1.0f);
    FlowView view(nullptr, 600, 600);
    QSignalSpy restarts(&view, &FlowView::reset_cntAnimStrmStrkPathl_msg);

    click(view, 50, 50);
    QVERIFY(near(view.seedPos, 50, 50));
    QCOMPARE(view.tmpLines->streamlineNum, 1);
    QCOMPARE(restarts.count(), 1);
    const flowlineInfo rec = view.tmpLines->streamlineIndxArray[0];
    const float2* p = view.tmpLines->pointArray.data();
    QCOMPARE(rec.startIdx, 0);
    QVERIFY(near(p[rec.seedIdx], 50, 50));
    QVERIFY(p[rec.startIdx].x < 2.0f && p[rec.startIdx + rec.numPoint].x > 97.0f);
    for (int i = rec.startIdx + 1; i <= rec.startIdx + rec.numPoint; ++i)
        QVERIFY(p[i].x > p[i - 1].x && p[i].y == 50.0f);
    QCOMPARE(view.tmpLines->currNumpnt, rec.numPoint + 1);

    // A second click replaces the line instead of adding one.
    click(view, 30, 20);
    QCOMPARE(view.tmpLines->streamlineNum, 1);
    QCOMPARE(view.tmpLines->streamlineIndxArray[0].startIdx, 0);
    QVERIFY(near(p[view.tmpLines->streamlineIndxArray[0].seedIdx], 30, 20));
}

void TestFlowViewSeeding::rightClickMovesSeedsButTracesNothing()
{
    UniformField field(int3{100, 100, 5}, 1.0f);
    FlowView view(nullptr, 600, 600);
    view.trace->rakeSeeds[0] = float2{7, 7};
    view.bAttachSavedImg = true;

    click(view, 30, 20, Qt::RightButton);
    QCOMPARE(view.tmpLines->streamlineNum, 0);
    QCOMPARE(view.tmpLines->currNumpnt, 0);
    QVERIFY(near(view.seedPos, 30, 20));
    QVERIFY(near(view.pressedCoor, 180, 120));
    QVERIFY(near(view.trace->rakeSeeds[0], 7, 7));
    for (int i = 1; i < view.trace->numRakeSeeds; ++i)
        QVERIFY(near(view.trace->rakeSeeds[i], 30, 20));
    QVERIFY(!view.bAttachSavedImg);
}

void TestFlowViewSeeding::rakeTracesOneLinePerSeedAfterTwoClicks()
{
    UniformField field(int3{100, 100, 5}, 1.0f);
    FlowView view(nullptr, 600, 600);
    view.on_view_toggleRakeSeeding(2);
    QCOMPARE(view.trace->numRakeSeeds, 10);

    click(view, 20, 20);
    QVERIFY(!view.bFirstSeed);
    QCOMPARE(view.tmpLines->streamlineNum, 0);
    QVERIFY(near(view.trace->rakeSeeds[0], 20, 20));

    click(view, 20, 74);
    QVERIFY(view.bFirstSeed);
    QCOMPARE(view.tmpLines->streamlineNum, 10);
    const float2* p = view.tmpLines->pointArray.data();
    for (int k = 0; k < 10; ++k)
    {
        const flowlineInfo& rec = view.tmpLines->streamlineIndxArray[k];
        QVERIFY2(near(p[rec.seedIdx], 20, 20 + 6.0f * k), qPrintable(QString::number(k)));
        QVERIFY(rec.numPoint > 100);
    }

    // The rake's pathlines instead of its streamlines.
    view.on_view_togglePthline(2);
    click(view, 20, 20);
    click(view, 20, 74);
    QCOMPARE(view.tmpLines->pathlineNum, 10);
    QCOMPARE(view.tmpLines->streamlineNum, 0);
}

void TestFlowViewSeeding::rakeEndFollowsTheMouseUntilCompleted()
{
    UniformField field(int3{100, 100, 5}, 1.0f);
    FlowView view(nullptr, 600, 600);
    view.on_view_toggleRakeSeeding(2);
    view.trace->rakeSeeds[9] = float2{1, 1};
    moveTo(view, 40, 40);
    QVERIFY(near(view.trace->rakeSeeds[9], 1, 1)); // no rake started yet

    click(view, 20, 20);
    moveTo(view, 20, 74);
    QVERIFY(near(view.trace->rakeSeeds[9], 20, 74));
    QVERIFY(near(view.trace->rakeSeeds[3], 20, 38));

    // Point seeding in between leaves the rake open: its end keeps following.
    view.on_view_toggleSglPntSeeding(2);
    QVERIFY(!view.bFirstSeed);
    moveTo(view, 80, 20);
    QVERIFY(near(view.trace->rakeSeeds[9], 80, 20));
    QVERIFY(near(view.trace->rakeSeeds[0], 20, 20));
}

void TestFlowViewSeeding::unsteadyKindsFillTheirRecords()
{
    UniformField field(int3{100, 100, 5}, 1.0f);
    FlowView view(nullptr, 600, 600);
    const float2* p = view.tmpLines->pointArray.data();

    view.on_view_toggleStrkline(2);
    click(view, 10, 50);
    QCOMPARE(view.tmpLines->streaklineNum, 1);
    const flowlineInfo strk = view.tmpLines->streaklineIndxArray[0];
    QCOMPARE(strk.numPoint, 6); // released at 0, 1, ... 5
    QCOMPARE(strk.seedIdx, 5);
    QCOMPARE(view.tmpLines->currNumpnt, 6);
    QVERIFY(near(p[5], 10, 50));
    for (int i = 0; i < 5; ++i)
        QVERIFY(near(p[i], 15.0f - i, 50, 0.15f));

    view.on_view_togglePthline(2);
    click(view, 10, 50);
    QCOMPARE(view.tmpLines->pathlineNum, 1);
    const flowlineInfo pthl = view.tmpLines->pathlineIndxArray[0];
    QCOMPARE(pthl.seedIdx, pthl.startIdx);
    QVERIFY(std::abs(pthl.numPoint - 50) <= 1);
    QVERIFY(near(p[pthl.startIdx + pthl.numPoint], 15, 50, 0.15f));

    view.on_view_toggleRakeSeeding(2);
    view.on_view_toggleTimeline(2);
    click(view, 20, 20);
    click(view, 20, 74);
    QCOMPARE(view.tmpLines->timelineNum, 5);
    for (int j = 0; j < 5; ++j)
    {
        const timelineInfo& rec = view.tmpLines->timelineIndxArray[j];
        QCOMPARE(rec.numSeed, 10);
        QVERIFY(near(p[rec.startIdx], 20.0f + j, 20, 0.15f));
        QVERIFY(near(p[rec.startIdx + 9], 20.0f + j, 74, 0.15f));
    }
}

void TestFlowViewSeeding::comparisonsFillBothKinds()
{
    UniformField field(int3{100, 100, 5}, 1.0f);
    FlowView view(nullptr, 600, 600);
    const float2* p = view.tmpLines->pointArray.data();

    view.on_view_toggleStrmStrkComp(2);
    click(view, 10, 50);
    QCOMPARE(view.tmpLines->streaklineNum, 1);
    QCOMPARE(view.tmpLines->streamlineNum, 1);
    // The streamline follows the streakline's points.
    QCOMPARE(view.tmpLines->streamlineIndxArray[0].startIdx, 6);
    QVERIFY(near(p[view.tmpLines->streamlineIndxArray[0].seedIdx], 10, 50));

    view.on_view_togglePthStrkComp(2);
    click(view, 10, 50);
    QCOMPARE(view.tmpLines->streaklineNum, 1);
    QCOMPARE(view.tmpLines->pathlineNum, 5); // one released at every time step
    QCOMPARE(view.tmpLines->pathlineIndxArray[0].startIdx, 6);
    QVERIFY(view.tmpLines->pathlineIndxArray[4].numPoint <
            view.tmpLines->pathlineIndxArray[0].numPoint);

    view.on_view_togglePthTimeComp(2);
    QVERIFY(view.bRake);
    click(view, 20, 20);
    QCOMPARE(view.tmpLines->pathlineNum, 0); // the first click only starts the rake
    click(view, 20, 74);
    QCOMPARE(view.tmpLines->pathlineNum, 10);
    QCOMPARE(view.tmpLines->timelineNum, 5);
    QCOMPARE(view.tmpLines->streamlineNum, 0);
}

void TestFlowViewSeeding::clearingEmptiesBothStores()
{
    UniformField field(int3{100, 100, 5}, 1.0f);
    FlowView view(nullptr, 600, 600);
    click(view, 50, 50);
    view.tmpLines->commitTmplines(view.commitedLines.get());
    QCOMPARE(view.commitedLines->streamlineNum, 1);
    view.animStep = 7;
    view.prevTimeid = 3;
    view.uiTimelDispTimeId = 2;
    view.trace->uiTimelDispTimeId = 2;

    view.on_view_clrAllData();
    QCOMPARE(view.tmpLines->streamlineNum, 0);
    QCOMPARE(view.tmpLines->currNumpnt, 0);
    QCOMPARE(view.commitedLines->streamlineNum, 0);
    QCOMPARE(view.tmpLines->streamlineIndxArray[0].numPoint, 0);
    QVERIFY(near(view.seedPos, -10000, -10000));
    QCOMPARE(view.animStep, 0);
    QCOMPARE(view.prevTimeid, -1);
    QCOMPARE(view.trace->uiTimelDispTimeId, 0);
    QCOMPARE(view.uiTimelDispTimeId, 2);
    QVERIFY(view.bPnt && view.bStrml);
}

void TestFlowViewSeeding::oversizedSeedCountsStayInsideTheStores()
{
    UniformField field(int3{100, 100, 2}, 1.0f);
    FlowView view(nullptr, 600, 600);
    view.on_view_modifRakeNumSeed(1000000);
    view.on_view_toggleRakeSeeding(2);
    click(view, 10, 10);
    moveTo(view, 10, 90);
    click(view, 10, 90);
    QVERIFY(view.trace->numRakeSeeds <= Tracing::kMaxRakeSeeds);
    QVERIFY(view.tmpLines->streamlineNum <= TracedLines::kMaxLines);

    view.on_view_modifRanNumSeed("5000000");
    view.on_view_modifUniNumSeedX("100000");
    view.on_view_modifUniNumSeedY("100000"); // the product overflows an int
    QVERIFY(view.trace->numRakeSeeds <= Tracing::kMaxRakeSeeds);
    QVERIFY(view.tmpLines->streamlineNum <= TracedLines::kMaxLines);
    view.on_view_modifUniNumSeedX("-4");
    QCOMPARE(view.trace->numRakeSeeds, 0);
    click(view, 30, 30);
}

void TestFlowViewSeeding::zeroStreakIntervalReleasesNothing()
{
    UniformField field(int3{100, 100, 5}, 1.0f);
    FlowView view(nullptr, 600, 600);
    view.on_view_toggleStrkline(2);
    view.on_view_changeStrklSliceIntv(0.0f);
    click(view, 10, 50);
    QCOMPARE(view.tmpLines->streaklineIndxArray[0].numPoint, 0);
    QCOMPARE(view.tmpLines->streaklineIndxArray[0].seedIdx, -1);
    QCOMPARE(view.tmpLines->currNumpnt, 0);

    view.on_view_changeStrklSliceIntv(2.0f);
    click(view, 10, 50);
    QCOMPARE(view.tmpLines->streaklineIndxArray[0].numPoint, 4); // released at 0, 2, 4, 6
}

QTEST_MAIN(TestFlowViewSeeding)
#include "test_flowViewSeeding.moc"
