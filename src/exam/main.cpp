// quorvel-study: runs the user-study quiz beside a flow view, in the working directory that
// holds exam/ (the study material) and receives exam_result/user.txt.
#include "exam/studyWindow.h"
#include "view/flowView.h"

#include <QApplication>
#include <QSurfaceFormat>

int main(int argc, char* argv[])
{
    // Before the application object, so every GL context gets the view's format.
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    QApplication app(argc, argv);
    StudyWindow window;
    window.show();
    return app.exec();
}
