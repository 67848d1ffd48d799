#include "app/ftlePanel.h"

#include "view/flowView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>

namespace
{
// The rows below the group's other widgets, which end at y = 503.
constexpr int kTop = 515;
constexpr int kRow = 25;

QString tip(const QString& text)
{
    return QStringLiteral("<span style=\" color:#000000;\">%1</span>").arg(text);
}
} // namespace

FtlePanel::FtlePanel(QGroupBox* group, FlowView* view) : QObject(group)
{
    createModes(group);
    createDuration(group);
    cbFtleMultiply = new QCheckBox(tr("Multiply into LIC"), group);
    cbFtleMultiply->setObjectName("cbFtleMultiply");
    cbFtleMultiply->setGeometry(10, kTop + 2 * kRow, 171, 21);
    cbFtleMultiply->setToolTip(tip(tr("Darken the LIC image by the FTLE colours, so the "
                                      "streaks stay visible")));
    progFtle = new QProgressBar(group);
    progFtle->setObjectName("progFtle");
    progFtle->setGeometry(260, kTop + 2 * kRow, 160, 21);
    progFtle->setRange(0, 100);
    progFtle->hide();

    connect(rbtnFtle, &QButtonGroup::idClicked, view, &FlowView::on_view_changeFtleMode);
    connect(hSliFtleDuration, &QSlider::valueChanged, view, &FlowView::on_view_changeFtleDuration);
    connect(cbFtleMultiply, &QCheckBox::stateChanged, view, &FlowView::on_view_toggleFtleMultiply);
    connect(view, &FlowView::view_ftle_progress_msg, progFtle,
            [this](int percent)
            {
                progFtle->setVisible(percent >= 0);
                progFtle->setValue(std::max(percent, 0));
            });
}

void FtlePanel::createModes(QGroupBox* group)
{
    auto* title = new QLabel(tr("FTLE"), group);
    title->setObjectName("labFtle");
    title->setGeometry(10, kTop, 41, 21);
    rbtnFtle = new QButtonGroup(this);
    const struct
    {
        const char* name;
        QString text;
        int id;
    } modes[] = {{"rbtnFtleOff", tr("Off"), FlowView::kFtleOff},
                 {"rbtnFtleForward", tr("Forward"), FlowView::kFtleForward},
                 {"rbtnFtleBackward", tr("Backward"), FlowView::kFtleBackward},
                 {"rbtnFtleBoth", tr("Both"), FlowView::kFtleBoth}};
    int x = 55;
    for (const auto& mode : modes)
    {
        auto* button = new QRadioButton(mode.text, group);
        button->setObjectName(mode.name);
        button->setGeometry(x, kTop, 85, 21);
        button->setChecked(mode.id == FlowView::kFtleOff);
        rbtnFtle->addButton(button, mode.id);
        x += 90;
    }
    rbtnFtle->button(FlowView::kFtleOff)
        ->setToolTip(tip(tr("Finite-time Lyapunov exponents from the confirmed time step: "
                            "where the flow pulls apart (forward) or gathers (backward)")));
}

void FtlePanel::createDuration(QGroupBox* group)
{
    auto* title = new QLabel(tr("Duration"), group);
    title->setObjectName("labFtleDuration");
    title->setGeometry(10, kTop + kRow, 61, 21);
    hSliFtleDuration = new QSlider(Qt::Horizontal, group);
    hSliFtleDuration->setObjectName("hSliFtleDuration");
    hSliFtleDuration->setGeometry(75, kTop + kRow + 1, 300, 19);
    hSliFtleDuration->setRange(1, 47);
    hSliFtleDuration->setValue(10);
    hSliFtleDuration->setToolTip(tip(tr("Time steps the particles travel")));
    auto* current = new QLabel(tr("10 steps"), group);
    current->setObjectName("labCurrFtleDuration");
    current->setGeometry(380, kTop + kRow, 55, 21);
    connect(hSliFtleDuration, &QSlider::valueChanged, current,
            [current](int value) { current->setText(tr("%1 steps").arg(value)); });
}
