#include "seedingFixture.h"

#include "lic/LIC.h"

#include <QSignalSpy>
#include <initializer_list>

namespace
{

QList<int> codes(const QSignalSpy& spy)
{
    QList<int> out;
    for (const QList<QVariant>& args : spy)
        out << args.at(0).toInt();
    return out;
}

QString bits(std::initializer_list<bool> flags)
{
    QString out;
    for (const bool b : flags)
        out += b ? '1' : '0';
    return out;
}

// The seven exclusive field-line flags and the four seeding strategies, in a fixed order.
QString kinds(const FlowView& v)
{
    return bits({v.bStrml, v.bPthl, v.bStrkl, v.bTimel, v.bPthTimel, v.bStrmStrkl, v.bPthlStrkl});
}

QString strategies(const FlowView& v)
{
    return bits({v.bPnt, v.bRake, v.bUnif, v.bRand});
}

void kindRow(const char* name, const char* slot, int state, const char* flags, QList<int> anim,
             QList<int> lic)
{
    QTest::newRow(name) << QByteArray(slot) << state << QString(flags) << anim << lic;
}

} // namespace

class TestFlowViewSlots : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void leftClickTracesOneStreamlineFromTheClick();
    void rightClickMovesSeedsButTracesNothing();
    void rakeFollowsTheMouseAndTracesOneLinePerSeed();
    void fieldLineKindsFillTheirRecords();
    void unsteadyRecordsFollowTheFlow();
    void clearingEmptiesBothStores();
    void oversizedSeedCountsStayInsideTheStores();
    void zeroStreakIntervalReleasesNothing();
    void fieldLineKindsAreExclusiveAndAnnounced_data();
    void fieldLineKindsAreExclusiveAndAnnounced();
    void seedingStrategiesAreExclusive();
    void seedCountsAreParsed();
    void timeStepSlidersStayOnLoadedSteps();
    void confirmingATimeStepNamesItsLicImage_data();
    void confirmingATimeStepNamesItsLicImage();
    void dataPathsReachViewAndLoader();
    void refusedDataSetKeepsThePreviousField();
    void loadedDataSetOfAnotherSizeIsTraced();

private:
    // A 600 x 600 view over a uniform field (1, 0).
    FlowView& open(int3 size)
    {
        field = std::make_unique<WorkingField>(size);
        view = std::make_unique<FlowView>(nullptr, 600, 600);
        return *view;
    }

    std::unique_ptr<WorkingField> field;
    std::unique_ptr<FlowView> view;
};

void TestFlowViewSlots::cleanup()
{
    view.reset();
    field.reset();
}

void TestFlowViewSlots::leftClickTracesOneStreamlineFromTheClick()
{
    FlowView& v = open(int3{100, 100, 5});
    click(v, 50, 50);
    QVERIFY(near(v.seedPos, 50, 50));
    QCOMPARE(v.tmpLines->streamlineNum, 1);
    const flowlineInfo rec = v.tmpLines->streamlineIndxArray[0];
    const float2* p = v.tmpLines->pointArray.data();
    QVERIFY(rec.startIdx == 0 && near(p[rec.seedIdx], 50, 50));
    QVERIFY(p[0].x < 2.0f && p[rec.numPoint].x > 97.0f);
    for (int i = 1; i <= rec.numPoint; ++i)
        QVERIFY(p[i].x > p[i - 1].x && p[i].y == 50.0f);
    click(v, 30, 20); // replaces the line instead of adding one
    QCOMPARE(v.tmpLines->streamlineNum, 1);
    QVERIFY(near(p[v.tmpLines->streamlineIndxArray[0].seedIdx], 30, 20));
}

void TestFlowViewSlots::rightClickMovesSeedsButTracesNothing()
{
    FlowView& v = open(int3{100, 100, 5});
    v.trace->rakeSeeds[0] = float2{7, 7};
    v.bAttachSavedImg = true;
    click(v, 30, 20, Qt::RightButton);
    QVERIFY(v.tmpLines->streamlineNum == 0 && v.tmpLines->currNumpnt == 0);
    QVERIFY(near(v.seedPos, 30, 20) && near(v.pressedCoor, 180, 120));
    QVERIFY(near(v.trace->rakeSeeds[0], 7, 7));
    for (int i = 1; i < v.trace->numRakeSeeds; ++i)
        QVERIFY(near(v.trace->rakeSeeds[i], 30, 20));
    QVERIFY(!v.bAttachSavedImg);
}

void TestFlowViewSlots::rakeFollowsTheMouseAndTracesOneLinePerSeed()
{
    FlowView& v = open(int3{100, 100, 5});
    v.on_view_toggleRakeSeeding(2);
    v.trace->rakeSeeds[9] = float2{1, 1};
    moveTo(v, 40, 40);
    QVERIFY(near(v.trace->rakeSeeds[9], 1, 1)); // no rake started yet
    click(v, 20, 20);
    QVERIFY(!v.bFirstSeed && v.tmpLines->streamlineNum == 0);
    moveTo(v, 20, 74);
    QVERIFY(near(v.trace->rakeSeeds[9], 20, 74) && near(v.trace->rakeSeeds[3], 20, 38));
    click(v, 20, 74);
    QVERIFY(v.bFirstSeed);
    QCOMPARE(v.tmpLines->streamlineNum, 10);
    for (int k = 0; k < 10; ++k)
    {
        const flowlineInfo& rec = v.tmpLines->streamlineIndxArray[k];
        QVERIFY(near(v.tmpLines->pointArray.data()[rec.seedIdx], 20, 20 + 6.0f * k) &&
                rec.numPoint > 100);
    }
}

void TestFlowViewSlots::fieldLineKindsFillTheirRecords()
{
    FlowView& v = open(int3{100, 100, 5});
    struct Case
    {
        const char* name;
        void (FlowView::*toggle)(int);
        bool bRake;
        int strm, pthl, strk, timel;
    };
    // Comparisons trace both kinds; pathlines beside a streakline start at every time step;
    // timelines keep the rake's particle tracks as its pathlines.
    const Case cases[] = {
        {"streakline", &FlowView::on_view_toggleStrkline, false, 0, 0, 1, 0},
        {"pathline", &FlowView::on_view_togglePthline, false, 0, 1, 0, 0},
        {"rake pathlines", &FlowView::on_view_togglePthline, true, 0, 10, 0, 0},
        {"timeline", &FlowView::on_view_toggleTimeline, true, 0, 10, 0, 5},
        {"streamline-streakline", &FlowView::on_view_toggleStrmStrkComp, false, 1, 0, 1, 0},
        {"pathline-streakline", &FlowView::on_view_togglePthStrkComp, false, 0, 5, 1, 0},
        {"pathline-timeline", &FlowView::on_view_togglePthTimeComp, true, 0, 10, 0, 5},
    };
    for (const Case& c : cases)
    {
        v.on_view_toggleRakeSeeding(c.bRake ? 2 : 0);
        v.on_view_toggleSglPntSeeding(c.bRake ? 0 : 2);
        (&v->*c.toggle)(2);
        click(v, 20, 20);
        if (c.bRake)
            click(v, 20, 74);
        const TracedLines& t = *v.tmpLines;
        QVERIFY2(t.streamlineNum == c.strm && t.pathlineNum == c.pthl &&
                     t.streaklineNum == c.strk && t.timelineNum == c.timel,
                 c.name);
    }
}

void TestFlowViewSlots::unsteadyRecordsFollowTheFlow()
{
    FlowView& v = open(int3{100, 100, 5});
    const float2* p = v.tmpLines->pointArray.data();
    v.on_view_toggleStrkline(2);
    click(v, 10, 50);
    const flowlineInfo strk = v.tmpLines->streaklineIndxArray[0];
    QVERIFY(strk.numPoint == 6 && strk.seedIdx == 5); // released at 0, 1, ... 5
    for (int i = 0; i <= 5; ++i)
        QVERIFY(near(p[i], 15.0f - i, 50, 0.15f));

    v.on_view_togglePthline(2);
    click(v, 10, 50);
    const flowlineInfo pthl = v.tmpLines->pathlineIndxArray[0];
    QVERIFY(pthl.seedIdx == pthl.startIdx && std::abs(pthl.numPoint - 50) <= 1);
    QVERIFY(near(p[pthl.startIdx + pthl.numPoint], 15, 50, 0.15f));
}

void TestFlowViewSlots::clearingEmptiesBothStores()
{
    FlowView& v = open(int3{100, 100, 5});
    click(v, 50, 50);
    v.tmpLines->commitTmplines(v.commitedLines.get());
    QCOMPARE(v.commitedLines->streamlineNum, 1);
    v.animStep = 7;
    v.prevTimeid = 3;
    v.trace->uiTimelDispTimeId = 2;
    v.on_view_clrAllData();
    QVERIFY(v.tmpLines->streamlineNum == 0 && v.tmpLines->currNumpnt == 0);
    QCOMPARE(v.commitedLines->streamlineNum, 0);
    QVERIFY(near(v.seedPos, -10000, -10000));
    QVERIFY(v.animStep == 0 && v.prevTimeid == -1 && v.trace->uiTimelDispTimeId == 0);
}

void TestFlowViewSlots::oversizedSeedCountsStayInsideTheStores()
{
    FlowView& v = open(int3{100, 100, 5});
    v.on_view_modifRakeNumSeed(1000000);
    v.on_view_toggleRakeSeeding(2);
    click(v, 10, 10);
    click(v, 10, 90);
    QVERIFY(v.trace->numRakeSeeds <= Tracing::kMaxRakeSeeds);
    v.on_view_modifRanNumSeed("5000000");
    QVERIFY(v.trace->numRakeSeeds <= Tracing::kMaxRakeSeeds);
    v.on_view_modifUniNumSeedX("100000");
    v.on_view_modifUniNumSeedY("100000"); // the product overflows an int
    QVERIFY(v.trace->numRakeSeeds <= Tracing::kMaxRakeSeeds);
    QVERIFY(v.tmpLines->streamlineNum <= TracedLines::kMaxLines);
    v.on_view_modifUniNumSeedX("-4");
    QCOMPARE(v.trace->numRakeSeeds, 0);
    click(v, 30, 30);
}

void TestFlowViewSlots::zeroStreakIntervalReleasesNothing()
{
    FlowView& v = open(int3{100, 100, 5});
    v.on_view_toggleStrkline(2);
    for (const float2& c : {float2{0, 0}, float2{2, 4}}) // interval, particles (at 0, 2, 4, 6)
    {
        v.on_view_changeStrklSliceIntv(c.x);
        click(v, 10, 50);
        QCOMPARE(v.tmpLines->streaklineIndxArray[0].numPoint, int(c.y));
        QCOMPARE(v.tmpLines->currNumpnt, int(c.y));
    }
}

void TestFlowViewSlots::fieldLineKindsAreExclusiveAndAnnounced_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QList<int>>("animation");
    QTest::addColumn<QList<int>>("lic");
    kindRow("streamline on", "on_view_toggleStrmline", 2, "1000000", {4}, {4});
    kindRow("pathline on", "on_view_togglePthline", 2, "0100000", {4}, {4});
    kindRow("streakline on", "on_view_toggleStrkline", 2, "0010000", {8}, {8});
    kindRow("timeline on", "on_view_toggleTimeline", 1, "0001000", {7}, {4});
    kindRow("pathline-timeline on", "on_view_togglePthTimeComp", 2, "0000100", {7}, {4});
    kindRow("streamline-streakline on", "on_view_toggleStrmStrkComp", 2, "0000010", {4}, {4});
    kindRow("pathline-streakline on", "on_view_togglePthStrkComp", 2, "0000001", {4}, {4});
    // Switching off touches only the switched flag.
    kindRow("streamline off", "on_view_toggleStrmline", 0, "0111111", {}, {});
    kindRow("streakline off", "on_view_toggleStrkline", 0, "1101111", {4}, {4});
    kindRow("timeline off", "on_view_toggleTimeline", 0, "1110111", {4}, {});
}

void TestFlowViewSlots::fieldLineKindsAreExclusiveAndAnnounced()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, state);
    FlowView& v = open(int3{50, 50, 2});
    v.bStrml = v.bPthl = v.bStrkl = v.bTimel = v.bPthTimel = v.bStrmStrkl = v.bPthlStrkl = true;
    click(v, 25, 25);
    QSignalSpy animSpy(&v, &FlowView::view_enable_animation_msg);
    QSignalSpy licSpy(&v, &FlowView::view_enable_lic_msg);
    QVERIFY(QMetaObject::invokeMethod(&v, slot.constData(), Q_ARG(int, state)));
    QTEST(kinds(v), "flags");
    QTEST(codes(animSpy), "animation");
    QTEST(codes(licSpy), "lic");
    QCOMPARE(v.tmpLines->currNumpnt, 0); // every switch forgets the traced lines
}

void TestFlowViewSlots::seedingStrategiesAreExclusive()
{
    struct Case
    {
        void (FlowView::*toggle)(int);
        const char* flags; // point, rake, grid, random
        int numSeeds, numLines;
    };
    const Case cases[] = {{&FlowView::on_view_toggleRakeSeeding, "0100", 10, 0},
                          {&FlowView::on_view_toggleUnifSeeding, "0010", 16, 16},
                          {&FlowView::on_view_toggleRandomSeeding, "0001", 30, 30},
                          {&FlowView::on_view_toggleSglPntSeeding, "1000", 30, 0}};
    FlowView& v = open(int3{50, 50, 2});
    for (const Case& c : cases)
    {
        (v.*c.toggle)(2);
        QCOMPARE(strategies(v), QString(c.flags));
        QVERIFY(v.trace->numRakeSeeds == c.numSeeds && v.tmpLines->streamlineNum == c.numLines);
        for (int i = 0; c.flags[3] == '1' && i < c.numSeeds; ++i) // random seeds inside the field
        {
            const float2 s = v.trace->rakeSeeds[i];
            QVERIFY(s.x >= 0 && s.x <= 50 && s.y >= 0 && s.y <= 50);
        }
    }
}

void TestFlowViewSlots::seedCountsAreParsed()
{
    FlowView& v = open(int3{100, 100, 2});
    for (const auto& [text, count] : {std::pair{"abc", 0}, {" 7 ", 7}, {"12abc", 0}})
    {
        v.on_view_modifRanNumSeed(text);
        QVERIFY(v.bRand && v.uiRandSeedNum == count && v.tmpLines->streamlineNum == count);
    }
    v.on_view_modifUniNumSeedX("3");
    QVERIFY(v.bUnif && !v.bRand && v.uiUnifSeedXNum == 3);
    QCOMPARE(v.tmpLines->streamlineNum, 12); // 3 columns, 4 rows
    QVERIFY(near(v.trace->rakeSeeds[0], 25, 20) && near(v.trace->rakeSeeds[11], 75, 80));
    v.on_view_modifUniNumSeedY("x");
    QVERIFY(v.uiUnifSeedYNum == 0 && v.trace->numRakeSeeds == 0);
}

void TestFlowViewSlots::timeStepSlidersStayOnLoadedSteps()
{
    FlowView& v = open(int3{20, 20, 6});
    v.on_view_changeUnstdySlice(1);
    QCOMPARE(v.dataMani->uiUnstdySlicId, 0);
    for (const int2& c : {int2{4, 3}, int2{49, 5}, int2{0, 0}}) // slider, time step
    {
        v.on_view_changeUnstdyInterTimeSel(c.x);
        QVERIFY(v.uiTimelDispTimeId == c.y && v.trace->uiTimelDispTimeId == c.y);
    }
}

void TestFlowViewSlots::confirmingATimeStepNamesItsLicImage_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("directory kept") << "a/LIC0.ppm"
                                    << "a/LIC12.ppm";
    QTest::newRow("last slash counts") << "./d/e/LIC7.ppm"
                                       << "./d/e/LIC12.ppm";
    QTest::newRow("no directory") << "LIC0.ppm"
                                  << "/LIC12.ppm";
}

void TestFlowViewSlots::confirmingATimeStepNamesItsLicImage()
{
    QFETCH(QString, before);
    FlowView& v = open(int3{24, 24, 16});
    v.licImage->LICBkImgPth = before;
    v.bFirstComputeCritpnt = true;
    click(v, 10, 10);
    v.uiTimelDispTimeId = 12;
    v.on_view_confirmTimeId();
    QTEST(v.licImage->LICBkImgPth, "after");
    QVERIFY(v.uiTimeId == 12 && !v.bFirstComputeCritpnt && v.tmpLines->streamlineNum == 0);
}

void TestFlowViewSlots::dataPathsReachViewAndLoader()
{
    FlowView& v = open(int3{20, 20, 2});
    v.on_updateStdyDataDir("s/a.txt", "s/a.dat");
    QVERIFY(v.stdyHdrPth == "s/a.txt" && v.dataMani->stdyDatPth == "s/a.dat");
    v.on_updateUnstdyDataDir("u/header.txt", "u/Uf/Uf03.dat", "u/Vf/Vf03.dat");
    QVERIFY(v.unstdyHdrPth == "u/header.txt" && v.dataMani->unstdyDatPth == "u/Uf/Uf03.dat");
    // A picked V file: the loader derives V from U, so the U file is kept.
    v.on_updateUnstdyDataDir("u/header.txt", "u/Vf/Vf07.dat", "u/Uf/Uf07.dat");
    QCOMPARE(v.unstdyDatPth, QString("u/Uf/Uf07.dat"));
    // A header chosen before any data file leaves the data path as it was.
    v.on_updateUnstdyDataDir("w/header.txt", "", "");
    QVERIFY(v.dataMani->unstdyHdrPth == "w/header.txt" &&
            v.dataMani->unstdyDatPth == "u/Uf/Uf07.dat");
}

void TestFlowViewSlots::refusedDataSetKeepsThePreviousField()
{
    FlowView& v = open(int3{20, 20, 2});
    const auto fieldKept = [&v]
    {
        return v.hasField() && v.dataMani->flowFieldSize.x == 20 &&
               v.dataMani->orgnvectField2dSlice[1][3][4].x == 1.0f && v.trace->winWidth == 20;
    };
    v.on_updateUnstdyDataDir("missing/header.txt", "missing/Uf/Uf01.dat", "");
    v.on_view_confirmUnstdySliceID();
    QVERIFY(fieldKept());
    // Present but refused: a header without sizes.
    field->files.text("bad/header.txt", "no sizes here\n");
    field->files.binary("bad/Uf/Uf01.dat", std::vector<float>(16, 2.0f));
    field->files.binary("bad/Vf/Vf01.dat", std::vector<float>(16, 2.0f));
    v.on_updateUnstdyDataDir(field->files.path("bad/header.txt"),
                             field->files.path("bad/Uf/Uf01.dat"), "");
    v.on_view_confirmUnstdySliceID();
    QVERIFY(fieldKept());
    v.on_view_pbAttach(); // no saved image to attach
    QVERIFY(!v.bAttachSavedImg);
    click(v, 10, 10);
    QCOMPARE(v.tmpLines->streamlineNum, 1);
}

void TestFlowViewSlots::loadedDataSetOfAnotherSizeIsTraced()
{
    FlowView& v = open(int3{20, 20, 2});
    // An unsteady set of 30 x 10 samples, 3 time steps, one depth slice: u = 1, v = 0.
    field->files.text("u/header.txt", "2 1 30 10 1 3\n");
    for (const char* step : {"01", "02", "03"})
    {
        field->files.binary(std::string("u/Uf/Uf") + step + ".dat", std::vector<float>(300, 1.0f));
        field->files.binary(std::string("u/Vf/Vf") + step + ".dat", std::vector<float>(300, 0.0f));
    }
    v.on_updateUnstdyDataDir(field->files.path("u/header.txt"), field->files.path("u/Uf/Uf01.dat"),
                             "");
    v.on_view_changeUnstdySlice(1);
    v.on_view_confirmUnstdySliceID();
    QVERIFY(v.dataMani->flowFieldSize.x == 30 && v.dataMani->flowFieldSize.z == 3);
    QVERIFY(v.trace->winWidth == 30 && v.trace->strkStpTime == 3.0f);
    QVERIFY(v.translateZ == 15 && v.halfviewH == 5.0f);
    v.on_view_toggleStrkline(2);
    click(v, 5, 5);
    QCOMPARE(v.tmpLines->streaklineIndxArray[0].numPoint, 4); // released at 0 .. 3
    QVERIFY(near(v.tmpLines->pointArray[0], 8, 5, 0.15f));
}

QTEST_MAIN(TestFlowViewSlots)
#include "test_flowViewSlots.moc"
