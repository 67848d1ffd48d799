#include "app/myclass.h"
#include "view/flowView.h"

#include <QApplication>
#include <QStyleFactory>
#include <QSurfaceFormat>

int main(int argc, char* argv[])
{
    // Before the application object, so every GL context gets the view's format.
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());

    QApplication app(argc, argv);
    // "plastique" is gone from current toolkits; Fusion is its closest successor.
    if (!QApplication::setStyle("plastique"))
        QApplication::setStyle("Fusion");
    MyClass window;
    window.show();
    return app.exec();
}
