#include "studyWindow.h"

#include "exam/exam.h"
#include "exam/studyView.h"

#include <QLabel>

StudyWindow::StudyWindow(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(tr("Quorvel study"));
    setFixedSize(kWidth, kHeight);
    view = new StudyView(this, kViewSize);
    view->setGeometry(20, 20, kViewSize, kViewSize);
    view->hide();
    labLoadError = new QLabel(this);
    labLoadError->setGeometry(20, 20 + kViewSize + 10, kViewSize, 40);
    labLoadError->setStyleSheet(QStringLiteral("color: red"));
    labLoadError->setWordWrap(true);
    labLoadError->hide();

    exam = new Exam(this);
    connect(exam, &Exam::sendShowFlowViewRequest, this, &StudyWindow::showFlowView);
    connect(exam, &Exam::sendLoad2dDataRequest, this, &StudyWindow::load2dData);
    connect(exam, &Exam::sendDrawCircleRequest, view, &StudyView::setCircle);
    connect(view, &StudyView::locationConfirmed, exam, &Exam::setCpLocateAnswer);
    // The quiz asked for its first question's view before anything was connected.
    exam->setQuestion(exam->currQid);
}

void StudyWindow::showFlowView(bool bShow)
{
    view->setVisible(bShow);
    if (!bShow)
        labLoadError->hide();
}

void StudyWindow::load2dData(QString path)
{
    const bool ok = view->loadSteadyDataSet(path);
    labLoadError->setText(ok ? QString()
                             : tr("The data set %1 could not be loaded (%1.txt and %1.dat are "
                                  "needed). Please tell the study supervisor.")
                                   .arg(path));
    labLoadError->setVisible(!ok);
}
