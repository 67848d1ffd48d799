#include "app/myclass.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>

MyClass::MyClass(QWidget* parent, Qt::WindowFlags flags) : QMainWindow(parent, flags)
{
    desktop = QGuiApplication::primaryScreen();
    ui.setupUi(this);

    motherGroupbox = findChild<QGroupBox*>("groupBox_4");
    motherGroupbox->setGeometry(viewW + 50, 15, 410, 440);

    const QSize desktopSize = desktop ? desktop->geometry().size() : QSize(viewW + 475, viewW + 90);
    setGeometry(placement(desktopSize, viewW));
    ui.labHint->setGeometry(15, viewW + 45, viewW + 475, 30);
    setWindowTitle(tr("Quorvel"));
    ui.gbFlowView->setGeometry(15, 15, viewW + 30, viewW + 30);
}

QRect MyClass::placement(QSize desktopSize, int viewW)
{
    const int x = static_cast<int>((desktopSize.width() - (viewW + 475)) * 0.5);
    const int y = static_cast<int>((desktopSize.height() - (viewW + 60)) * 0.5);
    return QRect(x, y, viewW + 475, viewW + 90);
}
