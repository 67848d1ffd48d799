// The main window: the flow view on the left, the control panel on the right and a one-line
// hint below both, placed once near the centre of the screen.
#pragma once

#include "ui_myclass.h"

#include <QMainWindow>

class QGroupBox;
class QScreen;

class MyClass : public QMainWindow
{
    Q_OBJECT

public:
    explicit MyClass(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    // The window rectangle for a desktop of the given size: centred horizontally, 15 pixels
    // below the true centre vertically, never clamped.
    static QRect placement(QSize desktopSize, int viewW);

    int viewW = 600;
    int viewH = 600;
    Ui_MyClassClass ui;
    QScreen* desktop = nullptr;
    QGroupBox* motherGroupbox = nullptr;
    int cntAnimPTl = 0;
    int cntAnimStrmStrkPathl = 1;
};
