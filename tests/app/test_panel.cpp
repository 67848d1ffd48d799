// The control panel driven through its widgets: the exclusions between modes, field-line
// kinds, comparisons, seeding and critical points, the animation controls, the streak interval
// slider, and its wiring to the view. Widgets of the hidden group are driven by code, or by
// mouse in the full panel.
#include "app/myclass.h"
#include "app/panelLayout.h"
#include "app/tabReadStdyDat.h"
#include "app/tabReadUnstdyDat.h"
#include "view/viewFixture.h"

#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>

namespace
{
// One letter per box: X checked, O unchecked, lower case when disabled.
QString states(std::initializer_list<QCheckBox*> boxes)
{
    QString out;
    for (const QCheckBox* box : boxes)
        out += box->isEnabled() ? (box->isChecked() ? 'X' : 'O') : (box->isChecked() ? 'x' : 'o');
    return out;
}

const char* const kKind = "Please select %1 for %2 by clicking in the left view area";
const QString kStrm = QString(kKind).arg("one seed", "streamline");
const QString kTwo = "Please select two seeds by clicking in the left view area";
const QString kOnePoint = "Please select one points in the left view area";

// A real click: a button; a drag from a slider's right end to its middle (a page step up, or
// the handle dragged where it sits at the end); a line edit's text replaced by a typed digit;
// the tab that is not current.
void click(QWidget* widget)
{
    const QPoint left(8, widget->height() / 2), right(widget->width() - 5, widget->height() / 2);
    if (auto* tabs = qobject_cast<QTabWidget*>(widget))
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {},
                          tabs->tabBar()->tabRect(1 - tabs->currentIndex()).center());
    else if (qobject_cast<QSlider*>(widget))
    {
        QTest::mousePress(widget, Qt::LeftButton, {}, right);
        QTest::mouseMove(widget, widget->rect().center());
        QTest::mouseRelease(widget, Qt::LeftButton, {}, widget->rect().center());
    }
    else
        QTest::mouseClick(widget, Qt::LeftButton, {}, left);
    if (qobject_cast<QLineEdit*>(widget))
    {
        QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(widget, Qt::Key_7);
    }
}

// Every widget's state but the hint line's.
QVariantList panelState(const MyClass& window)
{
    QVariantList out;
    for (const QWidget* w : window.findChildren<QWidget*>())
        for (const char* name : {"enabled", "checked", "value", "maximum", "text", "currentIndex"})
            out << (w == window.ui.labHint ? QVariant() : w->property(name));
    return out;
}
} // namespace

class TestPanel : public QObject
{
    Q_OBJECT

    std::unique_ptr<MyClass> window;
    Ui_MyClassClass* ui = nullptr;

    // Modes, kinds, comparisons, seeding.
    QString panel() const
    {
        return QStringList{states({ui->cbSiglLine, ui->cbMultiLine}),
                           states({ui->cbStrmline, ui->cbPthline, ui->cbTimeline, ui->cbStrkline}),
                           states({ui->cbPthTimeComp, ui->cbStrmStrkComp, ui->cbPthStrkComp}),
                           states({ui->cbSglPntSeeding, ui->cbRakeSeeding, ui->cbUnifSeeding,
                                   ui->cbRandomSeeding})}
            .join(' ');
    }
    // A real click on a visible widget; a hidden one is toggled by code, as the view would.
    void press(const QString& name)
    {
        auto* button = window->findChild<QAbstractButton*>(name);
        QVERIFY2(button, qPrintable(name));
        if (!button->visibleRegion().isEmpty())
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
        else if (button->isCheckable())
            button->setChecked(!button->isChecked());
        else
            button->click();
    }

private slots:
    // One window for every case: it opens once, and each case starts from its opening state,
    // reached by the panel's own slots with every comparison unchecked.
    void initTestCase()
    {
        window = std::make_unique<MyClass>();
        ui = &window->ui;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void init()
    {
        if (QTest::currentTestFunction() != QString("opensWithTheHiddenGroup"))
        {
            for (QCheckBox* box : {ui->cbSiglLine, ui->cbPthTimeComp, ui->cbStrmStrkComp,
                                   ui->cbPthStrkComp, ui->cbStrmline})
                box->setChecked(false);
            ui->cbSiglLine->setChecked(true);
        }
        QCOMPARE(panel(), QString("XO XOOO ooo XOOO"));
        QCOMPARE(ui->labHint->text(), kStrm);
    }
    void cleanupTestCase() { window.reset(); }

    // The hidden group takes no room, yet its widgets exist and keep their state; none of them
    // is a Tab stop.
    void opensWithTheHiddenGroup()
    {
        QCOMPARE(ui->groupBox_5->geometry(), QRect(1170, 0, 0, 0));
        window->flowView2d->setFocus();
        for (int stop = 0; stop < 50; ++stop)
        {
            QTest::keyClick(window.get(), Qt::Key_Tab);
            QVERIFY(!ui->groupBox_5->isAncestorOf(window->focusWidget()));
        }
    }

    void cascades_data()
    {
        QTest::addColumn<QString>("presses");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("critpnts");
        QTest::addColumn<QString>("hint");
        const auto row = [](const char* name, const char* presses, const char* state, int critpnts,
                            const QString& hint)
        { QTest::newRow(name) << QString(presses) << QString(state) << critpnts << hint; };
        const char* single = "XO XOOO ooo XOOO";
        const QString kTime = QString(kKind).arg("two seeds", "timeline");
        const QString kOne = "Please select one seed by clicking in the left view area";
        // clang-format off
        row("streamline after timeline", "cbTimeline cbStrmline", single, 0, kStrm);
        row("pathline", "cbPthline", "XO OXOO ooo XOoo", 0, QString(kKind).arg("one seed", "pathline"));
        row("timeline", "cbTimeline", "XO OOXO ooo oxoo", 0, kTime);
        row("timeline unchecked keeps hint", "cbTimeline cbTimeline", "XO OOOO ooo oxoo", 0, kTime);

        row("multiple keeps kinds", "cbPthline cbMultiLine", "OX oxoo XOO oxoo", 0, kTwo);
        row("single restores", "cbPthline cbMultiLine cbSiglLine", "XO XOOO xoo XOOO", 0, kStrm);
        row("single after multiple", "cbMultiLine cbSiglLine", "XO XOOO xoo XOOO", 0, kOnePoint);
        row("pathline-timeline", "cbMultiLine cbPthStrkComp cbPthTimeComp", "OX xooo XOO oxoo", 0, kTwo);
        row("streamline-streakline", "cbMultiLine cbStrmStrkComp", "OX xooo OXO xooo", 0, kOne);
        row("pathline-streakline", "cbMultiLine cbPthStrkComp", "OX xooo OOX xooo", 0, kOne);

        // Point seeding is left as the timeline had it.
        row("critical point", "cbTimeline cbRepFocus", "OO oooo ooo oooo", 1,
            "Show selected types of critical points");
        row("template streamlines", "cbTimeline cbRepFocus cbCriticalPntStrml", "OO oooo ooo oooo", 2,
            "Show selected critical points' template streamlines");
        row("clear all", "cbRepFocus cbSaddlePnt pbSelectNoneCritpnt", "OO oooo ooo Xooo", 0,
            "No critical point is shown");
        row("select all", "cbMultiLine pbSelectAllCritpnt", "OO oooo ooo oooo", 7,
            "Show all types of critical points and its template streamlines");

        row("rake", "cbRakeSeeding", "XO XOOO ooo OXOO", 0, "Please select two points in the left view area");
        row("uniform after rake", "cbRakeSeeding cbUnifSeeding", "XO XOOO ooo OOXO", 0,
            "The seeds are uniformly distributed in the left view area");
        row("point after random", "cbRandomSeeding cbSglPntSeeding", single, 0, kOnePoint);
        // clang-format on
    }

    void cascades()
    {
        QFETCH(QString, presses);
        QFETCH(QString, state);
        QFETCH(int, critpnts);
        QFETCH(QString, hint);
        for (const QString& name : presses.split(' '))
            press(name);
        QCOMPARE(panel(), state);
        QCOMPARE(ui->labHint->text(), hint);
        const QString critStates =
            states({ui->cbRepFocus, ui->cbAttrFocus, ui->cbCenter, ui->cbRepNode, ui->cbAttrNode,
                    ui->cbSaddlePnt, ui->cbCriticalPntStrml});
        QCOMPARE(critStates.count('X'), critpnts);
        QCOMPARE(critStates.count('X') + critStates.count('O'), 7);
        // Each seeding's own inputs are live exactly while it is checked.
        QCOMPARE(ui->hSliRakeNumSeed->isEnabled(), ui->cbRakeSeeding->isChecked());
        QCOMPARE(ui->leUniNumSeed_x->isEnabled(), ui->cbUnifSeeding->isChecked());
        QCOMPARE(ui->leUniNumSeed_y->isEnabled(), ui->cbUnifSeeding->isChecked());
        QCOMPARE(ui->leRanNumSeed->isEnabled(), ui->cbRandomSeeding->isChecked());
    }

    void animationButtonsCountClicks()
    {
        QSignalSpy single(window.get(), &MyClass::view_toggle_singleFlowlineAnim_msg);
        QSignalSpy pathTime(window.get(), &MyClass::view_toggle_ptlineanim_msg);
        QStringList seen;
        for (const char* name : {"pbStrmStrkPathlAnim", "pbStrmStrkPathlAnim",
                                 "pbStrmStrkPathlAnim", "pbPTlAnim", "pbPTlAnim"})
            press(name);
        emit window->flowView2d->reset_cntAnimStrmStrkPathl_msg(); // the view restarting it
        for (const QSignalSpy* spy : {&single, &pathTime})
            for (const QList<QVariant>& args : *spy)
                seen << args[0].toString();
        QCOMPARE(seen.join(' '), QString("2 3 4 1 1 2"));
        QCOMPARE(ui->pbStrmStrkPathlAnim->text() + ui->pbPTlAnim->text(), QString("StopStart"));
    }

    // The released interval limits the time steps to 48 intervals; nothing is sent while
    // dragging.
    void sliceIntervalReleaseLimitsTimeSteps()
    {
        QSlider* slider = ui->hSliStrklSliceIntv;
        for (const auto& [position, maximum] : {std::pair{1, 480}, {7, 68}, {10, 48}})
        {
            slider->setValue(1);
            emit slider->sliderReleased();
            ui->hSliUnstdyInterTimeID->setValue(100);
            QSignalSpy interval(window.get(), &MyClass::view_strkSliceIntv_msg);
            slider->setSliderDown(true);
            slider->setValue(position);
            QCOMPARE(ui->labCurrStrklSliceIntv->text(), QString::number(position * 0.1f, 'g', 6));
            QCOMPARE(interval.size(), 0);
            slider->setSliderDown(false);
            QCOMPARE(ui->labMaxUnstdyInterTimeID->text(), QString::number(maximum));
            QCOMPARE(interval.size(), 1);
            QCOMPARE(interval[0][0].toFloat(), position * 0.1f);
            // A time step beyond the new end is pulled back to it, label included.
            QCOMPARE(ui->labCurrUnstdyInterTimeID->text(), QString::number(std::min(100, maximum)));
        }
    }

    void viewAndPanelReachEachOther()
    {
        emit window->flowView2d->displayMouseCoor(makeInt2(120, -3));
        QCOMPARE(ui->lbMouse_x->text() + ui->lbMouse_y->text(), QString("x:120y:-3"));
        const FlowView& v = *window->flowView2d;
        for (const bool bAll : {true, false})
        {
            press(bAll ? "pbSelectAllCritpnt" : "pbSelectNoneCritpnt");
            for (const bool bShown : {v.bRepFocus, v.bAttrFocus, v.bCenter, v.bRepNode, v.bAttrNode,
                                      v.bSaddlePnt, v.bCriticalPntStrml})
                QCOMPARE(bShown, bAll);
        }
    }

    // The full panel from the start: the group beside the panel, each of its controls reaching
    // the view by mouse, and the shortcut switching layouts with every state kept.
    void fullPanel()
    {
        ViewWorkdir workdir;
        workdir.writeField(int3{20, 20, 2}, [](int, int, int) { return float2{1, 0}; });
        qputenv("QUORVEL_PANEL", "full");
        MyClass full;
        qunsetenv("QUORVEL_PANEL");
        QCOMPARE(full.ui.hSliUnstdyInterTimeID->maximum(), 2); // the field's time steps
        full.show();
        full.activateWindow(); // for the shortcut
        QVERIFY(QTest::qWaitForWindowActive(&full));
        QCOMPARE(full.size(), QSize(1525, 690));
        QCOMPARE(full.ui.groupBox_5->geometry(), QRect(1070, 15, 440, 600));
        // The FTLE choice reaches the view, whose default stays off.
        QCOMPARE(full.flowView2d->ftleMode, FlowView::kFtleOff);
        full.ui.groupBox_5->findChild<QRadioButton*>("rbtnFtleBackward")->click();
        QCOMPARE(full.flowView2d->ftleMode, FlowView::kFtleBackward);
        // From step 0 there is nothing to go back over: the hint line says so.
        QCOMPARE(full.ui.labHint->text(), "The FTLE time window leaves the field's steps 0 to 1.");
        full.ui.groupBox_5->findChild<QRadioButton*>("rbtnFtleOff")->click();
        full.flowView2d->setFocus();
        QTest::keyClick(&full, Qt::Key_Tab);
        QCOMPARE(full.focusWidget(), full.panelLayout->hSliMarkSize);

        // A picked data file names the other component, or the header, beside it; a cancelled
        // dialog changes nothing.
        const FlowView& v = *full.flowView2d;
        QString answer = "u/Vf/Vf07.dat";
        QString folder;
        const auto dialog = [&](QWidget*, const QString&, const QString& start, const QString&)
        {
            folder = start;
            return answer;
        };
        full.rdStdyDat->chooseFile = dialog;
        full.rdUbstdyDat->chooseFile = dialog;
        full.ui.btnOpnUnstdyDatDlg->click();
        QCOMPARE(folder, QString("./flow data/unstdy flow data")); // beside the header
        QCOMPARE(v.unstdyDatPth, QString("u/Uf/Uf07.dat"));
        answer = "s/field.dat";
        full.ui.btnOpnStdyDatDlg->click();
        answer = "";
        full.ui.btnOpnStdyDatDlg->click();
        full.ui.btnOpnUnstdyDatDlg->click();
        QCOMPARE(v.stdyHdrPth, QString("s/field.txt"));
        QCOMPARE(v.unstdyDatPth, QString("u/Uf/Uf07.dat"));
        answer = "a.txt";
        const auto state = [&]
        {
            QString out;
            QDebug(&out) << v.uiTimelDispTimeId << v.uiTimeId << v.bFirstComputeCritpnt << v.bUnif
                         << v.uiUnifSeedXNum << v.uiUnifSeedYNum << v.bRand << v.uiRandSeedNum
                         << v.bLicHisto << v.bAntiali << v.uiIntvTracStp << v.trace->bDistctrl
                         << v.trace->uiDistCtrl << v.trace->uiStrkParticleTimeIntv
                         << v.viewCntAnimPTl << v.iTimer->isActive() << v.markScale << v.bTracks
                         << v.unstdyHdrPth << v.unstdyDatPth << v.stdyHdrPth << v.stdyDatPth
                         << v.tabStdyEnable << v.tabUnstdyEnable << v.dataMani->uiUnstdySlicId
                         << QDir("flow data").count() << full.ui.tabFlowFile->currentIndex()
                         << full.ui.labHint->text();
            return out;
        };
        v.iTimer->start(1000); // which tubes stop
        for (const QString& name :
             QString("hSliUnstdyInterTimeID pbTimeIDChosen pbSliceChosen cbUnifSeeding "
                     "leUniNumSeed_x leUniNumSeed_y cbRandomSeeding leRanNumSeed cbLICHistoEqu "
                     "cbAntialias hSliTraceStpIntv cbDistCtrl hSliDisCtrl hSliStrklSliceIntv "
                     "pbPTlAnim cbTube pbSavePPM hSliMarkSize cbTracks hSliUnstdySliceID "
                     "btnOpnUnstdyHdrDlg "
                     "btnOpnUnstdyDatDlg tabFlowFile btnOpnStdyHdrDlg btnOpnStdyDatDlg "
                     "btnconfirmStdyFile tabFlowFile btnconfirmUnstdyFile")
                 .split(' '))
        {
            const QString before = state();
            QWidget* widget = full.findChild<QWidget*>(name);
            QVERIFY2(!widget->visibleRegion().isEmpty(), qPrintable(name));
            click(widget);
            QVERIFY2(state() != before, qPrintable(name));
        }

        const QVariantList before = panelState(full);
        QTest::keyClick(&full, Qt::Key_M, Qt::ControlModifier);
        QCOMPARE(full.size(), QSize(1075, 690));
        QCOMPARE(panelState(full), before);
        QVERIFY(full.ui.labHint->text().contains("QUORVEL_PANEL=full"));
        QTest::keyClick(&full, Qt::Key_M, Qt::ControlModifier);
        QCOMPARE(full.size(), QSize(1525, 690));
        QCOMPARE(panelState(full), before);
    }
};

QTEST_MAIN(TestPanel)
#include "test_panel.moc"
