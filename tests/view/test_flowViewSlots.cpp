#include "seedingFixture.h"

#include "lic/LIC.h"

#include <QSignalSpy>

namespace
{

QList<int> codes(const QSignalSpy& spy)
{
    QList<int> out;
    for (const QList<QVariant>& args : spy)
        out << args.at(0).toInt();
    return out;
}

// The seven exclusive field-line flags, in a fixed order.
QList<bool> kinds(const FlowView& v)
{
    return {v.bStrml, v.bPthl, v.bStrkl, v.bTimel, v.bPthTimel, v.bStrmStrkl, v.bPthlStrkl};
}

} // namespace

class TestFlowViewSlots : public QObject
{
    Q_OBJECT

private slots:
    void fieldLineKindsAreExclusiveAndAnnounced_data();
    void fieldLineKindsAreExclusiveAndAnnounced();
    void seedingStrategiesAreExclusive();
    void seedCountsAreParsed();
    void tracingParameters();
    void timeStepSlidersStayOnLoadedSteps();
    void confirmingATimeStepNamesItsLicImage_data();
    void confirmingATimeStepNamesItsLicImage();
    void dataPathsReachViewAndLoader();
    void refusedDataSetKeepsThePreviousField();
    void loadedDataSetOfAnotherSizeIsTraced();
    void confirmingADataSetSetsItsLineSizes();
    void missingAttachedImageAttachesNothing();
};

void TestFlowViewSlots::fieldLineKindsAreExclusiveAndAnnounced_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("state");
    QTest::addColumn<QList<bool>>("flags");
    QTest::addColumn<QList<int>>("animation");
    QTest::addColumn<QList<int>>("lic");
    const bool T = true;
    const bool F = false;
    QTest::newRow("streamline on")
        << QByteArray("on_view_toggleStrmline") << 2 << QList<bool>{T, F, F, F, F, F, F}
        << QList<int>{4} << QList<int>{4};
    QTest::newRow("pathline on") << QByteArray("on_view_togglePthline") << 2
                                 << QList<bool>{F, T, F, F, F, F, F} << QList<int>{4}
                                 << QList<int>{4};
    QTest::newRow("streakline on")
        << QByteArray("on_view_toggleStrkline") << 2 << QList<bool>{F, F, T, F, F, F, F}
        << QList<int>{8} << QList<int>{8};
    QTest::newRow("timeline on") << QByteArray("on_view_toggleTimeline") << 1
                                 << QList<bool>{F, F, F, T, F, F, F} << QList<int>{7}
                                 << QList<int>{4};
    QTest::newRow("pathline-timeline on")
        << QByteArray("on_view_togglePthTimeComp") << 2 << QList<bool>{F, F, F, F, T, F, F}
        << QList<int>{7} << QList<int>{4};
    QTest::newRow("streamline-streakline on")
        << QByteArray("on_view_toggleStrmStrkComp") << 2 << QList<bool>{F, F, F, F, F, T, F}
        << QList<int>{4} << QList<int>{4};
    QTest::newRow("pathline-streakline on")
        << QByteArray("on_view_togglePthStrkComp") << 2 << QList<bool>{F, F, F, F, F, F, T}
        << QList<int>{4} << QList<int>{4};
    // Switching off touches only the switched flag.
    QTest::newRow("streamline off")
        << QByteArray("on_view_toggleStrmline") << 0 << QList<bool>{F, T, T, T, T, T, T}
        << QList<int>{} << QList<int>{};
    QTest::newRow("streakline off")
        << QByteArray("on_view_toggleStrkline") << 0 << QList<bool>{T, T, F, T, T, T, T}
        << QList<int>{4} << QList<int>{4};
    QTest::newRow("timeline off") << QByteArray("on_view_toggleTimeline") << 0
                                  << QList<bool>{T, T, T, F, T, T, T} << QList<int>{4}
                                  << QList<int>{};
}

void TestFlowViewSlots::fieldLineKindsAreExclusiveAndAnnounced()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, state);
    QFETCH(QList<bool>, flags);
    QFETCH(QList<int>, animation);
    QFETCH(QList<int>, lic);
    UniformField field(int3{50, 50, 2}, 1.0f);
    FlowView view(nullptr, 600, 600);
    view.bStrml = view.bPthl = view.bStrkl = view.bTimel = true;
    view.bPthTimel = view.bStrmStrkl = view.bPthlStrkl = true;
    click(view, 25, 25);
    QSignalSpy animSpy(&view, &FlowView::view_enable_animation_msg);
    QSignalSpy licSpy(&view, &FlowView::view_enable_lic_msg);

    QVERIFY(QMetaObject::invokeMethod(&view, slot.constData(), Q_ARG(int, state)));
    QCOMPARE(kinds(view), flags);
    QCOMPARE(codes(animSpy), animation);
    QCOMPARE(codes(licSpy), lic);
    QCOMPARE(view.tmpLines->currNumpnt, 0); // every switch forgets the traced lines
    QCOMPARE(view.tmpLines->streamlineNum, 0);
}

void TestFlowViewSlots::seedingStrategiesAreExclusive()
{
    UniformField field(int3{50, 50, 2}, 1.0f);
    FlowView view(nullptr, 600, 600);
    view.on_view_toggleRakeSeeding(2);
    QVERIFY(view.bRake && !view.bPnt && !view.bUnif && !view.bRand);
    QVERIFY(view.trace->bMulti);
    QCOMPARE(view.trace->numRakeSeeds, 10);

    view.on_view_toggleUnifSeeding(2);
    QVERIFY(view.bUnif && !view.bRake && !view.bPnt && !view.bRand);
    QCOMPARE(view.trace->numRakeSeeds, 16);
    QCOMPARE(view.tmpLines->streamlineNum, 16);
    // Turning the rake off while the grid is on keeps several lines seeded.
    view.on_view_toggleRakeSeeding(0);
    QVERIFY(view.trace->bMulti && view.bUnif);

    view.on_view_toggleRandomSeeding(2);
    QVERIFY(view.bRand && !view.bUnif && !view.bRake && !view.bPnt);
    QCOMPARE(view.tmpLines->streamlineNum, 30);
    for (int i = 0; i < 30; ++i)
    {
        const float2 s = view.trace->rakeSeeds[i];
        QVERIFY(s.x >= 0 && s.x <= 50 && s.y >= 0 && s.y <= 50 && s.x == std::floor(s.x));
    }
    // A click re-traces nothing for random seeds, and their lines stay drawn by count.
    click(view, 25, 25);
    QCOMPARE(view.tmpLines->streamlineNum, 0);
    QCOMPARE(view.trace->numRakeSeeds, 30);

    view.on_view_toggleSglPntSeeding(2);
    QVERIFY(view.bPnt && !view.bRand && !view.bUnif && !view.bRake);
    view.on_view_toggleSglPntSeeding(0);
    QVERIFY(!view.bPnt);
}

void TestFlowViewSlots::seedCountsAreParsed()
{
    UniformField field(int3{100, 100, 2}, 1.0f);
    FlowView view(nullptr, 600, 600);
    view.on_view_modifRanNumSeed("abc");
    QCOMPARE(view.uiRandSeedNum, 0);
    QVERIFY(view.bRand);
    QCOMPARE(view.trace->numRakeSeeds, 0);
    QCOMPARE(view.tmpLines->streamlineNum, 0);
    view.on_view_modifRanNumSeed(" 7 ");
    QCOMPARE(view.uiRandSeedNum, 7);
    QCOMPARE(view.tmpLines->streamlineNum, 7);
    view.on_view_modifRanNumSeed("12abc");
    QCOMPARE(view.uiRandSeedNum, 0);

    view.on_view_modifUniNumSeedX("3");
    QCOMPARE(view.uiUnifSeedXNum, 3);
    QVERIFY(view.bUnif && !view.bRand);
    QCOMPARE(view.tmpLines->streamlineNum, 12); // 3 columns, 4 rows
    QVERIFY(near(view.trace->rakeSeeds[0], 25, 20));
    QVERIFY(near(view.trace->rakeSeeds[11], 75, 80));
    view.on_view_modifUniNumSeedY("x");
    QCOMPARE(view.uiUnifSeedYNum, 0);
    QCOMPARE(view.trace->numRakeSeeds, 0);
    QCOMPARE(view.tmpLines->streamlineNum, 0);

    view.on_view_modifRakeNumSeed(5);
    QCOMPARE(view.uiRakeSeedNum, 5);
    view.on_view_toggleRakeSeeding(2);
    QCOMPARE(view.trace->numRakeSeeds, 5);
}

void TestFlowViewSlots::tracingParameters()
{
    UniformField field(int3{100, 100, 2}, 1.0f);
    FlowView view(nullptr, 600, 600);
    click(view, 50, 50);
    const int pointsAtStepOne = view.tmpLines->streamlineIndxArray[0].numPoint;
    view.seedPos = float2{50, 50};
    view.on_view_changeTracingStpIntv(3);
    QCOMPARE(view.trace->uiIntvTracStp, 3);
    QCOMPARE(view.tmpLines->streamlineNum, 1); // re-traced from the last seed
    QVERIFY(view.tmpLines->streamlineIndxArray[0].numPoint <= pointsAtStepOne);

    view.on_view_toggleDistCtrl(2);
    view.on_view_changeDistCtrlSli(25);
    QVERIFY(view.trace->bDistctrl);
    QCOMPARE(view.trace->uiDistCtrl, 2.5f);
    view.on_view_toggleDistCtrl(0);
    QVERIFY(!view.trace->bDistctrl);
    QCOMPARE(view.trace->uiDistCtrl, 0.0f);

    view.on_view_changeStrklSliceIntv(2.5f);
    QCOMPARE(view.trace->uiStrkParticleTimeIntv, 2.5f);
    QCOMPARE(view.tmpLines->streamlineNum, 0);
}

void TestFlowViewSlots::timeStepSlidersStayOnLoadedSteps()
{
    UniformField field(int3{20, 20, 6}, 1.0f);
    FlowView view(nullptr, 600, 600);
    view.on_view_changeUnstdySlice(1);
    QCOMPARE(view.dataMani->uiUnstdySlicId, 0);
    QVERIFY(view.bFirstComputeCritpnt);

    view.on_view_changeUnstdyInterTimeSel(4);
    QCOMPARE(view.uiTimelDispTimeId, 3);
    QCOMPARE(view.trace->uiTimelDispTimeId, 3);
    view.on_view_changeUnstdyInterTimeSel(49);
    QCOMPARE(view.uiTimelDispTimeId, 5);
    view.on_view_changeUnstdyInterTimeSel(0);
    QCOMPARE(view.trace->uiTimelDispTimeId, 0);
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
    QFETCH(QString, after);
    UniformField field(int3{24, 24, 16}, 1.0f);
    FlowView view(nullptr, 600, 600);
    view.licImage->LICBkImgPth = before;
    view.on_view_changeUnstdyInterTimeSel(13);
    view.bFirstComputeCritpnt = true;
    click(view, 10, 10);
    view.uiTimelDispTimeId = 12;

    view.on_view_confirmTimeId();
    QCOMPARE(view.licImage->LICBkImgPth, after);
    QCOMPARE(view.uiTimeId, 12);
    QVERIFY(!view.bFirstComputeCritpnt);
    QCOMPARE(view.tmpLines->streamlineNum, 0);
}

void TestFlowViewSlots::dataPathsReachViewAndLoader()
{
    UniformField field(int3{20, 20, 2}, 1.0f);
    FlowView view(nullptr, 600, 600);
    view.on_updateStdyDataDir("s/a.txt", "s/a.dat");
    QCOMPARE(view.stdyHdrPth, QString("s/a.txt"));
    QCOMPARE(view.dataMani->stdyDatPth, QString("s/a.dat"));

    view.on_updateUnstdyDataDir("u/header.txt", "u/Uf/Uf03.dat", "u/Vf/Vf03.dat");
    QCOMPARE(view.unstdyHdrPth, QString("u/header.txt"));
    QCOMPARE(view.unstdyDatPth, QString("u/Uf/Uf03.dat"));
    QCOMPARE(view.dataMani->unstdyDatPth, QString("u/Uf/Uf03.dat"));
    // A picked V file: the loader derives V from U, so the U file is kept.
    view.on_updateUnstdyDataDir("u/header.txt", "u/Vf/Vf07.dat", "u/Uf/Uf07.dat");
    QCOMPARE(view.unstdyDatPth, QString("u/Uf/Uf07.dat"));
    // A header chosen before any data file leaves the data path as it was.
    view.on_updateUnstdyDataDir("w/header.txt", "", "");
    QCOMPARE(view.dataMani->unstdyHdrPth, QString("w/header.txt"));
    QCOMPARE(view.dataMani->unstdyDatPth, QString("u/Uf/Uf07.dat"));
}

void TestFlowViewSlots::refusedDataSetKeepsThePreviousField()
{
    UniformField field(int3{20, 20, 2}, 1.0f);
    FlowView view(nullptr, 600, 600);
    const auto fieldKept = [&view]
    {
        return view.hasField() && view.dataMani->flowFieldSize.x == 20 &&
               view.dataMani->orgnvectField2dSlice[1][3][4].x == 1.0f && view.trace->winWidth == 20;
    };
    view.on_updateUnstdyDataDir("missing/header.txt", "missing/Uf/Uf01.dat", "");
    view.on_view_confirmUnstdySliceID();
    QVERIFY(fieldKept());

    // Present but refused: a header without sizes.
    field.files.text("bad/header.txt", "no sizes here\n");
    field.files.binary("bad/Uf/Uf01.dat", std::vector<float>(16, 2.0f));
    field.files.binary("bad/Vf/Vf01.dat", std::vector<float>(16, 2.0f));
    view.on_updateUnstdyDataDir(field.files.path("bad/header.txt"),
                                field.files.path("bad/Uf/Uf01.dat"), "");
    view.on_view_confirmUnstdySliceID();
    QVERIFY(fieldKept());
    click(view, 10, 10);
    QCOMPARE(view.tmpLines->streamlineNum, 1);
}

void TestFlowViewSlots::loadedDataSetOfAnotherSizeIsTraced()
{
    UniformField field(int3{20, 20, 2}, 1.0f);
    // An unsteady set of 30 x 10 samples, 3 time steps, one depth slice: u = 1, v = 0.
    field.files.text("u/header.txt", "2 1 30 10 1 3\n");
    for (const char* step : {"01", "02", "03"})
    {
        field.files.binary(std::string("u/Uf/Uf") + step + ".dat", std::vector<float>(300, 1.0f));
        field.files.binary(std::string("u/Vf/Vf") + step + ".dat", std::vector<float>(300, 0.0f));
    }
    FlowView view(nullptr, 600, 600);
    view.on_updateUnstdyDataDir(field.files.path("u/header.txt"), field.files.path("u/Uf/Uf01.dat"),
                                "");
    view.on_view_changeUnstdySlice(1);
    view.on_view_confirmUnstdySliceID();
    QCOMPARE(view.dataMani->flowFieldSize.x, 30);
    QCOMPARE(view.dataMani->flowFieldSize.z, 3);
    QCOMPARE(view.trace->winWidth, 30);
    QCOMPARE(view.trace->strkStpTime, 3.0f);
    QCOMPARE(view.translateZ, 15);
    QCOMPARE(view.halfviewH, 5.0f);

    view.on_view_toggleStrkline(2);
    click(view, 5, 5);
    QCOMPARE(view.tmpLines->streaklineIndxArray[0].numPoint, 4); // released at 0 .. 3
    QVERIFY(near(view.tmpLines->pointArray[0], 8, 5, 0.15f));
}

void TestFlowViewSlots::confirmingADataSetSetsItsLineSizes()
{
    UniformField field(int3{20, 20, 2}, 1.0f);
    FlowView view(nullptr, 600, 600);
    click(view, 10, 10);
    view.translateZ = 3;
    view.on_view_btnconfirmStdyFile();
    QVERIFY(view.tabStdyEnable && !view.tabUnstdyEnable);
    QCOMPARE(view.flowlineRadius, 0.6f);
    QCOMPARE(view.flowSeedRadius, 0.2f);
    QCOMPARE(view.translateZ, 10);
    QCOMPARE(view.tmpLines->streamlineNum, 0);
    view.on_view_btnconfirmUnstdyFile();
    QVERIFY(!view.tabStdyEnable && view.tabUnstdyEnable);
    QCOMPARE(view.flowlineRadius, 3.0f);
    QCOMPARE(view.flowSeedRadius, 2.0f);
}

void TestFlowViewSlots::missingAttachedImageAttachesNothing()
{
    UniformField field(int3{20, 20, 2}, 1.0f);
    FlowView view(nullptr, 600, 600);
    view.on_view_pbAttach();
    QVERIFY(!view.bAttachSavedImg);
    click(view, 10, 10);
    QCOMPARE(view.tmpLines->streamlineNum, 1);
}

QTEST_MAIN(TestFlowViewSlots)
#include "test_flowViewSlots.moc"
