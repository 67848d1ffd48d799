#include "seedingFixture.h"

#include <QSignalSpy>

// A 600 x 600 view over a uniform field (1, 0) of 100 x 100 samples and 5 time steps.
class TestFlowViewSeeding : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void leftClickTracesOneStreamlineFromTheClick();
    void rightClickMovesSeedsButTracesNothing();
    void rakeFollowsTheMouseAndTracesOneLinePerSeed();
    void fieldLineKindsFillTheirRecords();
    void unsteadyRecordsFollowTheFlow();
    void clearingEmptiesBothStores();
    void oversizedSeedCountsStayInsideTheStores();
    void zeroStreakIntervalReleasesNothing();

private:
    std::unique_ptr<WorkingField> field;
    std::unique_ptr<FlowView> view;
    const float2* points() const { return view->tmpLines->pointArray.data(); }
};

void TestFlowViewSeeding::init()
{
    field = std::make_unique<WorkingField>(int3{100, 100, 5});
    view = std::make_unique<FlowView>(nullptr, 600, 600);
}

void TestFlowViewSeeding::cleanup()
{
    view.reset();
    field.reset();
}

void TestFlowViewSeeding::leftClickTracesOneStreamlineFromTheClick()
{
    QSignalSpy restarts(view.get(), &FlowView::reset_cntAnimStrmStrkPathl_msg);
    click(*view, 50, 50);
    QVERIFY(near(view->seedPos, 50, 50));
    QCOMPARE(view->tmpLines->streamlineNum, 1);
    QCOMPARE(restarts.count(), 1);
    const flowlineInfo rec = view->tmpLines->streamlineIndxArray[0];
    const float2* p = points();
    QVERIFY(rec.startIdx == 0 && near(p[rec.seedIdx], 50, 50));
    QVERIFY(p[0].x < 2.0f && p[rec.numPoint].x > 97.0f);
    for (int i = 1; i <= rec.numPoint; ++i)
        QVERIFY(p[i].x > p[i - 1].x && p[i].y == 50.0f);
    QCOMPARE(view->tmpLines->currNumpnt, rec.numPoint + 1);
    click(*view, 30, 20); // replaces the line instead of adding one
    QCOMPARE(view->tmpLines->streamlineNum, 1);
    QVERIFY(near(p[view->tmpLines->streamlineIndxArray[0].seedIdx], 30, 20));
}

void TestFlowViewSeeding::rightClickMovesSeedsButTracesNothing()
{
    view->trace->rakeSeeds[0] = float2{7, 7};
    view->bAttachSavedImg = true;
    click(*view, 30, 20, Qt::RightButton);
    QVERIFY(view->tmpLines->streamlineNum == 0 && view->tmpLines->currNumpnt == 0);
    QVERIFY(near(view->seedPos, 30, 20) && near(view->pressedCoor, 180, 120));
    QVERIFY(near(view->trace->rakeSeeds[0], 7, 7));
    for (int i = 1; i < view->trace->numRakeSeeds; ++i)
        QVERIFY(near(view->trace->rakeSeeds[i], 30, 20));
    QVERIFY(!view->bAttachSavedImg);
}

void TestFlowViewSeeding::rakeFollowsTheMouseAndTracesOneLinePerSeed()
{
    view->on_view_toggleRakeSeeding(2);
    view->trace->rakeSeeds[9] = float2{1, 1};
    moveTo(*view, 40, 40);
    QVERIFY(near(view->trace->rakeSeeds[9], 1, 1)); // no rake started yet
    click(*view, 20, 20);
    QVERIFY(!view->bFirstSeed && view->tmpLines->streamlineNum == 0);
    moveTo(*view, 20, 74);
    QVERIFY(near(view->trace->rakeSeeds[9], 20, 74) && near(view->trace->rakeSeeds[3], 20, 38));
    click(*view, 20, 74);
    QVERIFY(view->bFirstSeed);
    QCOMPARE(view->tmpLines->streamlineNum, 10);
    for (int k = 0; k < 10; ++k)
    {
        const flowlineInfo& rec = view->tmpLines->streamlineIndxArray[k];
        QVERIFY(near(points()[rec.seedIdx], 20, 20 + 6.0f * k) && rec.numPoint > 100);
    }
    // Point seeding in between leaves a started rake open: its end keeps following.
    click(*view, 20, 20);
    view->on_view_toggleSglPntSeeding(2);
    moveTo(*view, 80, 20);
    QVERIFY(near(view->trace->rakeSeeds[9], 80, 20));
}

void TestFlowViewSeeding::fieldLineKindsFillTheirRecords()
{
    struct Case
    {
        const char* name;
        void (FlowView::*toggle)(int);
        bool bRake;
        int strm, pthl, strk, timel;
    };
    // Comparisons trace both kinds; pathlines beside a streakline start at every time step.
    const Case cases[] = {
        {"streakline", &FlowView::on_view_toggleStrkline, false, 0, 0, 1, 0},
        {"pathline", &FlowView::on_view_togglePthline, false, 0, 1, 0, 0},
        {"rake pathlines", &FlowView::on_view_togglePthline, true, 0, 10, 0, 0},
        {"timeline", &FlowView::on_view_toggleTimeline, true, 0, 0, 0, 5},
        {"streamline-streakline", &FlowView::on_view_toggleStrmStrkComp, false, 1, 0, 1, 0},
        {"pathline-streakline", &FlowView::on_view_togglePthStrkComp, false, 0, 5, 1, 0},
        {"pathline-timeline", &FlowView::on_view_togglePthTimeComp, true, 0, 10, 0, 5},
    };
    for (const Case& c : cases)
    {
        view->on_view_toggleRakeSeeding(c.bRake ? 2 : 0);
        view->on_view_toggleSglPntSeeding(c.bRake ? 0 : 2);
        (view.get()->*c.toggle)(2);
        click(*view, 20, 20);
        if (c.bRake)
            click(*view, 20, 74);
        const TracedLines& t = *view->tmpLines;
        QVERIFY2(t.streamlineNum == c.strm && t.pathlineNum == c.pthl &&
                     t.streaklineNum == c.strk && t.timelineNum == c.timel,
                 c.name);
    }
}

void TestFlowViewSeeding::unsteadyRecordsFollowTheFlow()
{
    const float2* p = points();
    view->on_view_toggleStrkline(2);
    click(*view, 10, 50);
    const flowlineInfo strk = view->tmpLines->streaklineIndxArray[0];
    QVERIFY(strk.numPoint == 6 && strk.seedIdx == 5); // released at 0, 1, ... 5
    for (int i = 0; i <= 5; ++i)
        QVERIFY(near(p[i], 15.0f - i, 50, 0.15f));

    view->on_view_togglePthline(2);
    click(*view, 10, 50);
    const flowlineInfo pthl = view->tmpLines->pathlineIndxArray[0];
    QVERIFY(pthl.seedIdx == pthl.startIdx && std::abs(pthl.numPoint - 50) <= 1);
    QVERIFY(near(p[pthl.startIdx + pthl.numPoint], 15, 50, 0.15f));

    view->on_view_toggleRakeSeeding(2);
    view->on_view_toggleTimeline(2);
    click(*view, 20, 20);
    click(*view, 20, 74);
    for (int j = 0; j < 5; ++j)
    {
        const timelineInfo& rec = view->tmpLines->timelineIndxArray[j];
        QCOMPARE(rec.numSeed, 10);
        QVERIFY(near(p[rec.startIdx], 20.0f + j, 20, 0.15f));
        QVERIFY(near(p[rec.startIdx + 9], 20.0f + j, 74, 0.15f));
    }
}

void TestFlowViewSeeding::clearingEmptiesBothStores()
{
    click(*view, 50, 50);
    view->tmpLines->commitTmplines(view->commitedLines.get());
    QCOMPARE(view->commitedLines->streamlineNum, 1);
    view->animStep = 7;
    view->prevTimeid = 3;
    view->trace->uiTimelDispTimeId = 2;
    view->on_view_clrAllData();
    QVERIFY(view->tmpLines->streamlineNum == 0 && view->tmpLines->currNumpnt == 0);
    QCOMPARE(view->tmpLines->streamlineIndxArray[0].numPoint, 0);
    QCOMPARE(view->commitedLines->streamlineNum, 0);
    QVERIFY(near(view->seedPos, -10000, -10000));
    QVERIFY(view->animStep == 0 && view->prevTimeid == -1 && view->trace->uiTimelDispTimeId == 0);
}

void TestFlowViewSeeding::oversizedSeedCountsStayInsideTheStores()
{
    view->on_view_modifRakeNumSeed(1000000);
    view->on_view_toggleRakeSeeding(2);
    click(*view, 10, 10);
    click(*view, 10, 90);
    QVERIFY(view->trace->numRakeSeeds <= Tracing::kMaxRakeSeeds);
    QVERIFY(view->tmpLines->streamlineNum <= TracedLines::kMaxLines);
    view->on_view_modifRanNumSeed("5000000");
    view->on_view_modifUniNumSeedX("100000");
    view->on_view_modifUniNumSeedY("100000"); // the product overflows an int
    QVERIFY(view->trace->numRakeSeeds <= Tracing::kMaxRakeSeeds);
    QVERIFY(view->tmpLines->streamlineNum <= TracedLines::kMaxLines);
    view->on_view_modifUniNumSeedX("-4");
    QCOMPARE(view->trace->numRakeSeeds, 0);
    click(*view, 30, 30);
}

void TestFlowViewSeeding::zeroStreakIntervalReleasesNothing()
{
    view->on_view_toggleStrkline(2);
    for (const float2& c : {float2{0, 0}, float2{2, 4}}) // interval, particles (at 0, 2, 4, 6)
    {
        view->on_view_changeStrklSliceIntv(c.x);
        click(*view, 10, 50);
        QCOMPARE(view->tmpLines->streaklineIndxArray[0].numPoint, int(c.y));
        QCOMPARE(view->tmpLines->currNumpnt, int(c.y));
    }
}

QTEST_MAIN(TestFlowViewSeeding)
#include "test_flowViewSeeding.moc"
