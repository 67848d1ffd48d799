#include "app/myclass.h"

#include <QApplication>
#include <QStyleFactory>
#include <QSurfaceFormat>

int main(int argc, char* argv[])
{
    // The view draws with fixed-function GL, so it needs a compatibility context, and its
    // lines are smoothed by multisampling.
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setSamples(4);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication app(argc, argv);
    // "plastique" is gone from current toolkits; Fusion is its closest successor.
    if (!QApplication::setStyle("plastique"))
        QApplication::setStyle("Fusion");
    MyClass window;
    window.show();
    return app.exec();
}
