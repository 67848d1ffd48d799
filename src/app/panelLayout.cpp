#include "app/panelLayout.h"

#include "ui_myclass.h"

#include <QMainWindow>
#include <QScreen>
#include <QShortcut>

namespace
{
// Where the group sits in the compact layout: no area, outside the window.
const QRect kHiddenGroup(1170, 0, 0, 0);
// The group's own widgets reach 435 across and 586 down; the hint line starts at 645.
const QSize kGroupSize(440, 600);
// The margin right of the group, as left of the view.
constexpr int kMargin = 15;
} // namespace

PanelLayout::PanelLayout(QMainWindow* mainWindow, Ui_MyClassClass& form, int viewSide)
    : QObject(mainWindow), window(mainWindow), ui(form), viewW(viewSide)
{
    createMarkSize();
    createTracks();
    adoptGroupWidgets();
    auto* key = new QShortcut(shortcut(), window);
    connect(key, &QShortcut::activated, this, &PanelLayout::toggle);
}

bool PanelLayout::fullRequested()
{
    return qgetenv("QUORVEL_PANEL") == "full";
}

QKeySequence PanelLayout::shortcut()
{
    return QKeySequence(Qt::CTRL | Qt::Key_M);
}

void PanelLayout::createMarkSize()
{
    auto* title = new QLabel(tr("Mark Size"), ui.groupBox_5);
    title->setObjectName("labMarkSize");
    title->setGeometry(260, 350, 101, 21);
    auto* current = new QLabel(tr("100 %"), ui.groupBox_5);
    current->setObjectName("labCurrMarkSize");
    current->setGeometry(370, 350, 51, 21);
    hSliMarkSize = new QSlider(Qt::Horizontal, ui.groupBox_5);
    hSliMarkSize->setObjectName("hSliMarkSize");
    hSliMarkSize->setGeometry(260, 370, 160, 19);
    hSliMarkSize->setRange(25, 400);
    hSliMarkSize->setSingleStep(5);
    hSliMarkSize->setPageStep(25);
    hSliMarkSize->setValue(100);
    hSliMarkSize->setToolTip(tr(
        "<span style=\" color:#000000;\">Scale lines, seed discs and critical point glows</span>"));
    connect(hSliMarkSize, &QSlider::valueChanged, current,
            [current](int value) { current->setText(tr("%1 %").arg(value)); });
}

void PanelLayout::adoptGroupWidgets()
{
    for (QWidget* widget : ui.groupBox_5->findChildren<QWidget*>())
        if (!focusPolicies.contains(widget) && widget->focusPolicy() != Qt::NoFocus)
            focusPolicies.insert(widget, widget->focusPolicy());
    applyFocus();
}

void PanelLayout::createTracks()
{
    cbTracks = new QCheckBox(tr("Tracks"), ui.groupBox_5);
    cbTracks->setObjectName("cbTracks");
    cbTracks->setGeometry(260, 400, 171, 21);
    cbTracks->setToolTip(
        tr("<span style=\" color:#000000;\">Track the ticked critical point types through all "
           "time steps</span>"));
}

void PanelLayout::setFull(bool on)
{
    full = on;
    ui.groupBox_5->setTitle(on ? tr("More") : tr("Disabled"));
    // Beside the first group, which ends at viewW + 460.
    const QRect group = on ? QRect(QPoint(viewW + 470, 15), kGroupSize) : kHiddenGroup;
    ui.groupBox_5->setGeometry(group);
    applyFocus();
    fitWindow(on ? group.right() + 1 + kMargin : viewW + 475);
}

void PanelLayout::toggle()
{
    setFull(!full);
    const QString key = shortcut().toString(QKeySequence::NativeText);
    emit hint(full ? tr("All controls shown. %1 returns to the compact panel; QUORVEL_PANEL=full "
                        "starts with all controls")
                         .arg(key)
                   : tr("Compact panel. %1 shows all controls; QUORVEL_PANEL=full starts with them")
                         .arg(key));
}

// Hidden widgets must not be Tab stops: a Space would act on a control nobody can see.
void PanelLayout::applyFocus()
{
    for (auto it = focusPolicies.cbegin(); it != focusPolicies.cend(); ++it)
        it.key()->setFocusPolicy(full ? it.value() : Qt::NoFocus);
    QWidget* focused = window->focusWidget();
    if (!full && focused && ui.groupBox_5->isAncestorOf(focused))
        focused->clearFocus();
}

// Keeps the window's centre and height, and keeps it on its screen where it fits.
void PanelLayout::fitWindow(int width)
{
    QRect frame = window->geometry();
    frame.setRect(frame.x() + (frame.width() - width) / 2, frame.y(), width, frame.height());
    if (const QScreen* screen = window->screen())
    {
        const QRect room = screen->availableGeometry();
        if (frame.right() > room.right())
            frame.moveRight(room.right());
        if (frame.left() < room.left())
            frame.moveLeft(room.left());
    }
    window->setGeometry(frame);
}
