// The FTLE controls of the control panel's "More" group: off, forward, backward or both, the
// duration in time steps, drawing over or multiplied into the LIC image, and the progress of
// the running computation. They drive the view's FTLE slots.
#pragma once

#include <QObject>

class FlowView;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QSlider;

class FtlePanel : public QObject
{
    Q_OBJECT

public:
    FtlePanel(QGroupBox* group, FlowView* view);

    QButtonGroup* rbtnFtle = nullptr; // ids FlowView::kFtleOff ... kFtleBoth
    QSlider* hSliFtleDuration = nullptr;
    QCheckBox* cbFtleMultiply = nullptr;
    QProgressBar* progFtle = nullptr;

private:
    void createModes(QGroupBox* group);
    void createDuration(QGroupBox* group);
};
