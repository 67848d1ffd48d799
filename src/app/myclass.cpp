#include "app/myclass.h"

#include "app/fieldOpenMenu.h"
#include "app/ftlePanel.h"
#include "app/panelLayout.h"
#include "app/tabReadStdyDat.h"
#include "app/tabReadUnstdyDat.h"
#include "common/checkBoxStatus.h"
#include "common/printLine.h"

#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>

MyClass::MyClass(QWidget* parent, Qt::WindowFlags flags) : QMainWindow(parent, flags)
{
    desktop = QGuiApplication::primaryScreen();
    // Also connects every on_<objectName>_<signal> slot, so the window's slot runs before any
    // slot connected to the same signal later.
    ui.setupUi(this);

    motherGroupbox = findChild<QGroupBox*>("groupBox_4");
    motherGroupbox->setGeometry(viewW + 50, 15, 410, 440);

    const QSize desktopSize = desktop ? desktop->geometry().size() : QSize(viewW + 475, viewW + 90);
    setGeometry(placement(desktopSize, viewW));
    ui.labHint->setGeometry(15, viewW + 45, viewW + 475, 30);
    setWindowTitle(tr("Quorvel"));
    // The tab controllers find the tab widgets by name, so they come after the tree. They
    // draw nothing and stay hidden, so they never catch the window's mouse events.
    rdStdyDat = new TabReadStdyDat(this);
    rdUbstdyDat = new TabReadUnstdyDat(this);
    rdStdyDat->hide();
    rdUbstdyDat->hide();
    ui.gbFlowView->setGeometry(15, 15, viewW + 30, viewW + 30);
    flowView2d = new FlowView(ui.gbFlowView, viewW, viewW);
    flowView2d->setGeometry(15, 15, viewW, viewW);

    connectFrame();
    // Each step sets its widgets' opening states before it connects them to the view, so
    // the view starts from its own defaults.
    initSliders();
    initFileReading();
    initSeedingTypes();
    initFlowlineTypes();
    initLICImage();
    initCritpntDetect();
    initToolTipsAndSwatches();

    panelLayout = new PanelLayout(this, ui, viewW);
    new FtlePanel(ui.groupBox_5, flowView2d);
    fieldOpenMenu = new FieldOpenMenu(this);
    panelLayout->adoptGroupWidgets();
    connect(panelLayout, &PanelLayout::hint, this, &MyClass::setHint);
    connect(panelLayout->hSliMarkSize, &QSlider::valueChanged, flowView2d,
            &FlowView::on_view_changeMarkSize);
    connect(panelLayout->cbTracks, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_toggleTracks);
    if (PanelLayout::fullRequested())
        panelLayout->setFull(true);
    connect(flowView2d, &FlowView::view_dataSetLoaded_msg, this, &MyClass::dataSetLoaded);
    flowView2d->installEventFilter(this);
    // Every loader message and refusal reaches the hint line too, from whichever thread.
    QPointer<MyClass> self(this);
    setPrintLineObserver(
        [self](const std::string& line)
        {
            const QString text = QString::fromLocal8Bit(line.c_str());
            if (self)
                QMetaObject::invokeMethod(
                    self, [self, text] { self->showMessage(text, true); }, Qt::AutoConnection);
        });
}

MyClass::~MyClass()
{
    setPrintLineObserver({});
}

bool MyClass::openFromArguments(const QStringList& arguments)
{
    return !arguments.isEmpty() && fieldOpenMenu->openFile(arguments.first());
}

QRect MyClass::placement(QSize desktopSize, int viewW)
{
    const int x = static_cast<int>((desktopSize.width() - (viewW + 475)) * 0.5);
    const int y = static_cast<int>((desktopSize.height() - (viewW + 60)) * 0.5);
    return QRect(x, y, viewW + 475, viewW + 90);
}

// The frame-level connections, made before the init steps connect the panel's groups.
void MyClass::connectFrame()
{
    connect(ui.cbAntialias, &QCheckBox::stateChanged, flowView2d, &FlowView::on_toggleAntialias);
    connect(flowView2d, &FlowView::displayMouseCoor, this, &MyClass::updateMouseCoor);
    connect(ui.pbClrAllData, &QPushButton::clicked, flowView2d, &FlowView::on_view_clrAllData);
    connect(ui.pbSavePPM, &QPushButton::clicked, flowView2d, &FlowView::on_view_saveScreenPPM);
    connect(flowView2d, &FlowView::view_enable_animation_msg, this,
            &MyClass::on_cbFlowlet_stateChanged);
    connect(flowView2d, &FlowView::view_enable_lic_msg, this,
            &MyClass::on_cbLICBkImgOn_stateChanged);
    connect(ui.cbTube, &QCheckBox::stateChanged, flowView2d, &FlowView::on_view_tubeLines);
    connect(ui.cbFlowlet, &QCheckBox::stateChanged, flowView2d, &FlowView::on_view_flowlet);
}

int MyClass::animationPeriod(int value) const
{
    return ui.hSliAnimaSpeed->maximum() + ui.hSliAnimaSpeed->minimum() - value;
}

namespace
{
// Slider positions of tenths are shown as the single-precision value they stand for.
QString tenths(float value)
{
    return QString::number(value, 'g', 6);
}

void showRange(const QSlider* slider, QLabel* min, QLabel* curr, QLabel* max)
{
    min->setText(QString::number(slider->minimum()));
    curr->setText(QString::number(slider->value()));
    max->setText(QString::number(slider->maximum()));
}
} // namespace

void MyClass::initSliders()
{
    showRange(ui.hSliTraceStpIntv, ui.labMinTraceStpIntv, ui.labCurrTraceStpIntv,
              ui.labMaxTraceStpIntv);
    ui.cbDistCtrl->setEnabled(true);
    ui.cbDistCtrl->setChecked(false);
    ui.hSliDisCtrl->setEnabled(false);
    ui.labMinDist->setText(tenths(ui.hSliDisCtrl->minimum() * 0.1f));
    ui.labCurrDist->setText(tenths(ui.hSliDisCtrl->value() * 0.1f));
    ui.labMaxDist->setText(tenths(ui.hSliDisCtrl->maximum() * 0.1f));
    showRange(ui.hSliUnstdySliceID, ui.labMinUnstdySlice, ui.labCurrUnstdySlice,
              ui.labMaxUnstdySlice);
    ui.labMinStrklSliceIntv->setText(tenths(ui.hSliStrklSliceIntv->minimum() * 0.1f));
    ui.labCurrStrklSliceIntv->setText(tenths(ui.hSliStrklSliceIntv->value() * 0.1f));
    ui.labMaxStrklSliceIntv->setText(tenths(ui.hSliStrklSliceIntv->maximum() * 0.1f));

    connect(ui.hSliAnimaSpeed, &QSlider::valueChanged, flowView2d,
            &FlowView::on_view_changeAnimSpeed);
    connect(ui.hSliTraceStpIntv, &QSlider::valueChanged, flowView2d,
            &FlowView::on_view_changeTracingStpIntv);
    connect(ui.hSliDisCtrl, &QSlider::valueChanged, flowView2d,
            &FlowView::on_view_changeDistCtrlSli);
    connect(ui.cbDistCtrl, &QCheckBox::stateChanged, flowView2d, &FlowView::on_view_toggleDistCtrl);
    connect(ui.hSliUnstdySliceID, &QSlider::valueChanged, flowView2d,
            &FlowView::on_view_changeUnstdySlice);
    connect(ui.pbSliceChosen, &QPushButton::clicked, this,
            [this] { flowView2d->on_view_changeUnstdySlice(ui.hSliUnstdySliceID->value()); });
    connect(ui.pbSliceChosen, &QPushButton::clicked, flowView2d,
            &FlowView::on_view_confirmUnstdySliceID);
    connect(this, &MyClass::view_strkSliceIntv_msg, flowView2d,
            &FlowView::on_view_changeStrklSliceIntv);
}

void MyClass::initFileReading()
{
    // Before the view's own connections, so that the view loads the paths shown.
    connect(ui.btnconfirmStdyFile, &QPushButton::clicked, this, [this] { handOverTabPaths(true); });
    connect(ui.btnconfirmUnstdyFile, &QPushButton::clicked, this,
            [this] { handOverTabPaths(false); });
    connect(rdStdyDat, &TabReadStdyDat::stdydirPasstoDataMani, flowView2d,
            &FlowView::on_updateStdyDataDir);
    connect(ui.btnconfirmStdyFile, &QPushButton::clicked, flowView2d,
            &FlowView::on_view_btnconfirmStdyFile);
    connect(rdUbstdyDat, &TabReadUnstdyDat::unstdydirPasstoDataMani, flowView2d,
            &FlowView::on_updateUnstdyDataDir);
    connect(ui.btnconfirmUnstdyFile, &QPushButton::clicked, flowView2d,
            &FlowView::on_view_btnconfirmUnstdyFile);
    connect(ui.btnOpnStdyHdrDlg, &QPushButton::clicked, rdStdyDat,
            &TabReadStdyDat::on_btnOpnStdyHdrDlg);
    connect(ui.btnOpnStdyDatDlg, &QPushButton::clicked, rdStdyDat,
            &TabReadStdyDat::on_btnOpnStdyDatDlg);
    connect(ui.btnOpnUnstdyHdrDlg, &QPushButton::clicked, rdUbstdyDat,
            &TabReadUnstdyDat::on_btnOpnUnstdyHdrDlg);
    connect(ui.btnOpnUnstdyDatDlg, &QPushButton::clicked, rdUbstdyDat,
            &TabReadUnstdyDat::on_btnOpnUnstdyDatDlg);
}

void MyClass::initSeedingTypes()
{
    ui.cbSglPntSeeding->setEnabled(true);
    ui.cbSglPntSeeding->setChecked(true);
    ui.cbRakeSeeding->setEnabled(true);
    ui.cbRakeSeeding->setChecked(false);
    ui.hSliRakeNumSeed->setEnabled(false);
    showRange(ui.hSliRakeNumSeed, ui.labMinRakeNumSeed, ui.labCurrRakeNumSeed,
              ui.labMaxRakeNumSeed);
    ui.cbUnifSeeding->setEnabled(true);
    ui.cbUnifSeeding->setChecked(false);
    ui.leUniNumSeed_x->setEnabled(false);
    ui.leUniNumSeed_y->setEnabled(false);
    ui.cbRandomSeeding->setEnabled(true);
    ui.cbRandomSeeding->setChecked(false);
    ui.leRanNumSeed->setEnabled(false);

    const QString onePoint = tr("Select one point in the left view area");
    const QString twoPoints = tr("Select two points in the left view area");
    setBlackToolTip(ui.cbSglPntSeeding, onePoint);
    setBlackToolTip(ui.cbRakeSeeding, twoPoints);
    setBlackToolTip(ui.labMaxRakeNumSeed, tr("Upper bound of number of seeds"));
    setBlackToolTip(ui.labMinRakeNumSeed, tr("Lower bound of number of seeds"));
    setBlackToolTip(ui.labCurrRakeNumSeed, tr("Number of seeds"));

    connect(ui.cbSglPntSeeding, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_toggleSglPntSeeding);
    connect(ui.cbRakeSeeding, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_toggleRakeSeeding);
    connect(ui.hSliRakeNumSeed, &QSlider::valueChanged, flowView2d,
            &FlowView::on_view_modifRakeNumSeed);
    connect(ui.cbUnifSeeding, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_toggleUnifSeeding);
    connect(ui.leUniNumSeed_x, &QLineEdit::textEdited, flowView2d,
            &FlowView::on_view_modifUniNumSeedX);
    connect(ui.leUniNumSeed_y, &QLineEdit::textEdited, flowView2d,
            &FlowView::on_view_modifUniNumSeedY);
    connect(ui.cbRandomSeeding, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_toggleRandomSeeding);
    connect(ui.leRanNumSeed, &QLineEdit::textEdited, flowView2d,
            &FlowView::on_view_modifRanNumSeed);
}

void MyClass::initFlowlineTypes()
{
    ui.cbSiglLine->setChecked(true);
    ui.cbMultiLine->setChecked(false);
    ui.cbStrmline->setChecked(true);
    setBoxes({{ui.cbPthline, true, false},
              {ui.cbTimeline, true, false},
              {ui.cbStrkline, true, false},
              {ui.cbPthTimeComp, false, false},
              {ui.cbStrmStrkComp, false, false},
              {ui.cbPthStrkComp, false, false}});
    showRange(ui.hSliUnstdyInterTimeID, ui.labMinUnstdyInterTimeID, ui.labCurrUnstdyInterTimeID,
              ui.labMaxUnstdyInterTimeID);

    const QString onePoint = tr("Select one point in the left view area");
    const QString twoPoints = tr("Select two points in the left view area");
    for (QWidget* widget : std::initializer_list<QWidget*>{ui.cbStrmline, ui.cbPthline,
                                                           ui.cbStrkline, ui.cbStrmStrkComp})
        setBlackToolTip(widget, onePoint);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{ui.cbTimeline, ui.cbPthTimeComp, ui.cbPthStrkComp})
        setBlackToolTip(widget, twoPoints);
    setBlackToolTip(ui.cbSiglLine, tr("Select one of the field-lines below"));
    setBlackToolTip(ui.cbMultiLine, tr("Select one of the comparisons below"));

    connect(ui.cbSiglLine, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_toggleRbtnSiglLine);
    connect(ui.cbMultiLine, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_toggleRbtnMultiLine);
    connect(ui.cbStrmline, &QCheckBox::stateChanged, flowView2d, &FlowView::on_view_toggleStrmline);
    connect(ui.cbPthline, &QCheckBox::stateChanged, flowView2d, &FlowView::on_view_togglePthline);
    connect(ui.cbTimeline, &QCheckBox::stateChanged, flowView2d, &FlowView::on_view_toggleTimeline);
    connect(ui.cbStrkline, &QCheckBox::stateChanged, flowView2d, &FlowView::on_view_toggleStrkline);
    connect(ui.cbPthTimeComp, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_togglePthTimeComp);
    connect(ui.cbStrmStrkComp, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_toggleStrmStrkComp);
    connect(ui.cbPthStrkComp, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_togglePthStrkComp);
    connect(ui.hSliUnstdyInterTimeID, &QSlider::valueChanged, flowView2d,
            &FlowView::on_view_changeUnstdyInterTimeSel);
    connect(ui.pbTimeIDChosen, &QPushButton::clicked, flowView2d, &FlowView::on_view_confirmTimeId);
    connect(this, &MyClass::view_toggle_ptlineanim_msg, flowView2d,
            &FlowView::on_view_controlPtlineanim);
    connect(this, &MyClass::view_toggle_singleFlowlineAnim_msg, flowView2d,
            &FlowView::on_view_controlSingleFlowlineAnim);
    connect(flowView2d, &FlowView::view_pass_ptlineanimid_msg, this,
            &MyClass::on_hSliUnstdyInterTimeID_valueChanged);
    connect(flowView2d, &FlowView::reset_cntAnimStrmStrkPathl_msg, this,
            &MyClass::change_AnimStrmStrkPathl);
    connect(flowView2d, &FlowView::view_field_steps_msg, this, &MyClass::followFieldSteps);
    connect(flowView2d, &FlowView::view_hint_msg, this, &MyClass::setHint);
    followFieldSteps(flowView2d->dataMani->flowFieldSize.z);
}

void MyClass::initLICImage()
{
    setBlackToolTip(ui.cbLICBkImgOn, tr("Toggle overview background image"));

    connect(ui.cbLICBkImgOn, &QCheckBox::stateChanged, flowView2d, &FlowView::on_view_toggleLICBk);
    connect(ui.cbLICHistoEqu, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_toggleLICHisto);
}

void MyClass::initCritpntDetect()
{
    setBlackToolTip(ui.cbRepFocus, tr("Toggle critical points in repelling focus type"));
    setBlackToolTip(ui.cbAttrFocus, tr("Toggle critical points in attracting focus type"));
    setBlackToolTip(ui.cbCenter, tr("Toggle critical points in center type"));
    setBlackToolTip(ui.cbRepNode, tr("Toggle critical points in repelling node type"));
    setBlackToolTip(ui.cbAttrNode, tr("Toggle critical points in attracting node type"));
    setBlackToolTip(ui.cbSaddlePnt, tr("Toggle critical points in saddle point type"));
    setBlackToolTip(ui.cbCriticalPntStrml,
                    tr("Toggle the streamlines of the selected critical points"));
    connect(ui.cbRepFocus, &QCheckBox::stateChanged, flowView2d, &FlowView::on_view_toggleRepFocus);
    connect(ui.cbAttrFocus, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_toggleAttrFocus);
    connect(ui.cbCenter, &QCheckBox::stateChanged, flowView2d, &FlowView::on_view_toggleCenter);
    connect(ui.cbRepNode, &QCheckBox::stateChanged, flowView2d, &FlowView::on_view_toggleRepNode);
    connect(ui.cbAttrNode, &QCheckBox::stateChanged, flowView2d, &FlowView::on_view_toggleAttrNode);
    connect(ui.cbSaddlePnt, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_toggleSaddlePnt);
    connect(ui.cbCriticalPntStrml, &QCheckBox::stateChanged, flowView2d,
            &FlowView::on_view_toggleCriticalPntStrml);
}

void MyClass::initToolTipsAndSwatches()
{
    setBlackToolTip(ui.pbSelectAllCritpnt,
                    tr("Show all the critical points and their template streamlines"));
    setBlackToolTip(ui.pbSelectNoneCritpnt,
                    tr("Clear all the critical points and their template streamlines"));
    setBlackToolTip(ui.pbClrAllData, tr("Clear the left view area"));
    setBlackToolTip(ui.cbFlowlet, tr("Toggle field-line animation with arrows"));
    setBlackToolTip(ui.pbStrmStrkPathlAnim, tr("Pause/resume the animation"));
    setBlackToolTip(ui.hSliAnimaSpeed, tr("Adjust the animation speed"));

    // The same colours mark each type's discs in the view.
    ui.lbRepFocus->setStyleSheet("QLabel { background-color : red;}");
    ui.lbAttrFocus->setStyleSheet("QLabel { background-color : yellow;}");
    ui.lbCenter->setStyleSheet("QLabel { background-color : lime;}");
    ui.lbRepNode->setStyleSheet("QLabel { background-color : cyan;}");
    ui.lbAttrNode->setStyleSheet("QLabel { background-color : blue;}");
    ui.lbSaddle->setStyleSheet("QLabel { background-color : magenta;}");
}

void MyClass::setBoxes(std::initializer_list<BoxState> boxes)
{
    for (const BoxState& state : boxes)
    {
        state.box->setEnabled(state.enabled);
        state.box->setChecked(state.checked);
    }
}

void MyClass::setBlackToolTip(QWidget* widget, const QString& text)
{
    widget->setToolTip(QStringLiteral("<span style=\" color:#000000;\">%1</span>").arg(text));
}

void MyClass::setHint(const QString& hint)
{
    clearError();
    ui.labHint->setText(hint);
}

void MyClass::showMessage(const QString& message, bool error)
{
    clearError();
    ui.labHint->setText(message);
    if (!error)
        return;
    QPalette red = ui.labHint->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    ui.labHint->setPalette(red);
    errorShown = true;
}

void MyClass::clearError()
{
    if (!errorShown)
        return;
    ui.labHint->setPalette(QPalette());
    ui.labHint->setAttribute(Qt::WA_SetPalette, false);
    ui.labHint->clear();
    errorShown = false;
}

bool MyClass::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == flowView2d && event->type() == QEvent::MouseButtonPress)
        clearError();
    return QMainWindow::eventFilter(watched, event);
}

// "OK" loads what the boxes and the slice slider show, whatever was picked before.
void MyClass::handOverTabPaths(bool steady)
{
    if (steady)
    {
        flowView2d->on_updateStdyDataDir(rdStdyDat->leStdyHdrDir->text(),
                                         rdStdyDat->leStdyDatDir->text());
        return;
    }
    const QString hdrPath = rdUbstdyDat->leUnstdyHdrDir->text();
    const QString dataPath = rdUbstdyDat->leUnstdyDatDir->text();
    flowView2d->on_updateUnstdyDataDir(hdrPath, dataPath,
                                       TabReadUnstdyDat::otherComponent(hdrPath, dataPath));
    flowView2d->on_view_changeUnstdySlice(ui.hSliUnstdySliceID->value());
}

// A tab's data set replaces an opened file: the title and the mark size are the window's own.
void MyClass::dataSetLoaded(int depth, int slice)
{
    setWindowTitle(tr("Quorvel"));
    panelLayout->hSliMarkSize->setValue(100);
    if (depth < 1)
        return;
    ui.hSliUnstdySliceID->setRange(1, depth);
    ui.hSliUnstdySliceID->setValue(slice);
    showRange(ui.hSliUnstdySliceID, ui.labMinUnstdySlice, ui.labCurrUnstdySlice,
              ui.labMaxUnstdySlice);
}

// ---- Modes ----

void MyClass::on_cbSiglLine_stateChanged(int state)
{
    const bool on = state != 0;
    ui.cbSiglLine->setChecked(on);
    for (QCheckBox* kind : {ui.cbStrmline, ui.cbPthline, ui.cbTimeline, ui.cbStrkline})
        kind->setEnabled(on);
    if (!on)
        return;
    on_pbSelectNoneCritpnt_clicked();
    ui.cbMultiLine->setChecked(false);
    for (QCheckBox* comparison : {ui.cbPthTimeComp, ui.cbStrmStrkComp, ui.cbPthStrkComp})
        comparison->setEnabled(false);
    ui.cbSglPntSeeding->setChecked(true);
    ui.cbStrmline->setChecked(true);
    for (QCheckBox* seeding :
         {ui.cbSglPntSeeding, ui.cbRakeSeeding, ui.cbUnifSeeding, ui.cbRandomSeeding})
        seeding->setEnabled(true);
}

void MyClass::on_cbMultiLine_stateChanged(int state)
{
    const bool on = state != 0;
    ui.cbMultiLine->setChecked(on);
    for (QCheckBox* comparison : {ui.cbPthTimeComp, ui.cbStrmStrkComp, ui.cbPthStrkComp})
        comparison->setEnabled(on);
    if (!on)
        return;
    on_pbSelectNoneCritpnt_clicked();
    ui.cbSiglLine->setChecked(false);
    // The kinds keep their check states, so "Single" finds them as they were.
    for (QCheckBox* kind : {ui.cbStrmline, ui.cbPthline, ui.cbTimeline, ui.cbStrkline})
        kind->setEnabled(false);
    ui.cbRakeSeeding->setChecked(true);
    ui.cbPthTimeComp->setChecked(true);
    for (QCheckBox* seeding :
         {ui.cbSglPntSeeding, ui.cbRakeSeeding, ui.cbUnifSeeding, ui.cbRandomSeeding})
        seeding->setEnabled(false);
}

// ---- Field-line kinds ----

void MyClass::on_cbStrmline_stateChanged(int state)
{
    if (state == 0)
    {
        ui.cbStrmline->setChecked(false);
        setHint(QString());
        return;
    }
    setBoxes({{ui.cbStrmline, true, true},
              {ui.cbPthline, true, false},
              {ui.cbTimeline, true, false},
              {ui.cbStrkline, true, false},
              {ui.cbSglPntSeeding, true, true},
              {ui.cbRakeSeeding, true, false},
              {ui.cbUnifSeeding, true, false},
              {ui.cbRandomSeeding, true, false}});
    setHint(tr("Please select one seed for streamline by clicking in the left view area"));
}

void MyClass::on_cbPthline_stateChanged(int state)
{
    if (state == 0)
    {
        ui.cbPthline->setChecked(false);
        setHint(QString());
        return;
    }
    setBoxes({{ui.cbStrmline, true, false},
              {ui.cbPthline, true, true},
              {ui.cbTimeline, true, false},
              {ui.cbStrkline, true, false},
              {ui.cbSglPntSeeding, true, true},
              {ui.cbRakeSeeding, true, false},
              {ui.cbUnifSeeding, false, false},
              {ui.cbRandomSeeding, false, false}});
    setHint(tr("Please select one seed for pathline by clicking in the left view area"));
}

void MyClass::on_cbTimeline_stateChanged(int state)
{
    if (state == 0)
    {
        ui.cbTimeline->setChecked(false);
        return;
    }
    setBoxes({{ui.cbStrmline, true, false},
              {ui.cbPthline, true, false},
              {ui.cbTimeline, true, true},
              {ui.cbStrkline, true, false},
              {ui.cbSglPntSeeding, false, false},
              {ui.cbRakeSeeding, false, true},
              {ui.cbUnifSeeding, false, false},
              {ui.cbRandomSeeding, false, false}});
    setHint(tr("Please select two seeds for timeline by clicking in the left view area"));
}

void MyClass::on_cbStrkline_stateChanged(int state)
{
    if (state == 0)
    {
        ui.cbStrkline->setChecked(false);
        return;
    }
    setBoxes({{ui.cbStrmline, true, false},
              {ui.cbPthline, true, false},
              {ui.cbTimeline, true, false},
              {ui.cbStrkline, true, true},
              {ui.cbSglPntSeeding, false, true},
              {ui.cbRakeSeeding, false, false},
              {ui.cbUnifSeeding, false, false},
              {ui.cbRandomSeeding, false, false}});
    setHint(tr("Please select one seed for streakline by clicking in the left view area"));
}

// ---- Comparisons ----

void MyClass::on_cbPthTimeComp_stateChanged(int state)
{
    if (state == 0)
    {
        ui.cbPthTimeComp->setChecked(false);
        return;
    }
    setBoxes({{ui.cbPthTimeComp, true, true},
              {ui.cbStrmStrkComp, true, false},
              {ui.cbPthStrkComp, true, false},
              {ui.cbSglPntSeeding, false, false},
              {ui.cbRakeSeeding, false, true},
              {ui.cbUnifSeeding, false, false},
              {ui.cbRandomSeeding, false, false}});
    setHint(tr("Please select two seeds by clicking in the left view area"));
}

void MyClass::on_cbStrmStrkComp_stateChanged(int state)
{
    if (state == 0)
    {
        ui.cbStrmStrkComp->setChecked(false);
        return;
    }
    setBoxes({{ui.cbPthTimeComp, true, false},
              {ui.cbStrmStrkComp, true, true},
              {ui.cbPthStrkComp, true, false},
              {ui.cbSglPntSeeding, false, true},
              {ui.cbRakeSeeding, false, false},
              {ui.cbUnifSeeding, false, false},
              {ui.cbRandomSeeding, false, false}});
    setHint(tr("Please select one seed by clicking in the left view area"));
}

void MyClass::on_cbPthStrkComp_stateChanged(int state)
{
    if (state == 0)
    {
        ui.cbPthStrkComp->setChecked(false);
        return;
    }
    setBoxes({{ui.cbPthTimeComp, true, false},
              {ui.cbStrmStrkComp, true, false},
              {ui.cbPthStrkComp, true, true},
              {ui.cbSglPntSeeding, false, true},
              {ui.cbRakeSeeding, false, false},
              {ui.cbUnifSeeding, false, false},
              {ui.cbRandomSeeding, false, false}});
    setHint(tr("Please select one seed by clicking in the left view area"));
}

// ---- Seeding ----

void MyClass::on_cbSglPntSeeding_stateChanged(int state)
{
    if (state == 0)
    {
        setHint(QString());
        return;
    }
    ui.cbRakeSeeding->setChecked(false);
    ui.cbUnifSeeding->setChecked(false);
    ui.cbRandomSeeding->setChecked(false);
    setHint(tr("Please select one points in the left view area"));
}

void MyClass::on_cbRakeSeeding_stateChanged(int state)
{
    const bool on = state != 0;
    ui.hSliRakeNumSeed->setEnabled(on);
    if (!on)
    {
        setHint(QString());
        return;
    }
    ui.cbSglPntSeeding->setChecked(false);
    ui.cbUnifSeeding->setChecked(false);
    ui.cbRandomSeeding->setChecked(false);
    setHint(tr("Please select two points in the left view area"));
}

void MyClass::on_hSliRakeNumSeed_valueChanged(int)
{
    ui.labCurrRakeNumSeed->setText(QString::number(ui.hSliRakeNumSeed->value()));
    setHint(tr("Drag the slider bar to change number of seeds for rake seeding and reselect two "
               "points in the left view area"));
}

void MyClass::on_cbUnifSeeding_stateChanged(int state)
{
    const bool on = state != 0;
    if (on)
    {
        ui.cbSglPntSeeding->setChecked(false);
        ui.cbRakeSeeding->setChecked(false);
        ui.cbRandomSeeding->setChecked(false);
    }
    ui.leUniNumSeed_x->setEnabled(on);
    ui.leUniNumSeed_y->setEnabled(on);
    setHint(on ? tr("The seeds are uniformly distributed in the left view area") : QString());
}

void MyClass::on_cbRandomSeeding_stateChanged(int state)
{
    const bool on = state != 0;
    if (on)
    {
        ui.cbSglPntSeeding->setChecked(false);
        ui.cbRakeSeeding->setChecked(false);
        ui.cbUnifSeeding->setChecked(false);
    }
    ui.leRanNumSeed->setEnabled(on);
    setHint(on ? tr("The seeds are randomly located in the left view area") : QString());
}

// ---- Critical points ----

void MyClass::disableAllFlowlineDrw()
{
    for (QCheckBox* kind : {ui.cbStrmline, ui.cbPthline, ui.cbStrkline, ui.cbTimeline})
        kind->setChecked(false);
    for (QCheckBox* kind : {ui.cbStrmline, ui.cbPthline, ui.cbTimeline, ui.cbStrkline})
        kind->setEnabled(false);
    for (QCheckBox* comparison : {ui.cbPthTimeComp, ui.cbStrmStrkComp, ui.cbPthStrkComp})
    {
        comparison->setChecked(false);
        comparison->setEnabled(false);
    }
    ui.cbSiglLine->setChecked(false);
    ui.cbMultiLine->setChecked(false);
    for (QCheckBox* seeding : {ui.cbRakeSeeding, ui.cbUnifSeeding, ui.cbRandomSeeding})
    {
        seeding->setEnabled(false);
        seeding->setChecked(false);
    }
}

void MyClass::showCritpntHint(int state, const QString& hint)
{
    if (state == 0)
        return;
    disableAllFlowlineDrw();
    setHint(hint);
}

void MyClass::on_cbRepFocus_stateChanged(int state)
{
    showCritpntHint(state, tr("Show selected types of critical points"));
}

void MyClass::on_cbAttrFocus_stateChanged(int state)
{
    showCritpntHint(state, tr("Show selected types of critical points"));
}

void MyClass::on_cbCenter_stateChanged(int state)
{
    showCritpntHint(state, tr("Show selected types of critical points"));
}

void MyClass::on_cbRepNode_stateChanged(int state)
{
    showCritpntHint(state, tr("Show selected types of critical points"));
}

void MyClass::on_cbAttrNode_stateChanged(int state)
{
    showCritpntHint(state, tr("Show selected types of critical points"));
}

void MyClass::on_cbSaddlePnt_stateChanged(int state)
{
    showCritpntHint(state, tr("Show selected types of critical points"));
}

void MyClass::on_cbCriticalPntStrml_stateChanged(int state)
{
    showCritpntHint(state, tr("Show selected critical points' template streamlines"));
}

void MyClass::setCritpntBoxes(bool checked)
{
    for (QCheckBox* box : {ui.cbRepFocus, ui.cbAttrFocus, ui.cbCenter, ui.cbRepNode, ui.cbAttrNode,
                           ui.cbSaddlePnt, ui.cbCriticalPntStrml})
        box->setChecked(checked);
}

void MyClass::on_pbSelectAllCritpnt_clicked()
{
    setCritpntBoxes(true);
    setHint(tr("Show all types of critical points and its template streamlines"));
}

void MyClass::on_pbSelectNoneCritpnt_clicked()
{
    setCritpntBoxes(false);
    setHint(tr("No critical point is shown"));
}

// ---- Animation ----

void MyClass::on_cbFlowlet_stateChanged(int state)
{
    // Arrows and tube lines exclude each other: whatever "Animation" becomes, "Tube" becomes
    // the opposite.
    switch (state)
    {
    case CBST_UNCHECK:
    case CBST_CHECK:
        break;
    case CBST_DISABLE:
    case CBST_DISABLE_CHECK:
    case CBST_DISABLE_UNCHECK:
        ui.cbFlowlet->setEnabled(false);
        break;
    case CBST_ENABLE:
    case CBST_ENABLE_CHECK:
    case CBST_ENABLE_UNCHECK:
        ui.cbFlowlet->setEnabled(true);
        break;
    default:
        return;
    }
    switch (state)
    {
    case CBST_CHECK:
    case CBST_ENABLE_CHECK:
    case CBST_DISABLE_CHECK:
        ui.cbFlowlet->setChecked(true);
        ui.cbTube->setChecked(false);
        break;
    case CBST_UNCHECK:
    case CBST_ENABLE_UNCHECK:
    case CBST_DISABLE_UNCHECK:
        ui.cbFlowlet->setChecked(false);
        ui.cbTube->setChecked(true);
        break;
    default:
        break;
    }
}

void MyClass::on_cbTube_stateChanged(int state)
{
    ui.pbPTlAnim->setEnabled(state != 0);
    if (state != 0)
        ui.cbFlowlet->setChecked(false);
}

void MyClass::on_pbStrmStrkPathlAnim_clicked()
{
    ++cntAnimStrmStrkPathl;
    ui.pbStrmStrkPathlAnim->setText(cntAnimStrmStrkPathl % 2 != 0 ? tr("Stop") : tr("Start"));
    emit view_toggle_singleFlowlineAnim_msg(cntAnimStrmStrkPathl);
}

void MyClass::change_AnimStrmStrkPathl()
{
    cntAnimStrmStrkPathl = 0;
    on_pbStrmStrkPathlAnim_clicked();
}

void MyClass::on_pbPTlAnim_clicked()
{
    ++cntAnimPTl;
    ui.pbPTlAnim->setText(cntAnimPTl % 2 != 0 ? tr("Stop") : tr("Start"));
    emit view_toggle_ptlineanim_msg(cntAnimPTl);
}

void MyClass::on_hSliAnimaSpeed_valueChanged(int value)
{
    flowView2d->onAnimationSpeedChanged(animationPeriod(value));
    setHint(tr("Adjusting animation speed"));
}

// ---- LIC background ----

void MyClass::on_cbLICBkImgOn_stateChanged(int state)
{
    switch (state)
    {
    case CBST_UNCHECK:
        ui.cbLICHistoEqu->setChecked(false);
        ui.cbLICBkImgOn->setChecked(false);
        break;
    case CBST_CHECK:
        ui.cbLICBkImgOn->setChecked(true);
        setHint(tr("LIC is for showing image of entire vector field"));
        break;
    case CBST_DISABLE:
        ui.cbLICBkImgOn->setEnabled(false);
        break;
    case CBST_ENABLE:
        ui.cbLICBkImgOn->setEnabled(true);
        break;
    case CBST_DISABLE_UNCHECK:
        ui.cbLICHistoEqu->setChecked(false);
        ui.cbLICBkImgOn->setEnabled(false);
        ui.cbLICBkImgOn->setChecked(false);
        break;
    default:
        break;
    }
}

// ---- Sliders ----

void MyClass::on_hSliTraceStpIntv_valueChanged(int value)
{
    ui.labCurrTraceStpIntv->setText(QString::number(value));
}

void MyClass::on_hSliUnstdySliceID_valueChanged(int value)
{
    ui.labCurrUnstdySlice->setText(QString::number(value));
}

void MyClass::on_hSliDisCtrl_valueChanged(int value)
{
    const float distance = value * 0.1;
    ui.labCurrDist->setText(tenths(distance));
}

void MyClass::on_cbDistCtrl_stateChanged(int state)
{
    const bool on = state != 0;
    ui.hSliDisCtrl->setEnabled(on);
    // Off always returns the slider to its minimum, the smallest distance.
    ui.hSliDisCtrl->setValue(on ? ui.hSliDisCtrl->value() : 0);
}

void MyClass::on_hSliStrklSliceIntv_valueChanged(int value)
{
    const float interval = value * 0.1;
    ui.labCurrStrklSliceIntv->setText(tenths(interval));
}

void MyClass::on_hSliStrklSliceIntv_sliderReleased()
{
    // A streakline releases one particle per interval, so the time steps it can reach shrink
    // as the interval grows; the 0.1 keeps exact quotients from rounding down.
    limitTimeSteps();
    emit view_strkSliceIntv_msg(ui.hSliStrklSliceIntv->value() * 0.1f);
}

void MyClass::limitTimeSteps()
{
    const float interval = ui.hSliStrklSliceIntv->value() * 0.1f;
    const int maxSlider = static_cast<int>(fieldSteps / interval + 0.1f);
    ui.labMaxUnstdyInterTimeID->setText(QString::number(maxSlider));
    ui.hSliUnstdyInterTimeID->setMaximum(maxSlider);
}

void MyClass::followFieldSteps(int steps)
{
    fieldSteps = steps > 0 ? steps : 48;
    limitTimeSteps();
}

void MyClass::on_hSliUnstdyInterTimeID_valueChanged(int value)
{
    // The view reports its animation time step here too; this moves the slider with it. The
    // label shows where the slider ends up, since a step outside its range is clamped.
    ui.hSliUnstdyInterTimeID->setValue(value);
    ui.labCurrUnstdyInterTimeID->setText(QString::number(ui.hSliUnstdyInterTimeID->value()));
}

// ---- Other ----

void MyClass::on_pbClrAllData_clicked()
{
    setHint(tr("Clear the screen"));
}

void MyClass::updateMouseCoor(int2 mouseCoor)
{
    ui.lbMouse_x->setText(QStringLiteral("x:%1").arg(mouseCoor.x));
    ui.lbMouse_y->setText(QStringLiteral("y:%1").arg(mouseCoor.y));
}
