// The two layouts of the main window's control panel. The compact one is the window as it
// always opens: the second control group has no area and none of its widgets can take the
// keyboard focus. The full one stands that group, titled "More", to the right of the first
// and widens the window to fit it, at the same height. Both show the same widget objects,
// so switching keeps every state and connection. The full panel adds the mark-size slider
// and the critical point tracks' check box.
#pragma once

#include <QHash>
#include <QKeySequence>
#include <QObject>

class QCheckBox;
class QMainWindow;
class QSlider;
class QWidget;
class Ui_MyClassClass;

class PanelLayout : public QObject
{
    Q_OBJECT

public:
    PanelLayout(QMainWindow* window, Ui_MyClassClass& ui, int viewW);

    // True when the environment asks for the full panel from the start (QUORVEL_PANEL=full).
    static bool fullRequested();
    static QKeySequence shortcut();

    bool isFull() const { return full; }
    // Takes widgets added to the group since into its focus handling.
    void adoptGroupWidgets();

    // Mark size in percent, 25 to 400; a label beside it shows the value.
    QSlider* hSliMarkSize = nullptr;
    // "Tracks": the critical points' tracks over all time steps; unchecked at start.
    QCheckBox* cbTracks = nullptr;

signals:
    // A sentence for the hint line.
    void hint(const QString& text);

public slots:
    // Switches layouts; the window widens or narrows about its centre.
    void setFull(bool on);
    // The shortcut's switch, which also tells in the hint line how to switch.
    void toggle();

private:
    void createMarkSize();
    void createTracks();
    void applyFocus();
    void fitWindow(int width);

    QMainWindow* window;
    Ui_MyClassClass& ui;
    int viewW;
    bool full = false;
    QHash<QWidget*, Qt::FocusPolicy> focusPolicies; // each group widget's own policy
};
