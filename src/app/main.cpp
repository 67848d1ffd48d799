#include "app/myclass.h"
#include "common/commandLine.h"
#include "view/flowView.h"

#include <QApplication>
#include <QStyleFactory>
#include <QSurfaceFormat>

namespace
{
const char* const kUsage =
    "usage: quorvel [Qt options] [FIELD]\n"
    "Opens the window on the flow field FIELD: a binary slice file, a steady or unsteady header\n"
    "(.txt) or a NetCDF file; without FIELD on ./data/hurricane_z_8.dat in the working\n"
    "directory. File > Open (Ctrl+O) or a file dropped on the view opens another one. The full\n"
    "panel shows with QUORVEL_PANEL=full (or Ctrl+M).\n";
}

int main(int argc, char* argv[])
{
    if (const int code = CommandLine::helpAsked(argc, argv, kUsage); code >= 0)
        return code;
    // Before the application object, so every GL context gets the view's format.
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());

    QApplication app(argc, argv);
    if (const int code = CommandLine::unknownOption(argc, argv, kUsage); code >= 0)
        return code;
    // "plastique" is gone from current toolkits; Fusion is its closest successor.
    if (!QApplication::setStyle("plastique"))
        QApplication::setStyle("Fusion");
    MyClass window;
    window.show();
    window.openFromArguments(QApplication::arguments().mid(1));
    return app.exec();
}
