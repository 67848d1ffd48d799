// quorvel-screenshot FOLDER IMAGE: renders the view on the default data in FOLDER (as
// quorvel-datagen writes it) with the LIC background, every critical point type and their
// template streamlines, and saves the frame as IMAGE. The README's picture comes from here.
#include "view/flowView.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: quorvel-screenshot FOLDER IMAGE\n");
        return 2;
    }
    const QString image = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[2]));
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    QApplication app(argc, argv);
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[1])))
    {
        std::fprintf(stderr, "quorvel-screenshot: no folder %s\n", argv[1]);
        return 1;
    }
    FlowView view(nullptr, 600, 600);
    view.resize(600, 600);
    view.show();
    QApplication::processEvents();
    view.on_view_toggleLICBk(2);
    view.on_view_toggleCriticalPntStrml(2);
    view.on_view_toggleRepFocus(2);
    view.on_view_toggleAttrFocus(2);
    view.on_view_toggleCenter(2);
    view.on_view_toggleRepNode(2);
    view.on_view_toggleAttrNode(2);
    view.on_view_toggleSaddlePnt(2);
    if (!view.grabFramebuffer().save(image))
    {
        std::fprintf(stderr, "quorvel-screenshot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
