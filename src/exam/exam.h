// The user-study quiz: shows the 18 questions one after another, grades and times each
// answer and keeps the progress in a results file, so an interrupted study resumes where it
// stopped. A host places a flow view beside it and honours its three requests.
#pragma once

#include "common/typeOperations.h"
#include "exam/questionBank.h"

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

class QGroupBox;
class QLabel;
class QMovie;
class QPushButton;
class QRadioButton;

class Exam : public QWidget
{
    Q_OBJECT

public:
    static const QString resultDir;  // "./exam_result"
    static const QString resultPath; // "./exam_result/user.txt"

    explicit Exam(QWidget* parent = nullptr);

    void setQuestion(const int& qid);
    void setTextQuestion(const Question& q);
    void setImageQuestion(const Question& q);
    void setCpClassfyQuestion(const CpClassifyQuestion& q);
    void setCpLocateQuestion(const CpLocateQuestion& q);
    void checkAnswer(const int& qid);
    // Each returns false when the file could not be written or read; a participant is told
    // when answers were not saved or an unreadable file had to be set aside.
    bool saveResult();
    bool readResult();

    QGroupBox* layout;
    QLabel* question;
    QRadioButton* buttonStatements[6];
    QLabel* labelStatements[6];
    QPushButton* next;
    QElapsedTimer timer;
    AnswerType textImageClassifyAnswers[kNumTextImageQuestions + kNumCpClassifyQuestions];
    float2 cpLocateAnswers[kNumCpLocateQuestions];
    GradeType grades[kNumQuestions];
    int msTime[kNumQuestions];
    int currQid;
    QLabel* labMessage; // what went wrong with the results file, for the participant

public slots:
    void setNextQuestion();
    void setCpLocateAnswer(float2 pos);

signals:
    void sendDrawCircleRequest(float2 pos);
    void sendShowFlowViewRequest(bool bShow);
    void sendLoad2dDataRequest(QString path);

private:
    void resetProgress();
    void setClosingScreen();
    void setTextImageFrame(const Question& q);
    void setCpFrame();
    void showMessage(const QString& text);
    void showImage(int i, const QString& path);
    void hideStatement(int i);
    int firstCheckedButton(int numButtons) const;
    bool writeResultFile() const;
    void setAsideResultFile();

    bool bSaveBlocked = false; // an unreadable results file is still in place
};
