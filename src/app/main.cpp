#include "app/myclass.h"
#include "view/flowView.h"

#include <QApplication>
#include <QStyleFactory>
#include <QSurfaceFormat>
#include <cstdio>
#include <cstring>

namespace
{
const char* const kUsage =
    "usage: quorvel [FIELD]\n"
    "\n"
    "Opens the flow field FIELD in the window: a binary slice file, a steady or unsteady\n"
    "header (.txt) or a NetCDF file. Without FIELD the window shows ./data/hurricane_z_8.dat.\n"
    "File > Open (Ctrl+O) and dropping a file on the view open another field.\n"
    "\n"
    "  -h, --help   print this text and exit\n";

bool asksForHelp(int argc, char* argv[])
{
    for (int k = 1; k < argc; ++k)
        if (std::strcmp(argv[k], "--help") == 0 || std::strcmp(argv[k], "-h") == 0)
            return true;
    return false;
}
} // namespace

int main(int argc, char* argv[])
{
    // No window and no display are needed to print the usage.
    if (asksForHelp(argc, argv))
    {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // Before the application object, so every GL context gets the view's format.
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());

    QApplication app(argc, argv);
    // "plastique" is gone from current toolkits; Fusion is its closest successor.
    if (!QApplication::setStyle("plastique"))
        QApplication::setStyle("Fusion");
    MyClass window;
    window.show();
    window.openFromArguments(QApplication::arguments().mid(1));
    return app.exec();
}
