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

QList<int> codes(const QSignalSpy& spy)
{
    QList<int> out;
    for (const QList<QVariant>& args : spy)
        out << args.at(0).toInt();
    return out;
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

// Views over a uniform field (1, 0), never shown: 600 x 600 pixels, 100 x 100 x 5 unless given.
class TestFlowView : public ViewTest
{
    Q_OBJECT

    FlowView& at(int3 size = {100, 100, 5}, int pixels = 600)
    {
        open(size, pixels, false);
        return *view;
    }
    const TracedLines& lines() const { return *view->tmpLines; }

private slots:
    // A reset centres the field, its longer side filling the view; the wheel zooms (-7 falls
    // back to 1, exactly 0 is kept, 8.5 truncates), R resets, a middle drag pans by the pixels
    // moved; the window maps to the field for the current camera.
    void navigation()
    {
        QCOMPARE(camera(at({40, 101, 1})), QList<int>({20, 50, 50}));
        FlowView& v = at({200, 100, 1}, 100);
        QCOMPARE(camera(v), QList<int>({100, 50, 100}));
        for (const int3& c : {int3{50, 120, 62}, {5, -120, 1}, {12, -120, 0}, {10, -15, 8}})
        {
            v.translateZ = c.x;
            wheel(v, c.y);
            QCOMPARE(v.translateZ, c.z);
        }
        QTest::keyClick(&v, Qt::Key_R);
        QCOMPARE(camera(v), QList<int>({100, 50, 100}));
        QTest::mousePress(&v, Qt::MiddleButton, {}, QPoint(50, 50));
        QTest::mouseRelease(&v, Qt::MiddleButton, {}, QPoint(60, 45));
        QCOMPARE(camera(v), QList<int>({80, 40, 100}));
        float2 mouse{0, 100};
        compareNear(v.mapMouseCoortoFlowCoor(mouse), -20, 140);
        compareNear(mouse, 0, 100); // the argument is left alone
    }

    // A header whose sample count wraps around in 64 bits, and no samples: input does nothing.
    void refusedFieldIsHarmless()
    {
        const int3 huge{1 << 30, 1 << 30, 16};
        workdir->write("data/hurricane_z_8.dat",
                       std::string(reinterpret_cast<const char*>(&huge), sizeof huge));
        FlowView& v = at({}, 100);
        QVERIFY(!v.hasField());
        QTest::mouseClick(&v, Qt::LeftButton, {}, QPoint(30, 30));
        wheel(v, 120);
        QCOMPARE(camera(v), QList<int>({0, 0, 12}));
        QCOMPARE(v.tmpLines->streamlineNum, 0);
    }

    // A left click traces one streamline through the clicked seed, replacing the last one;
    // clearing empties both stores; a right click only moves the seeds.
    void clicksTraceFromTheClickedSeed()
    {
        FlowView& v = at();
        click(v, 50, 50);
        QCOMPARE(lines().streamlineNum, 1);
        const flowlineInfo rec = lines().streamlineIndxArray[0];
        const float2* p = lines().pointArray.data();
        compareNear(p[rec.seedIdx], 50, 50);
        QVERIFY(p[rec.startIdx].x < 2.0f);
        QVERIFY(p[rec.startIdx + rec.numPoint].x > 97.0f);
        click(v, 30, 20);
        QCOMPARE(lines().streamlineNum, 1);
        compareNear(p[lines().streamlineIndxArray[0].seedIdx], 30, 20);
        v.tmpLines->commitTmplines(v.commitedLines.get());
        v.animStep = 7;
        v.on_view_clrAllData();
        QCOMPARE(lines().currNumpnt, 0);
        QCOMPARE(v.commitedLines->streamlineNum, 0);
        QCOMPARE(v.animStep, 0);
        click(v, 30, 20, Qt::RightButton);
        QCOMPARE(lines().streamlineNum, 0);
        compareNear(v.trace->rakeSeeds[v.trace->numRakeSeeds - 1], 30, 20);
    }

    // Counts are parsed whole or not at all.
    void seedCounts()
    {
        FlowView& v = at();
        for (const auto& [text, count] : {std::pair{"abc", 0}, {" 7 ", 7}, {"12abc", 0}})
        {
            v.on_view_modifRanNumSeed(text);
            QCOMPARE(lines().streamlineNum, count);
        }
        v.on_view_modifUniNumSeedX("3");
        QCOMPARE(lines().streamlineNum, 12); // 3 columns, 4 rows
        compareNear(v.trace->rakeSeeds[11], 75, 80);
        v.on_view_modifUniNumSeedY("x");
        QCOMPARE(v.trace->numRakeSeeds, 0);
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
                              {"on_view_togglePthStrkComp", 2, "0000001", {4}, {4}},
                              {"on_view_toggleStrmline", 0, "0111111", {}, {}},
                              {"on_view_toggleStrkline", 0, "1101111", {4}, {4}},
                              {"on_view_toggleTimeline", 0, "1110111", {4}, {}}};
        FlowView& v = at({50, 50, 2});
        for (const Case& c : cases)
        {
            v.on_view_toggleSglPntSeeding(2);
            v.bStrml = v.bPthl = v.bStrkl = v.bTimel = true;
            v.bPthTimel = v.bStrmStrkl = v.bPthlStrkl = true;
            click(v, 25, 25);
            QSignalSpy animSpy(&v, &FlowView::view_enable_animation_msg);
            QSignalSpy licSpy(&v, &FlowView::view_enable_lic_msg);
            QVERIFY(QMetaObject::invokeMethod(&v, c.slot, Q_ARG(int, c.state)));
            QCOMPARE(bits({v.bStrml, v.bPthl, v.bStrkl, v.bTimel, v.bPthTimel, v.bStrmStrkl,
                           v.bPthlStrkl}),
                     QString(c.flags));
            QCOMPARE(codes(animSpy), c.animation);
            QCOMPARE(codes(licSpy), c.lic);
            QCOMPARE(lines().currNumpnt, 0);
        }
    }

    // A confirmed step names its LIC image after it and forgets the traced lines.
    void timeSteps()
    {
        FlowView& v = at({24, 24, 16});
        v.licImage->LICBkImgPth = "./d/e/LIC7.ppm";
        click(v, 10, 10);
        v.uiTimelDispTimeId = 12;
        v.on_view_confirmTimeId();
        QCOMPARE(v.licImage->LICBkImgPth, QString("./d/e/LIC12.ppm"));
        QCOMPARE(v.uiTimeId, 12);
        QCOMPARE(lines().streamlineNum, 0);
    }

    // Missing, or present but refused (a header without sizes): the field stays. A set of
    // another size is loaded and traced: 30 x 10 samples, 3 time steps, u = 1, v = 0.
    void dataSets()
    {
        FlowView& v = at({20, 20, 2});
        workdir->write("bad/header.txt", "no sizes here\n");
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
        v.on_view_toggleStrkline(2);
        click(v, 5, 5);
        QCOMPARE(lines().streaklineIndxArray[0].numPoint, 4); // released at 0 .. 3
        compareNear(lines().pointArray[0], 8, 5, 0.15f);
    }
};
QTEST_MAIN(TestFlowView)
#include "test_flowView.moc"
