// The study host: one window with the quiz on the right and a flow view on the left. It
// shows or hides the view, loads the data sets and draws the circle the quiz asks for, and
// hands the participant's confirming right click back to the quiz.
#pragma once

#include "common/typeOperations.h"

#include <QString>
#include <QWidget>

class Exam;
class QLabel;
class StudyView;

class StudyWindow : public QWidget
{
    Q_OBJECT

public:
    explicit StudyWindow(QWidget* parent = nullptr);

    static constexpr int kWidth = 1200; // the quiz's text frame fills the window
    static constexpr int kHeight = 900;
    static constexpr int kViewSize = 820;

    StudyView* view;
    Exam* exam;
    QLabel* labLoadError; // a data set that could not be loaded

public slots:
    void showFlowView(bool bShow);
    void load2dData(QString path);
};
