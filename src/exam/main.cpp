// quorvel-study: runs the user-study quiz beside a flow view, in the working directory that
// holds exam/ (the study material) and receives exam_result/user.txt.
#include "common/commandLine.h"
#include "exam/studyWindow.h"
#include "view/flowView.h"

#include <QApplication>
#include <QSurfaceFormat>

namespace
{
const char* const kUsage =
    "usage: quorvel-study [Qt options]\n"
    "Runs the user-study quiz in the working directory, which holds exam/ and data/; the\n"
    "results go to exam_result/user.txt.\n";
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
    StudyWindow window;
    window.show();
    return app.exec();
}
