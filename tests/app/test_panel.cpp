// The control panel's own behaviour, driven through its widgets: opening state, the exclusions
// between field-line kinds, comparisons and seeding, the three modes, the animation and LIC
// controls, the sliders and their labels. Widgets of the hidden group are driven by code.
#include "app/myclass.h"
#include "app/tabReadStdyDat.h"
#include "app/tabReadUnstdyDat.h"
#include "common/checkBoxStatus.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace
{
// "E+" enabled and checked, "D-" disabled and unchecked, and so on, one entry per box.
QString states(std::initializer_list<QCheckBox*> boxes)
{
    QStringList out;
    for (const QCheckBox* box : boxes)
        out << QString(box->isEnabled() ? "E" : "D") + (box->isChecked() ? "+" : "-");
    return out.join(' ');
}

void click(QAbstractButton* button)
{
    QVERIFY2(button->isVisible(), qPrintable(button->objectName()));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

const QString streamlineHint =
    "Please select one seed for streamline by clicking in the left view area";
} // namespace

class TestPanel : public QObject
{
    Q_OBJECT

    std::unique_ptr<MyClass> window;
    Ui_MyClassClass* ui = nullptr;

    QString kinds() const
    {
        return states({ui->cbStrmline, ui->cbPthline, ui->cbTimeline, ui->cbStrkline});
    }
    QString comparisons() const
    {
        return states({ui->cbPthTimeComp, ui->cbStrmStrkComp, ui->cbPthStrkComp});
    }
    QString seeding() const
    {
        return states(
            {ui->cbSglPntSeeding, ui->cbRakeSeeding, ui->cbUnifSeeding, ui->cbRandomSeeding});
    }
    QString critpnts() const
    {
        return states({ui->cbRepFocus, ui->cbAttrFocus, ui->cbCenter, ui->cbRepNode, ui->cbAttrNode,
                       ui->cbSaddlePnt, ui->cbCriticalPntStrml});
    }
    QCheckBox* box(const QString& name) const { return window->findChild<QCheckBox*>(name); }

private slots:
    void init();
    void cleanup();

    void formHasTheHiddenGroupAndItsTexts();
    void slidersHaveTheirRanges();
    void opensInSingleModeWithStreamline();
    void toolTipsAreBlackAndSwatchesColoured();

    void fieldLineRowsSetGroupAndSeeding_data();
    void fieldLineRowsSetGroupAndSeeding();
    void uncheckingAKindKeepsOrClearsTheHint();
    void multipleModeKeepsKindStatesAndSingleRestores();
    void critpntModeDisablesFieldLinesUntilSingle();
    void selectAllChecksEveryCritpntBox();
    void seedingBoxesExcludeEachOther();

    void animationAndTubeAreOpposite_data();
    void animationAndTubeAreOpposite();
    void animationButtonsCountClicks();
    void licCodes();

    void distanceControlOffReturnsToOne();
    void sliceIntervalReleaseLimitsTimeSteps_data();
    void sliceIntervalReleaseLimitsTimeSteps();
    void timeStepFromViewMovesSliderAndLabel();
    void speedAndRakeSlidersFollowKeys();
    void mouseCoordinatesAreShown();
    void fileTabButtonsReachTheirControllers();
};

void TestPanel::init()
{
    window = std::make_unique<MyClass>();
    ui = &window->ui;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestPanel::cleanup()
{
    window.reset();
    ui = nullptr;
}

void TestPanel::formHasTheHiddenGroupAndItsTexts()
{
    QCOMPARE(ui->groupBox_5->geometry(), QRect(1170, 0, 0, 0));
    QCOMPARE(ui->groupBox_5->title(), QString("Disabled"));
    const auto hidden = ui->groupBox_5->findChildren<QWidget*>();
    QVERIFY(hidden.size() > 60);
    for (const QWidget* widget : hidden)
        QVERIFY2(widget->visibleRegion().isEmpty(), qPrintable(widget->objectName()));
    QVERIFY(!ui->cbStrmline->visibleRegion().isEmpty());

    QCOMPARE(ui->tabFlowFile->currentWidget(), ui->tabUnstdy);
    QCOMPARE(ui->tabFlowFile->tabText(1), QString("Unsteady"));
    QCOMPARE(ui->cbAttrFocus->text(), QString(" Attractng Focus"));
    QCOMPARE(ui->cbSaddlePnt->text(), QString(" Saddle Point"));
    QCOMPARE(ui->labRanSeedNum_3->text(), QString("Horizonta"));
    QCOMPARE(ui->cbLICBkImgOn->parentWidget(), ui->gbSdType);
    QCOMPARE(ui->cbRakeSeeding->parentWidget(), ui->gbRakeSeeding);
    QCOMPARE(ui->lbMouse_x->parentWidget(), ui->groupBox);
    QCOMPARE(ui->cbTube->geometry(), QRect(260, 320, 171, 21));
    QCOMPARE(ui->lbSaddle->geometry(), QRect(145, 112, 12, 12));
    QCOMPARE(ui->line->frameShape(), QFrame::VLine);

    // Two characters at most: the largest typed grid is 99 x 99 and at most 99 random seeds.
    for (QLineEdit* edit : {ui->leUniNumSeed_x, ui->leUniNumSeed_y, ui->leRanNumSeed})
    {
        QCOMPARE(edit->maxLength(), 2);
        edit->setText("123");
        QCOMPARE(edit->text(), QString("12"));
    }

    ui->retranslateUi(window.get());
    QCOMPARE(window->windowTitle(), QString("MyClass"));
    QCOMPARE(ui->pbSelectNoneCritpnt->text(), QString("Clear All"));
}

void TestPanel::slidersHaveTheirRanges()
{
    struct Range
    {
        QSlider* slider;
        int min, max, single, page;
    };
    for (const Range& r :
         {Range{ui->hSliRakeNumSeed, 2, 30, 5, 10}, Range{ui->hSliAnimaSpeed, 1, 50, 10, 10},
          Range{ui->hSliStrklSliceIntv, 1, 10, 1, 5}, Range{ui->hSliUnstdyInterTimeID, 1, 48, 1, 1},
          Range{ui->hSliDisCtrl, 1, 20, 1, 4}, Range{ui->hSliTraceStpIntv, 1, 100, 5, 10},
          Range{ui->hSliUnstdySliceID, 9, 100, 1, 5}})
    {
        const QString name = r.slider->objectName();
        QVERIFY2(r.slider->minimum() == r.min && r.slider->maximum() == r.max, qPrintable(name));
        QVERIFY2(r.slider->singleStep() == r.single && r.slider->pageStep() == r.page,
                 qPrintable(name));
        QVERIFY2(r.slider->orientation() == Qt::Horizontal, qPrintable(name));
    }
    QCOMPARE(ui->hSliAnimaSpeed->value(), 40);
    QCOMPARE(ui->hSliUnstdySliceID->value(), 50);
}

void TestPanel::opensInSingleModeWithStreamline()
{
    QVERIFY(ui->cbSiglLine->isChecked() && !ui->cbMultiLine->isChecked());
    QCOMPARE(kinds(), QString("E+ E- E- E-"));
    QCOMPARE(comparisons(), QString("D- D- D-"));
    QCOMPARE(seeding(), QString("E+ E- E- E-"));
    QCOMPARE(critpnts(), QString("E- E- E- E- E- E- E-"));
    QVERIFY(!ui->hSliRakeNumSeed->isEnabled());
    QVERIFY(!ui->leUniNumSeed_x->isEnabled() && !ui->leUniNumSeed_y->isEnabled());
    QVERIFY(!ui->leRanNumSeed->isEnabled());
    QVERIFY(ui->cbDistCtrl->isEnabled() && !ui->cbDistCtrl->isChecked());
    QVERIFY(!ui->hSliDisCtrl->isEnabled());
    QCOMPARE(ui->labHint->text(), streamlineHint);
    QCOMPARE(ui->pbStrmStrkPathlAnim->text(), QString("Stop"));
    QCOMPARE(ui->pbPTlAnim->text(), QString("Start"));

    const auto labels = [](QLabel* min, QLabel* curr, QLabel* max) {
        return QStringList{min->text(), curr->text(), max->text()}.join(' ');
    };
    QCOMPARE(labels(ui->labMinTraceStpIntv, ui->labCurrTraceStpIntv, ui->labMaxTraceStpIntv),
             QString("1 1 100"));
    QCOMPARE(labels(ui->labMinDist, ui->labCurrDist, ui->labMaxDist), QString("0.1 1 2"));
    QCOMPARE(labels(ui->labMinUnstdySlice, ui->labCurrUnstdySlice, ui->labMaxUnstdySlice),
             QString("9 50 100"));
    QCOMPARE(labels(ui->labMinStrklSliceIntv, ui->labCurrStrklSliceIntv, ui->labMaxStrklSliceIntv),
             QString("0.1 1 1"));
    QCOMPARE(labels(ui->labMinRakeNumSeed, ui->labCurrRakeNumSeed, ui->labMaxRakeNumSeed),
             QString("2 10 30"));
    QCOMPARE(labels(ui->labMinUnstdyInterTimeID, ui->labCurrUnstdyInterTimeID,
                    ui->labMaxUnstdyInterTimeID),
             QString("1 1 48"));
}

void TestPanel::toolTipsAreBlackAndSwatchesColoured()
{
    const auto black = [](const QString& text)
    { return QString("<span style=\" color:#000000;\">%1</span>").arg(text); };
    QCOMPARE(ui->cbTimeline->toolTip(), black("Select two points in the left view area"));
    QCOMPARE(ui->cbStrmStrkComp->toolTip(), black("Select one point in the left view area"));
    QCOMPARE(ui->cbSglPntSeeding->toolTip(), black("Select one point in the left view area"));
    QCOMPARE(ui->labMaxRakeNumSeed->toolTip(), black("Upper bound of number of seeds"));
    QCOMPARE(ui->cbLICBkImgOn->toolTip(), black("Toggle overview background image"));
    QCOMPARE(ui->cbSaddlePnt->toolTip(), black("Toggle critical points in saddle point type"));
    QCOMPARE(ui->hSliAnimaSpeed->toolTip(), black("Adjust the animation speed"));
    QCOMPARE(ui->pbClrAllData->toolTip(), black("Clear the left view area"));
    QVERIFY(Qt::mightBeRichText(ui->cbFlowlet->toolTip()));

    QCOMPARE(ui->lbRepFocus->styleSheet(), QString("QLabel { background-color : red;}"));
    QCOMPARE(ui->lbSaddle->styleSheet(), QString("QLabel { background-color : magenta;}"));
    const QImage swatch = ui->lbCenter->grab().toImage();
    QCOMPARE(swatch.pixelColor(6, 6), QColor(Qt::green));
}

void TestPanel::fieldLineRowsSetGroupAndSeeding_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("seeds");
    QTest::addColumn<QString>("hint");
    QTest::newRow("streamline after timeline")
        << QStringList{"cbTimeline", "cbStrmline"} << "E+ E- E- E-"
        << "E+ E- E- E-" << streamlineHint;
    QTest::newRow("pathline") << QStringList{"cbPthline"} << "E- E+ E- E-"
                              << "E+ E- D- D-"
                              << "Please select one seed for pathline by clicking in the left "
                                 "view area";
    QTest::newRow("timeline") << QStringList{"cbTimeline"} << "E- E- E+ E-"
                              << "D- D+ D- D-"
                              << "Please select two seeds for timeline by clicking in the left "
                                 "view area";
    QTest::newRow("streakline after timeline")
        << QStringList{"cbTimeline", "cbStrkline"} << "E- E- E- E+"
        << "D+ D- D- D-"
        << "Please select one seed for streakline by clicking in the left view area";
    QTest::newRow("pathline-timeline after pathline-streakline")
        << QStringList{"cbMultiLine", "cbPthStrkComp", "cbPthTimeComp"} << "E+ E- E-"
        << "D- D+ D- D-"
        << "Please select two seeds by clicking in the left view area";
    QTest::newRow("streamline-streakline")
        << QStringList{"cbMultiLine", "cbStrmStrkComp"} << "E- E+ E-"
        << "D+ D- D- D-"
        << "Please select one seed by clicking in the left view area";
    QTest::newRow("pathline-streakline")
        << QStringList{"cbMultiLine", "cbPthStrkComp"} << "E- E- E+"
        << "D+ D- D- D-"
        << "Please select one seed by clicking in the left view area";
}

void TestPanel::fieldLineRowsSetGroupAndSeeding()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, group);
    QFETCH(QString, seeds);
    QFETCH(QString, hint);
    for (const QString& name : clicks)
        click(box(name));
    QCOMPARE(clicks.first() == "cbMultiLine" ? comparisons() : kinds(), group);
    QCOMPARE(seeding(), seeds);
    QCOMPARE(ui->hSliRakeNumSeed->isEnabled(), ui->cbRakeSeeding->isChecked());
    QCOMPARE(ui->labHint->text(), hint);
}

void TestPanel::uncheckingAKindKeepsOrClearsTheHint()
{
    click(ui->cbStrmline);
    QCOMPARE(kinds(), QString("E- E- E- E-"));
    QCOMPARE(ui->labHint->text(), QString());

    click(ui->cbTimeline);
    click(ui->cbTimeline);
    QCOMPARE(kinds(), QString("E- E- E- E-"));
    QCOMPARE(ui->labHint->text(),
             QString("Please select two seeds for timeline by clicking in the left view area"));
}

void TestPanel::multipleModeKeepsKindStatesAndSingleRestores()
{
    click(ui->cbPthline);
    click(ui->cbMultiLine);
    QVERIFY(!ui->cbSiglLine->isChecked());
    QCOMPARE(kinds(), QString("D- D+ D- D-"));
    QCOMPARE(comparisons(), QString("E+ E- E-"));
    QCOMPARE(seeding(), QString("D- D+ D- D-"));
    QCOMPARE(ui->labHint->text(),
             QString("Please select two seeds by clicking in the left view area"));

    click(ui->cbSiglLine);
    QVERIFY(!ui->cbMultiLine->isChecked());
    QCOMPARE(kinds(), QString("E+ E- E- E-"));
    QCOMPARE(comparisons(), QString("D+ D- D-"));
    QCOMPARE(seeding(), QString("E+ E- E- E-"));
    QCOMPARE(ui->labHint->text(), streamlineHint);

    // Unchecking the mode itself only disables its group.
    click(ui->cbSiglLine);
    QCOMPARE(kinds(), QString("D+ D- D- D-"));
    QCOMPARE(seeding(), QString("E+ E- E- E-"));
}

void TestPanel::critpntModeDisablesFieldLinesUntilSingle()
{
    click(ui->cbTimeline);
    click(ui->cbRepFocus);
    QCOMPARE(kinds(), QString("D- D- D- D-"));
    QCOMPARE(comparisons(), QString("D- D- D-"));
    QVERIFY(!ui->cbSiglLine->isChecked() && !ui->cbMultiLine->isChecked());
    QVERIFY(ui->cbSiglLine->isEnabled() && ui->cbMultiLine->isEnabled());
    // Point seeding is left as the timeline had it.
    QCOMPARE(seeding(), QString("D- D- D- D-"));
    QVERIFY(!ui->hSliRakeNumSeed->isEnabled());
    QCOMPARE(ui->labHint->text(), QString("Show selected types of critical points"));

    click(ui->cbCriticalPntStrml);
    QCOMPARE(ui->labHint->text(), QString("Show selected critical points' template streamlines"));

    click(ui->pbSelectNoneCritpnt);
    QCOMPARE(critpnts(), QString("E- E- E- E- E- E- E-"));
    QCOMPARE(kinds(), QString("D- D- D- D-"));
    QCOMPARE(ui->labHint->text(), QString("No critical point is shown"));

    click(ui->cbSiglLine);
    QCOMPARE(kinds(), QString("E+ E- E- E-"));
    QCOMPARE(seeding(), QString("E+ E- E- E-"));
    QCOMPARE(ui->labHint->text(), streamlineHint);
}

void TestPanel::selectAllChecksEveryCritpntBox()
{
    click(ui->cbMultiLine);
    click(ui->pbSelectAllCritpnt);
    QCOMPARE(critpnts(), QString("E+ E+ E+ E+ E+ E+ E+"));
    QCOMPARE(comparisons(), QString("D- D- D-"));
    QCOMPARE(ui->labHint->text(),
             QString("Show all types of critical points and its template streamlines"));

    // Entering a field-line mode clears the critical points again.
    click(ui->cbMultiLine);
    QCOMPARE(critpnts(), QString("E- E- E- E- E- E- E-"));
    QCOMPARE(comparisons(), QString("E+ E- E-"));
}

void TestPanel::seedingBoxesExcludeEachOther()
{
    click(ui->cbRakeSeeding);
    QCOMPARE(seeding(), QString("E- E+ E- E-"));
    QVERIFY(ui->hSliRakeNumSeed->isEnabled());
    QCOMPARE(ui->labHint->text(), QString("Please select two points in the left view area"));

    ui->cbUnifSeeding->setChecked(true);
    QCOMPARE(seeding(), QString("E- E- E+ E-"));
    QVERIFY(!ui->hSliRakeNumSeed->isEnabled());
    QVERIFY(ui->leUniNumSeed_x->isEnabled() && ui->leUniNumSeed_y->isEnabled());
    QCOMPARE(ui->labHint->text(),
             QString("The seeds are uniformly distributed in the left view area"));

    ui->cbRandomSeeding->setChecked(true);
    QCOMPARE(seeding(), QString("E- E- E- E+"));
    QVERIFY(!ui->leUniNumSeed_x->isEnabled() && ui->leRanNumSeed->isEnabled());
    QCOMPARE(ui->labHint->text(), QString("The seeds are randomly located in the left view area"));

    click(ui->cbSglPntSeeding);
    QCOMPARE(seeding(), QString("E+ E- E- E-"));
    QVERIFY(!ui->leRanNumSeed->isEnabled());
    QCOMPARE(ui->labHint->text(), QString("Please select one points in the left view area"));
    click(ui->cbSglPntSeeding);
    QCOMPARE(ui->labHint->text(), QString());
}

void TestPanel::animationAndTubeAreOpposite_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("flowlet");
    QTest::addColumn<bool>("tube");
    // From a disabled, checked "Animation" with "Tube" unchecked.
    QTest::newRow("uncheck") << int(CBST_UNCHECK) << "D-" << true;
    QTest::newRow("check") << int(CBST_CHECK) << "D+" << false;
    QTest::newRow("disable") << int(CBST_DISABLE) << "D+" << false;
    QTest::newRow("enable") << int(CBST_ENABLE) << "E+" << false;
    QTest::newRow("enable check") << int(CBST_ENABLE_CHECK) << "E+" << false;
    QTest::newRow("enable uncheck") << int(CBST_ENABLE_UNCHECK) << "E-" << true;
    QTest::newRow("disable check") << int(CBST_DISABLE_CHECK) << "D+" << false;
    QTest::newRow("disable uncheck") << int(CBST_DISABLE_UNCHECK) << "D-" << true;
    QTest::newRow("partially") << int(CBST_PARTIALLY_CHECK) << "D+" << false;
    QTest::newRow("unknown") << 9 << "D+" << false;
}

void TestPanel::animationAndTubeAreOpposite()
{
    QFETCH(int, code);
    QFETCH(QString, flowlet);
    QFETCH(bool, tube);
    ui->cbTube->setChecked(true);
    click(ui->cbFlowlet);
    QVERIFY(ui->cbFlowlet->isChecked() && !ui->cbTube->isChecked());
    QVERIFY(!ui->pbPTlAnim->isEnabled());
    window->on_cbFlowlet_stateChanged(CBST_DISABLE);

    window->on_cbFlowlet_stateChanged(code);
    QCOMPARE(states({ui->cbFlowlet}), flowlet);
    QCOMPARE(ui->cbTube->isChecked(), tube);
    QCOMPARE(ui->pbPTlAnim->isEnabled(), tube);

    ui->cbTube->setChecked(true);
    QVERIFY(!ui->cbFlowlet->isChecked());
    QVERIFY(ui->pbPTlAnim->isEnabled());
}

void TestPanel::animationButtonsCountClicks()
{
    QSignalSpy pause(window.get(), &MyClass::view_toggle_singleFlowlineAnim_msg);
    click(ui->pbStrmStrkPathlAnim);
    QCOMPARE(ui->pbStrmStrkPathlAnim->text(), QString("Start"));
    click(ui->pbStrmStrkPathlAnim);
    QCOMPARE(ui->pbStrmStrkPathlAnim->text(), QString("Stop"));
    click(ui->pbStrmStrkPathlAnim);
    window->change_AnimStrmStrkPathl();
    QCOMPARE(ui->pbStrmStrkPathlAnim->text(), QString("Stop"));
    QCOMPARE(window->cntAnimStrmStrkPathl, 1);
    QCOMPARE(pause.size(), 4);
    QCOMPARE(pause[0][0].toInt(), 2);
    QCOMPARE(pause[1][0].toInt(), 3);
    QCOMPARE(pause[2][0].toInt(), 4);
    QCOMPARE(pause[3][0].toInt(), 1);

    QSignalSpy pathTime(window.get(), &MyClass::view_toggle_ptlineanim_msg);
    ui->pbPTlAnim->click();
    QCOMPARE(ui->pbPTlAnim->text(), QString("Stop"));
    ui->pbPTlAnim->click();
    QCOMPARE(ui->pbPTlAnim->text(), QString("Start"));
    QCOMPARE(pathTime.size(), 2);
    QCOMPARE(pathTime[0][0].toInt(), 1);
    QCOMPARE(pathTime[1][0].toInt(), 2);
}

void TestPanel::licCodes()
{
    click(ui->cbLICBkImgOn);
    QVERIFY(ui->cbLICBkImgOn->isChecked());
    QCOMPARE(ui->labHint->text(), QString("LIC is for showing image of entire vector field"));
    ui->cbLICHistoEqu->setChecked(true);
    click(ui->cbLICBkImgOn);
    QVERIFY(!ui->cbLICBkImgOn->isChecked() && !ui->cbLICHistoEqu->isChecked());

    click(ui->cbLICBkImgOn);
    ui->cbLICHistoEqu->setChecked(true);
    window->on_cbLICBkImgOn_stateChanged(CBST_DISABLE_UNCHECK);
    QCOMPARE(states({ui->cbLICBkImgOn, ui->cbLICHistoEqu}), QString("D- E-"));
    for (int ignored : {int(CBST_ENABLE_CHECK), int(CBST_ENABLE_UNCHECK), int(CBST_DISABLE_CHECK)})
        window->on_cbLICBkImgOn_stateChanged(ignored);
    QCOMPARE(states({ui->cbLICBkImgOn}), QString("D-"));
    window->on_cbLICBkImgOn_stateChanged(CBST_ENABLE);
    QCOMPARE(states({ui->cbLICBkImgOn}), QString("E-"));
    window->on_cbLICBkImgOn_stateChanged(CBST_DISABLE);
    QCOMPARE(states({ui->cbLICBkImgOn}), QString("D-"));
}

void TestPanel::distanceControlOffReturnsToOne()
{
    ui->cbDistCtrl->setChecked(true);
    QVERIFY(ui->hSliDisCtrl->isEnabled());
    QCOMPARE(ui->hSliDisCtrl->value(), 10);
    ui->hSliDisCtrl->setValue(7);
    QCOMPARE(ui->labCurrDist->text(), QString("0.7"));

    ui->cbDistCtrl->setChecked(false);
    QVERIFY(!ui->hSliDisCtrl->isEnabled());
    QCOMPARE(ui->hSliDisCtrl->value(), 1);
    QCOMPARE(ui->labCurrDist->text(), QString("0.1"));

    ui->cbDistCtrl->setChecked(true);
    QCOMPARE(ui->hSliDisCtrl->value(), 1);
    QCOMPARE(ui->labCurrDist->text(), QString("0.1"));
}

void TestPanel::sliceIntervalReleaseLimitsTimeSteps_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("maximum");
    const int maxima[] = {480, 240, 160, 120, 96, 80, 68, 60, 53, 48};
    for (int position = 1; position <= 10; ++position)
        QTest::addRow("%d", position) << position << maxima[position - 1];
}

void TestPanel::sliceIntervalReleaseLimitsTimeSteps()
{
    QFETCH(int, position);
    QFETCH(int, maximum);
    QSlider* slider = ui->hSliStrklSliceIntv;
    slider->setValue(1);
    emit slider->sliderReleased();
    ui->hSliUnstdyInterTimeID->setValue(100);
    QSignalSpy interval(window.get(), &MyClass::view_strkSliceIntv_msg);

    slider->setSliderDown(true);
    slider->setValue(position);
    QCOMPARE(ui->labCurrStrklSliceIntv->text(), QString::number(position * 0.1f, 'g', 6));
    QCOMPARE(interval.size(), 0);
    slider->setSliderDown(false);

    QCOMPARE(ui->hSliUnstdyInterTimeID->maximum(), maximum);
    QCOMPARE(ui->labMaxUnstdyInterTimeID->text(), QString::number(maximum));
    QCOMPARE(interval.size(), 1);
    QCOMPARE(interval[0][0].toFloat(), position * 0.1f);
    // A time step beyond the new end is pulled back to it, label included.
    const int step = std::min(100, maximum);
    QCOMPARE(ui->hSliUnstdyInterTimeID->value(), step);
    QCOMPARE(ui->labCurrUnstdyInterTimeID->text(), QString::number(step));
}

void TestPanel::timeStepFromViewMovesSliderAndLabel()
{
    window->on_hSliUnstdyInterTimeID_valueChanged(30);
    QCOMPARE(ui->hSliUnstdyInterTimeID->value(), 30);
    QCOMPARE(ui->labCurrUnstdyInterTimeID->text(), QString("30"));
    // Steps outside the slider's range show where the slider really is.
    window->on_hSliUnstdyInterTimeID_valueChanged(200);
    QCOMPARE(ui->labCurrUnstdyInterTimeID->text(), QString("48"));
    window->on_hSliUnstdyInterTimeID_valueChanged(48);
    window->on_hSliUnstdyInterTimeID_valueChanged(49);
    QCOMPARE(ui->labCurrUnstdyInterTimeID->text(), QString("48"));

    ui->hSliTraceStpIntv->setValue(37);
    QCOMPARE(ui->labCurrTraceStpIntv->text(), QString("37"));
    ui->hSliUnstdySliceID->setValue(9);
    QCOMPARE(ui->labCurrUnstdySlice->text(), QString("9"));
}

void TestPanel::speedAndRakeSlidersFollowKeys()
{
    QCOMPARE(window->animationPeriod(40), 11);
    QCOMPARE(window->animationPeriod(50), 1);
    QCOMPARE(window->animationPeriod(1), 50);

    ui->hSliAnimaSpeed->setFocus();
    QTest::keyClick(ui->hSliAnimaSpeed, Qt::Key_End);
    QCOMPARE(ui->hSliAnimaSpeed->value(), 50);
    QCOMPARE(ui->labHint->text(), QString("Adjusting animation speed"));

    click(ui->cbRakeSeeding);
    QTest::keyClick(ui->hSliRakeNumSeed, Qt::Key_PageUp);
    QCOMPARE(ui->labCurrRakeNumSeed->text(), QString("20"));
    QCOMPARE(ui->labHint->text(),
             QString("Drag the slider bar to change number of seeds for rake seeding and reselect "
                     "two points in the left view area"));
}

void TestPanel::mouseCoordinatesAreShown()
{
    window->updateMouseCoor({120, 455});
    QCOMPARE(ui->lbMouse_x->text(), QString("x:120"));
    QCOMPARE(ui->lbMouse_y->text(), QString("y:455"));
    window->updateMouseCoor({-3, 0});
    QCOMPARE(ui->lbMouse_x->text(), QString("x:-3"));
    QCOMPARE(ui->lbMouse_y->text(), QString("y:0"));
}

void TestPanel::fileTabButtonsReachTheirControllers()
{
    QCOMPARE(ui->leStdyHdrDir->text(), QString("./flow data/stdy flow data/earthquake_100.txt"));
    QCOMPARE(ui->leUnstdyDatDir->text(), QString("./flow data/unstdy flow data/Uf/Uf01.dat"));
    QVERIFY(!window->rdStdyDat->isVisible() && !window->rdUbstdyDat->isVisible());

    QStringList asked;
    const auto answer = [&asked](const QString& path)
    {
        return [&asked, path](QWidget*, const QString& caption, const QString&)
        {
            asked << caption;
            return path;
        };
    };
    window->rdStdyDat->chooseFile = answer("./a/b.txt");
    window->rdUbstdyDat->chooseFile = answer("./u/Uf07.dat");
    QSignalSpy steady(window->rdStdyDat, &TabReadStdyDat::stdydirPasstoDataMani);
    QSignalSpy unsteady(window->rdUbstdyDat, &TabReadUnstdyDat::unstdydirPasstoDataMani);

    ui->btnOpnStdyHdrDlg->click();
    QCOMPARE(ui->leStdyDatDir->text(), QString("./a/b.dat"));
    ui->btnOpnStdyDatDlg->click();
    ui->btnOpnUnstdyDatDlg->click();
    QCOMPARE(ui->leUnstdyDatDir->text(), QString("./u/Uf07.dat"));
    ui->btnOpnUnstdyHdrDlg->click();
    QCOMPARE(asked.size(), 4);
    QCOMPARE(steady.size(), 2);
    QCOMPARE(unsteady.size(), 2);
}

QTEST_MAIN(TestPanel)
#include "test_panel.moc"
