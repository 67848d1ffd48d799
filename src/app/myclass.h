// The main window: the flow view on the left, the control panel on the right and a one-line
// hint below both, placed once near the centre of the screen. The window keeps the panel
// consistent (modes, exclusions, slider labels, hints); the view does the drawing.
#pragma once

#include "common/typeOperations.h"
#include "ui_myclass.h"
#include "view/flowView.h"

#include <QMainWindow>

#include <initializer_list>

class FieldOpenMenu;
class QGroupBox;
class PanelLayout;
class QScreen;
class TabReadStdyDat;
class TabReadUnstdyDat;

class MyClass : public QMainWindow
{
    Q_OBJECT

public:
    explicit MyClass(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~MyClass() override;

    // Opens the field file a command line names (arguments after the program's name); false
    // when there is none or it was refused.
    bool openFromArguments(const QStringList& arguments);
    // Shows a message in the hint line; an error stays red until the next action.
    void showMessage(const QString& message, bool error);

    // The window rectangle for a desktop of the given size: centred horizontally, 15 pixels
    // below the true centre vertically, never clamped.
    static QRect placement(QSize desktopSize, int viewW);

    // The animation timer period in milliseconds for a speed slider position: the slider's
    // "High" end gives the shortest period, its "Low" end the longest.
    int animationPeriod(int value) const;

    FlowView* flowView2d = nullptr; // child of ui.gbFlowView
    TabReadStdyDat* rdStdyDat = nullptr;
    TabReadUnstdyDat* rdUbstdyDat = nullptr;
    int viewW = 600;
    int viewH = 600;
    Ui_MyClassClass ui;
    QScreen* desktop = nullptr;
    QGroupBox* motherGroupbox = nullptr;
    int cntAnimPTl = 0;
    int cntAnimStrmStrkPathl = 1;
    // Compact or full panel; owns the full panel's mark-size slider.
    PanelLayout* panelLayout = nullptr;
    // File -> Open, Ctrl+O and files dropped on the view.
    FieldOpenMenu* fieldOpenMenu = nullptr;

signals:
    void view_strkSliceIntv_msg(float);
    void view_toggle_ptlineanim_msg(int);
    void view_toggle_singleFlowlineAnim_msg(int);

public slots:
    void on_pbClrAllData_clicked();
    void updateMouseCoor(int2 mouseCoor);
    void on_cbSglPntSeeding_stateChanged(int state);
    void on_cbRakeSeeding_stateChanged(int state);
    void on_hSliRakeNumSeed_valueChanged(int value);
    void on_cbUnifSeeding_stateChanged(int state);
    void on_cbRandomSeeding_stateChanged(int state);
    void on_cbMultiLine_stateChanged(int state);
    void on_cbSiglLine_stateChanged(int state);
    void on_cbStrmline_stateChanged(int state);
    void on_cbPthline_stateChanged(int state);
    void on_cbTimeline_stateChanged(int state);
    void on_cbStrkline_stateChanged(int state);
    void on_cbPthTimeComp_stateChanged(int state);
    void on_cbPthStrkComp_stateChanged(int state);
    void on_cbStrmStrkComp_stateChanged(int state);
    void on_hSliUnstdyInterTimeID_valueChanged(int value);
    void on_cbLICBkImgOn_stateChanged(int state);
    void on_hSliAnimaSpeed_valueChanged(int value);
    void on_hSliTraceStpIntv_valueChanged(int value);
    void on_cbDistCtrl_stateChanged(int state);
    void on_hSliDisCtrl_valueChanged(int value);
    void on_hSliStrklSliceIntv_valueChanged(int value);
    void on_hSliStrklSliceIntv_sliderReleased();
    void on_hSliUnstdySliceID_valueChanged(int value);
    void on_pbSelectNoneCritpnt_clicked();
    void on_pbSelectAllCritpnt_clicked();
    void on_cbTube_stateChanged(int state);
    void on_cbFlowlet_stateChanged(int state);
    void on_pbPTlAnim_clicked();
    void on_cbCriticalPntStrml_stateChanged(int state);
    void on_pbStrmStrkPathlAnim_clicked();
    void on_cbRepFocus_stateChanged(int state);
    void on_cbAttrFocus_stateChanged(int state);
    void on_cbCenter_stateChanged(int state);
    void on_cbRepNode_stateChanged(int state);
    void on_cbAttrNode_stateChanged(int state);
    void on_cbSaddlePnt_stateChanged(int state);
    void change_AnimStrmStrkPathl();
    // A tab's data set was loaded: the slice slider covers its depth.
    void dataSetLoaded(int depth, int slice);
    // The time-step slider reaches every step of the loaded field (48 without one).
    void followFieldSteps(int steps);

protected:
    // A press in the view is the next action, which ends an error shown in the hint line.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One check box of a row of the panel's exclusion tables.
    struct BoxState
    {
        QCheckBox* box;
        bool enabled;
        bool checked;
    };

    void connectFrame();
    void initSliders();
    void initFileReading();
    void initSeedingTypes();
    void initFlowlineTypes();
    void initLICImage();
    void initCritpntDetect();
    void initToolTipsAndSwatches();
    void disableAllFlowlineDrw();

    // Enables each box, then sets its check state, in the order given; a changed state runs
    // that box's own slots at once.
    static void setBoxes(std::initializer_list<BoxState> boxes);
    static void setBlackToolTip(QWidget* widget, const QString& text);
    void setCritpntBoxes(bool checked);
    void showCritpntHint(int state, const QString& hint);
    void setHint(const QString& hint);
    void handOverTabPaths(bool steady);
    void clearError();
    // The time-step slider's end: the field's steps over the released streak interval.
    void limitTimeSteps();

    bool errorShown = false;
    int fieldSteps = 48;
};
