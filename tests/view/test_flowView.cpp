// The view's camera and navigation, mouse seeding and the slots the panel drives, read from
// the view's state and its line stores.
#include "viewFixture.h"

#include <QSignalSpy>
#include <QWheelEvent>

namespace
{
void wheel(QWidget& widget, int delta)
{
    const QPointF centre(widget.width() / 2.0, widget.height() / 2.0);
    QWheelEvent event(centre, widget.mapToGlobal(centre), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

QString bits(std::initializer_list<bool> flags)
{
    QString out;
    for (const bool b : flags)
        out += b ? '1' : '0';
    return out;
}

// The seven exclusive field-line flags.
QString kinds(const FlowView& v)
{
    return bits({v.bStrml, v.bPthl, v.bStrkl, v.bTimel, v.bPthTimel, v.bStrmStrkl, v.bPthlStrkl});
}

QList<int> codes(const QSignalSpy& spy)
{
    QList<int> out;
    for (const QList<QVariant>& args : spy)
        out << args.at(0).toInt();
    return out;
}

QList<float> xy(const float2& p)
{
    return {p.x, p.y};
}

QList<int> camera(const FlowView& v)
{
    return {v.translateX, v.translateY, v.translateZ};
}

std::string floats(int n, float value)
{
    const std::vector<float> v(n, value);
    return std::string(reinterpret_cast<const char*>(v.data()), n * sizeof(float));
}
} // namespace

class TestFlowView : public QObject
{
    Q_OBJECT

    std::unique_ptr<ViewWorkdir> workdir;
    std::unique_ptr<FlowView> view;

    // A 600 x 600 view over a uniform field (1, 0); 100 x 100 x 5 unless given.
    FlowView& open(int3 size = {100, 100, 5}, int pixels = 600)
    {
        view.reset();
        workdir.reset(); // restores the working directory before the next one is made
        workdir = std::make_unique<ViewWorkdir>(size);
        view = std::make_unique<FlowView>(nullptr, pixels, pixels);
        view->resize(pixels, pixels);
        return *view;
    }
    const TracedLines& lines() const { return *view->tmpLines; }

private slots:
    void cleanup() { view.reset(), workdir.reset(); }

    // A reset centres on x for both axes; the wheel zooms (-7 falls back to 1, exactly 0 is
    // kept, 8.5 truncates), R resets, a middle drag pans by the pixels moved; the window maps to
    // the field for the current camera.
    void navigation()
    {
        FlowView& v = open({200, 100, 1}, 100);
        QCOMPARE(camera(v), QList<int>({100, 100, 100}));
        for (const int3& c : {int3{50, 120, 62}, {5, -120, 1}, {12, -120, 0}, {10, -15, 8}})
        {
            v.translateZ = c.x;
            wheel(v, c.y);
            QCOMPARE(v.translateZ, c.z);
        }
        v.translateX = 7;
        QTest::keyClick(&v, Qt::Key_A);
        QCOMPARE(v.translateX, 7); // other keys do nothing
        QTest::keyClick(&v, Qt::Key_R);
        QCOMPARE(camera(v), QList<int>({100, 50, 100}));
        QTest::mousePress(&v, Qt::MiddleButton, {}, QPoint(50, 50));
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ClosedHandCursor);
        QCOMPARE(v.translateX, 100); // nothing moves while the button is held
        QTest::mouseRelease(&v, Qt::MiddleButton, {}, QPoint(60, 45));
        QCOMPARE(camera(v), QList<int>({80, 40, 100}));
        QVERIFY(!QGuiApplication::overrideCursor());
        float2 mouse{0, 100};
        QCOMPARE(xy(v.mapMouseCoortoFlowCoor(mouse)), QList<float>({-20, 140}));
        QCOMPARE(xy(mouse), QList<float>({0, 100})); // the argument is left alone
    }

    // A header whose sample count wraps around in 64 bits, and no samples.
    void refusedFieldIsHarmless()
    {
        const int3 huge{1 << 30, 1 << 30, 16};
        workdir = std::make_unique<ViewWorkdir>();
        workdir->write("data/hurricane_z_8.dat",
                       std::string(reinterpret_cast<const char*>(&huge), sizeof huge));
        view = std::make_unique<FlowView>(nullptr, 100, 100);
        FlowView& v = *view;
        v.resize(100, 100);
        QVERIFY(!v.hasField());
        QCOMPARE(v.dataMani->flowFieldSize.x, 0);
        QTest::mouseClick(&v, Qt::LeftButton, {}, QPoint(30, 30));
        QTest::mousePress(&v, Qt::MiddleButton, {}, QPoint(30, 30));
        QVERIFY(!QGuiApplication::overrideCursor());
        QTest::mouseRelease(&v, Qt::MiddleButton, {}, QPoint(60, 60));
        QTest::keyClick(&v, Qt::Key_R);
        wheel(v, 120);
        QCOMPARE(camera(v), QList<int>({0, 0, 12}));
        QCOMPARE(v.tmpLines->streamlineNum, 0);
    }

    // A left click traces one streamline through the clicked seed, replacing the last one; a
    // right click only moves the seeds, but the first.
    void clicksTraceFromTheClickedSeed()
    {
        FlowView& v = open();
        click(v, 50, 50);
        QCOMPARE(xy(v.seedPos), QList<float>({50, 50}));
        QCOMPARE(lines().streamlineNum, 1);
        const flowlineInfo rec = lines().streamlineIndxArray[0];
        const float2* p = lines().pointArray.data();
        QCOMPARE(xy(p[rec.seedIdx]), QList<float>({50, 50}));
        QVERIFY(p[rec.startIdx].x < 2.0f);
        QVERIFY(p[rec.startIdx + rec.numPoint].x > 97.0f);
        click(v, 30, 20);
        QCOMPARE(lines().streamlineNum, 1);
        compareNear(p[lines().streamlineIndxArray[0].seedIdx], 30, 20);

        v.on_view_clrAllData();
        v.trace->rakeSeeds[0] = float2{7, 7};
        v.bAttachSavedImg = true;
        click(v, 30, 20, Qt::RightButton);
        QCOMPARE(lines().currNumpnt, 0);
        QCOMPARE(xy(v.pressedCoor), QList<float>({180, 120}));
        QCOMPARE(xy(v.trace->rakeSeeds[0]), QList<float>({7, 7}));
        compareNear(v.trace->rakeSeeds[v.trace->numRakeSeeds - 1], 30, 20);
        QVERIFY(!v.bAttachSavedImg);
    }

    void rakeFollowsTheMouseAndTracesOneLinePerSeed()
    {
        FlowView& v = open();
        v.on_view_toggleRakeSeeding(2);
        v.trace->rakeSeeds[9] = float2{1, 1};
        moveTo(v, 40, 40);
        QCOMPARE(xy(v.trace->rakeSeeds[9]), QList<float>({1, 1})); // no rake started yet
        click(v, 20, 20);
        QVERIFY(!v.bFirstSeed);
        QCOMPARE(lines().streamlineNum, 0);
        moveTo(v, 20, 74);
        compareNear(v.trace->rakeSeeds[3], 20, 38);
        click(v, 20, 74);
        QVERIFY(v.bFirstSeed);
        QCOMPARE(lines().streamlineNum, 10);
        for (int k = 0; k < 10; ++k)
        {
            const flowlineInfo& rec = lines().streamlineIndxArray[k];
            compareNear(lines().pointArray[rec.seedIdx], 20, 20 + 6.0f * k);
            QVERIFY(rec.numPoint > 100);
        }
    }

    // Comparisons trace both kinds; pathlines beside a streakline start at every time step;
    // timelines keep the rake's particle tracks as its pathlines.
    void fieldLineKindsFillTheirRecords()
    {
        struct Case
        {
            void (FlowView::*toggle)(int);
            bool bRake;
            QList<int> counts; // streamlines, pathlines, streaklines, timelines
        };
        const Case cases[] = {
            {&FlowView::on_view_toggleStrkline, false, {0, 0, 1, 0}},
            {&FlowView::on_view_togglePthline, false, {0, 1, 0, 0}},
            {&FlowView::on_view_togglePthline, true, {0, 10, 0, 0}},
            {&FlowView::on_view_toggleTimeline, true, {0, 10, 0, 5}},
            {&FlowView::on_view_toggleStrmStrkComp, false, {1, 0, 1, 0}},
            {&FlowView::on_view_togglePthStrkComp, false, {0, 5, 1, 0}},
            {&FlowView::on_view_togglePthTimeComp, true, {0, 10, 0, 5}},
        };
        FlowView& v = open();
        for (const Case& c : cases)
        {
            v.on_view_toggleRakeSeeding(c.bRake ? 2 : 0);
            v.on_view_toggleSglPntSeeding(c.bRake ? 0 : 2);
            (v.*c.toggle)(2);
            click(v, 20, 20);
            if (c.bRake)
                click(v, 20, 74);
            const TracedLines& t = lines();
            QCOMPARE(QList<int>({t.streamlineNum, t.pathlineNum, t.streaklineNum, t.timelineNum}),
                     c.counts);
        }
    }

    // Streak particles are released at every step (none for an interval of 0) and drift with
    // the flow; a pathline ends where its particle is at the last step.
    void unsteadyRecordsFollowTheFlow()
    {
        FlowView& v = open();
        const float2* p = lines().pointArray.data();
        v.on_view_toggleStrkline(2);
        for (const float2& c : {float2{1, 6}, float2{0, 0}, float2{2, 4}}) // interval, particles
        {
            v.on_view_changeStrklSliceIntv(c.x);
            click(v, 10, 50);
            QCOMPARE(lines().streaklineIndxArray[0].numPoint, int(c.y));
            QCOMPARE(lines().currNumpnt, int(c.y));
        }
        v.on_view_changeStrklSliceIntv(1);
        click(v, 10, 50);
        QCOMPARE(lines().streaklineIndxArray[0].seedIdx, 5);
        for (int i = 0; i <= 5; ++i)
            compareNear(p[i], 15.0f - i, 50, 0.15f);

        v.on_view_togglePthline(2);
        click(v, 10, 50);
        const flowlineInfo pthl = lines().pathlineIndxArray[0];
        QCOMPARE(pthl.seedIdx, pthl.startIdx);
        compareNear(p[pthl.startIdx + pthl.numPoint], 15, 50, 0.15f);
    }

    void clearingEmptiesBothStores()
    {
        FlowView& v = open();
        click(v, 50, 50);
        v.tmpLines->commitTmplines(v.commitedLines.get());
        QCOMPARE(v.commitedLines->streamlineNum, 1);
        v.animStep = 7;
        v.prevTimeid = 3;
        v.trace->uiTimelDispTimeId = 2;
        v.on_view_clrAllData();
        QCOMPARE(
            QList<int>({lines().streamlineNum, lines().currNumpnt, v.commitedLines->streamlineNum,
                        v.animStep, v.prevTimeid, v.trace->uiTimelDispTimeId}),
            QList<int>({0, 0, 0, 0, -1, 0}));
        QCOMPARE(xy(v.seedPos), QList<float>({-10000, -10000}));
    }

    // Counts are parsed whole or not at all; counts over the stores' capacity are cut.
    void seedCounts()
    {
        FlowView& v = open();
        for (const auto& [text, count] : {std::pair{"abc", 0}, {" 7 ", 7}, {"12abc", 0}})
        {
            v.on_view_modifRanNumSeed(text);
            QCOMPARE(lines().streamlineNum, count);
        }
        v.on_view_modifUniNumSeedX("3");
        QCOMPARE(bits({v.bUnif, v.bRand}), QString("10"));
        QCOMPARE(lines().streamlineNum, 12); // 3 columns, 4 rows
        QCOMPARE(xy(v.trace->rakeSeeds[11]), QList<float>({75, 80}));
        v.on_view_modifUniNumSeedY("x");
        QCOMPARE(v.trace->numRakeSeeds, 0);

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
        QVERIFY(lines().streamlineNum <= TracedLines::kMaxLines);
    }

    // Each switch forgets the traced lines; switching on clears the other kinds, switching off
    // touches only the switched flag. The animation and LIC codes sent to the panel.
    void fieldLineKindsAreExclusiveAndAnnounced()
    {
        struct Case
        {
            const char* slot;
            int state;
            const char* flags;
            QList<int> animation, lic;
        };
        const Case cases[] = {{"on_view_toggleStrmline", 2, "1000000", {4}, {4}},
                              {"on_view_togglePthline", 2, "0100000", {4}, {4}},
                              {"on_view_toggleStrkline", 2, "0010000", {8}, {8}},
                              {"on_view_toggleTimeline", 1, "0001000", {7}, {4}},
                              {"on_view_togglePthTimeComp", 2, "0000100", {7}, {4}},
                              {"on_view_toggleStrmStrkComp", 2, "0000010", {4}, {4}},
                              {"on_view_togglePthStrkComp", 2, "0000001", {4}, {4}},
                              {"on_view_toggleStrmline", 0, "0111111", {}, {}},
                              {"on_view_toggleStrkline", 0, "1101111", {4}, {4}},
                              {"on_view_toggleTimeline", 0, "1110111", {4}, {}}};
        FlowView& v = open({50, 50, 2});
        for (const Case& c : cases)
        {
            v.on_view_toggleSglPntSeeding(2);
            v.bStrml = v.bPthl = v.bStrkl = v.bTimel = true;
            v.bPthTimel = v.bStrmStrkl = v.bPthlStrkl = true;
            click(v, 25, 25);
            QSignalSpy animSpy(&v, &FlowView::view_enable_animation_msg);
            QSignalSpy licSpy(&v, &FlowView::view_enable_lic_msg);
            QVERIFY(QMetaObject::invokeMethod(&v, c.slot, Q_ARG(int, c.state)));
            QCOMPARE(kinds(v), QString(c.flags));
            QCOMPARE(codes(animSpy), c.animation);
            QCOMPARE(codes(licSpy), c.lic);
            QCOMPARE(lines().currNumpnt, 0);
        }
    }

    void seedingStrategiesAreExclusive()
    {
        struct Case
        {
            void (FlowView::*toggle)(int);
            const char* flags; // point, rake, grid, random
            QList<int> seedsAndLines;
        };
        const Case cases[] = {{&FlowView::on_view_toggleRakeSeeding, "0100", {10, 0}},
                              {&FlowView::on_view_toggleUnifSeeding, "0010", {16, 16}},
                              {&FlowView::on_view_toggleRandomSeeding, "0001", {30, 30}},
                              {&FlowView::on_view_toggleSglPntSeeding, "1000", {30, 0}}};
        FlowView& v = open({50, 50, 2});
        for (const Case& c : cases)
        {
            (v.*c.toggle)(2);
            QCOMPARE(bits({v.bPnt, v.bRake, v.bUnif, v.bRand}), QString(c.flags));
            QCOMPARE(QList<int>({v.trace->numRakeSeeds, lines().streamlineNum}), c.seedsAndLines);
        }
        for (int i = 0; i < 30; ++i) // the random seeds lie inside the field
            compareNear(v.trace->rakeSeeds[i], 25, 25, 25);
    }

    // The time step slider stays on loaded steps; a confirmed step names its LIC image after
    // the directory up to the last slash.
    void timeSteps()
    {
        FlowView& v = open({24, 24, 16});
        v.on_view_changeUnstdySlice(1);
        QCOMPARE(v.dataMani->uiUnstdySlicId, 0);
        for (const int2& c : {int2{4, 3}, int2{49, 15}, int2{0, 0}}) // slider, time step
        {
            v.on_view_changeUnstdyInterTimeSel(c.x);
            QCOMPARE(QList<int>({v.uiTimelDispTimeId, v.trace->uiTimelDispTimeId}),
                     QList<int>({c.y, c.y}));
        }
        for (const auto& [before, after] : {std::pair{"a/LIC0.ppm", "a/LIC12.ppm"},
                                            {"./d/e/LIC7.ppm", "./d/e/LIC12.ppm"},
                                            {"LIC0.ppm", "/LIC12.ppm"}})
        {
            v.licImage->LICBkImgPth = before;
            v.bFirstComputeCritpnt = true;
            click(v, 10, 10);
            v.uiTimelDispTimeId = 12;
            v.on_view_confirmTimeId();
            QCOMPARE(v.licImage->LICBkImgPth, QString(after));
            QCOMPARE(v.uiTimeId, 12);
            QVERIFY(!v.bFirstComputeCritpnt);
            QCOMPARE(lines().streamlineNum, 0);
        }
    }

    // Missing, or present but refused (a header without sizes): the field stays. A set of
    // another size is loaded and traced: 30 x 10 samples, 3 time steps, u = 1, v = 0.
    void dataSets()
    {
        FlowView& v = open({20, 20, 2});
        workdir->write("bad/header.txt", "no sizes here\n");
        workdir->write("bad/Uf/Uf01.dat", floats(16, 2.0f));
        workdir->write("bad/Vf/Vf01.dat", floats(16, 2.0f));
        workdir->write("u/header.txt", "2 1 30 10 1 3\n");
        for (const QString step : {"01", "02", "03"})
        {
            workdir->write("u/Uf/Uf" + step + ".dat", floats(300, 1.0f));
            workdir->write("u/Vf/Vf" + step + ".dat", floats(300, 0.0f));
        }
        for (const QString set : {"missing", "bad", "u"})
        {
            // Relative paths: the V file is named by replacing every "U" of the path.
            v.on_updateUnstdyDataDir(set + "/header.txt", set + "/Uf/Uf01.dat", "");
            v.on_view_changeUnstdySlice(1);
            v.on_view_confirmUnstdySliceID();
            QVERIFY(v.hasField());
            QCOMPARE(v.dataMani->orgnvectField2dSlice[1][3][4].x, 1.0f);
        }
        QCOMPARE(QList<int>({v.dataMani->flowFieldSize.x, v.dataMani->flowFieldSize.z,
                             v.trace->winWidth, v.translateZ}),
                 QList<int>({30, 3, 30, 15}));
        QCOMPARE(v.trace->strkStpTime, 3.0f);
        const QString dataFile = v.dataMani->unstdyDatPth;
        v.on_updateUnstdyDataDir("w/header.txt", "", ""); // a header alone keeps the data file
        QCOMPARE(v.dataMani->unstdyDatPth, dataFile);
        QCOMPARE(v.halfviewH, 5.0f);
        v.on_view_toggleStrkline(2);
        click(v, 5, 5);
        QCOMPARE(lines().streaklineIndxArray[0].numPoint, 4); // released at 0 .. 3
        compareNear(lines().pointArray[0], 8, 5, 0.15f);
    }
};
QTEST_MAIN(TestFlowView)
#include "test_flowView.moc"
