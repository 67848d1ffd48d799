#include "exam.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMovie>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <climits>
#include <cmath>

const QString Exam::resultDir = QStringLiteral("./exam_result");
const QString Exam::resultPath = QStringLiteral("./exam_result/user.txt");

namespace
{
constexpr int kNumChoiceQuestions = kNumTextImageQuestions + kNumCpClassifyQuestions;
constexpr int kResultValues =
    1 + kNumChoiceQuestions + 2 * kNumCpLocateQuestions + kNumQuestions + kNumQuestions;
constexpr float kLocateTolerance = 0.075f;
// Both frames are wider than their first design: the longest statement and the critical
// point questions' lines would otherwise be cut off.
constexpr int kTextFrameWidth = 750;
constexpr int kCpFrameWidth = 320;
const QString kFinish = QStringLiteral("Finish");

// The quiz state as the results file holds it, parsed completely before any of it is taken.
struct Progress
{
    int currQid = 0;
    AnswerType answers[kNumChoiceQuestions];
    float2 locations[kNumCpLocateQuestions];
    GradeType grades[kNumQuestions];
    int msTime[kNumQuestions];
};

bool readInt(const QStringList& tokens, int& at, int low, int high, int& value)
{
    bool ok = false;
    value = at < tokens.size() ? tokens[at].toInt(&ok) : 0;
    ++at;
    return ok && value >= low && value <= high;
}

bool readFloat(const QStringList& tokens, int& at, float& value)
{
    bool ok = false;
    value = at < tokens.size() ? tokens[at].toFloat(&ok) : 0.0f;
    ++at;
    return ok;
}

// Accepts exactly the 55 values in their ranges: anything else is not a file this quiz wrote.
bool parseProgress(const QString& text, Progress& p)
{
    const QStringList tokens =
        text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (tokens.size() != kResultValues)
        return false;
    int at = 0;
    int v = 0;
    if (!readInt(tokens, at, 0, INT_MAX - 1, p.currQid))
        return false;
    for (AnswerType& answer : p.answers)
    {
        if (!readInt(tokens, at, ANS_STATEMENT_A, ANS_NO_ANSWER, v))
            return false;
        answer = AnswerType(v);
    }
    for (float2& location : p.locations)
        if (!readFloat(tokens, at, location.x) || !readFloat(tokens, at, location.y))
            return false;
    for (GradeType& grade : p.grades)
    {
        if (!readInt(tokens, at, GRADE_WRONG, GRADE_NOT_ANSWERED, v))
            return false;
        grade = GradeType(v);
    }
    for (int& ms : p.msTime)
        if (!readInt(tokens, at, 0, INT_MAX, ms))
            return false;
    return true;
}
} // namespace

Exam::Exam(QWidget* parent) : QWidget(parent)
{
    layout = new QGroupBox(this);
    question = new QLabel(layout);
    QFont font = question->font();
    font.setPointSize(12);
    question->setFont(font);
    for (int i = 0; i < 6; ++i)
    {
        buttonStatements[i] = new QRadioButton(layout);
        buttonStatements[i]->setFont(font);
        buttonStatements[i]->hide();
        labelStatements[i] = new QLabel(layout);
        labelStatements[i]->setFont(font);
        labelStatements[i]->hide();
    }
    next = new QPushButton(QStringLiteral("next"), layout);
    connect(next, &QPushButton::clicked, this, &Exam::setNextQuestion);

    labMessage = new QLabel(this);
    labMessage->setWordWrap(true);
    labMessage->setStyleSheet(QStringLiteral("color: red"));
    labMessage->hide();

    resetProgress();
    readResult();
    timer.start();
    setQuestion(currQid);
}

void Exam::resetProgress()
{
    currQid = 0;
    for (AnswerType& answer : textImageClassifyAnswers)
        answer = ANS_NO_ANSWER;
    for (float2& location : cpLocateAnswers)
        location = makeFloat2(-1.0f, -1.0f);
    for (int q = 0; q < kNumQuestions; ++q)
    {
        grades[q] = GRADE_NOT_ANSWERED;
        msTime[q] = 0;
    }
}

void Exam::setQuestion(const int& qid)
{
    if (next->text() == kFinish)
        setClosingScreen();
    if (qid < 0)
        return;
    if (qid < kFirstImageQid)
        setTextQuestion(textImageQuestions[qid]);
    else if (qid < kFirstCpClassifyQid)
        setImageQuestion(textImageQuestions[qid]);
    else if (qid < kFirstCpLocateQid)
        setCpClassfyQuestion(cpClassifyQuestions[qid - kFirstCpClassifyQid]);
    else if (qid < kNumQuestions)
        setCpLocateQuestion(cpLocateQuestions[qid - kFirstCpLocateQid]);
    else
        next->setText(kFinish);
}

// The parent's area; a quiz shown as a window of its own fills its own area instead.
void Exam::setClosingScreen()
{
    const QSize area = parentWidget() ? parentWidget()->size() : size();
    const int w = area.width(), h = area.height();
    setGeometry(0, 0, w, h);
    layout->setGeometry(w / 2 - 400, h / 2 - 200, 800, 400);
    for (int i = 0; i < 6; ++i)
        hideStatement(i);
    question->setText(QStringLiteral("Thank you!"));
    question->setAlignment(Qt::AlignCenter);
    QFont font = question->font();
    font.setPointSize(36);
    question->setFont(font);
    question->setGeometry(200, 50, 400, 300);
    labMessage->setGeometry(w / 2 - 400, h / 2 + 210, 800, 60);
    emit sendShowFlowViewRequest(false);
    next->hide();
}

void Exam::setTextImageFrame(const Question& q)
{
    setGeometry(0, 0, 1200, 900);
    layout->setGeometry(600 - kTextFrameWidth / 2, 225, kTextFrameWidth, 450);
    next->setGeometry(kTextFrameWidth - 70, 400, 50, 26);
    question->setGeometry(20, 0, 600, 80);
    question->setText(QString::fromUtf8(q.question));
    labMessage->setGeometry(600 - kTextFrameWidth / 2, 685, kTextFrameWidth, 60);
    emit sendShowFlowViewRequest(false);
}

void Exam::setCpFrame()
{
    setGeometry(865, 15, kCpFrameWidth, 800);
    layout->setGeometry(0, 0, kCpFrameWidth, 400);
    next->setGeometry(140, 360, 50, 26);
    labMessage->setGeometry(0, 410, kCpFrameWidth, 200);
}

void Exam::setTextQuestion(const Question& q)
{
    setTextImageFrame(q);
    for (int i = 0; i < q.numStatement; ++i)
    {
        hideStatement(i);
        buttonStatements[i]->setText(QString::fromUtf8(q.statements[i]));
        buttonStatements[i]->setGeometry(20, 80 * (i + 1), 780, 80);
        buttonStatements[i]->show();
    }
    for (int i = q.numStatement; i < 6; ++i)
    {
        hideStatement(i);
        buttonStatements[i]->hide();
    }
    buttonStatements[0]->setChecked(true);
}

void Exam::setImageQuestion(const Question& q)
{
    setTextImageFrame(q);
    for (int i = 0; i < q.numStatement; ++i)
    {
        const int x = 20 + 320 * i;
        showImage(i, QString::fromUtf8(q.statements[i]));
        labelStatements[i]->setGeometry(x + 20, 80, 280, 280);
        labelStatements[i]->show();
        buttonStatements[i]->setText(QString());
        buttonStatements[i]->setGeometry(x, 80, 15, 15);
        buttonStatements[i]->show();
    }
    for (int i = q.numStatement; i < 6; ++i)
    {
        hideStatement(i);
        buttonStatements[i]->hide();
    }
    buttonStatements[0]->setChecked(true);
}

void Exam::setCpClassfyQuestion(const CpClassifyQuestion& q)
{
    setCpFrame();
    question->setGeometry(20, 0, 600, 120);
    question->setText(QString::fromUtf8(q.question));
    emit sendShowFlowViewRequest(true);
    emit sendLoad2dDataRequest(QString::fromUtf8(q.dataPath));
    emit sendDrawCircleRequest(q.pointToClassify);
    for (int i = 0; i < 6; ++i)
    {
        hideStatement(i);
        buttonStatements[i]->setText(QString::fromUtf8(cpNames[i]));
        buttonStatements[i]->setGeometry(20, 120 + 40 * i, 150, 26);
        buttonStatements[i]->show();
    }
}

void Exam::setCpLocateQuestion(const CpLocateQuestion& q)
{
    setCpFrame();
    question->setGeometry(0, 100, 600, 120);
    question->setText(QString::fromUtf8(q.question));
    emit sendShowFlowViewRequest(true);
    emit sendLoad2dDataRequest(QString::fromUtf8(q.dataPath));
    // Outside the normalised field, so no circle is in view until a location is confirmed.
    emit sendDrawCircleRequest(makeFloat2(-1.0f, 1.0f));
    for (int i = 0; i < 6; ++i)
    {
        hideStatement(i);
        buttonStatements[i]->hide();
    }
}

// A file that cannot be read leaves the label empty; the question is still asked.
void Exam::showImage(int i, const QString& path)
{
    hideStatement(i);
    QLabel* label = labelStatements[i];
    if (path.endsWith(QStringLiteral("gif")))
    {
        auto* movie = new QMovie(path, QByteArray(), label);
        if (!movie->isValid())
        {
            delete movie;
            return;
        }
        movie->setScaledSize(QSize(280, 280));
        movie->setSpeed(50);
        label->setMovie(movie);
        movie->start();
        return;
    }
    const QPixmap pixmap(path);
    if (!pixmap.isNull())
        label->setPixmap(pixmap.scaled(280, 280, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

// Hides the image area and stops and releases a movie it was playing.
void Exam::hideStatement(int i)
{
    QLabel* label = labelStatements[i];
    label->hide();
    QMovie* movie = label->movie();
    label->clear();
    delete movie;
}

void Exam::setCpLocateAnswer(float2 pos)
{
    if (currQid < kFirstCpLocateQid || currQid >= kNumQuestions)
        return;
    cpLocateAnswers[currQid - kFirstCpLocateQid] = pos;
    emit sendDrawCircleRequest(pos);
}

int Exam::firstCheckedButton(int numButtons) const
{
    for (int i = 0; i < numButtons; ++i)
        if (buttonStatements[i]->isChecked())
            return i;
    return ANS_NO_ANSWER;
}

void Exam::checkAnswer(const int& qid)
{
    if (qid < 0 || qid >= kNumQuestions)
        return;
    if (qid < kFirstCpClassifyQid)
    {
        const Question& q = textImageQuestions[qid];
        textImageClassifyAnswers[qid] = AnswerType(firstCheckedButton(q.numStatement));
        grades[qid] =
            textImageClassifyAnswers[qid] == q.correctAnswer ? GRADE_CORRECT : GRADE_WRONG;
    }
    else if (qid < kFirstCpLocateQid)
    {
        const CpClassifyQuestion& q = cpClassifyQuestions[qid - kFirstCpClassifyQid];
        textImageClassifyAnswers[qid] = AnswerType(firstCheckedButton(6));
        grades[qid] =
            textImageClassifyAnswers[qid] == q.correctAnswer ? GRADE_CORRECT : GRADE_WRONG;
    }
    else
    {
        const float2 a = cpLocateAnswers[qid - kFirstCpLocateQid];
        const float2 c = cpLocateQuestions[qid - kFirstCpLocateQid].correctAnswer;
        if (a.x < 0.0f)
        {
            grades[qid] = GRADE_NOT_ANSWERED;
            return;
        }
        const float dx = a.x - c.x, dy = a.y - c.y;
        // A distance that is not a number fails the comparison and is graded wrong.
        grades[qid] = std::sqrt(dx * dx + dy * dy) < kLocateTolerance ? GRADE_CORRECT : GRADE_WRONG;
    }
}

void Exam::setNextQuestion()
{
    checkAnswer(currQid);
    if (currQid < kNumQuestions)
    {
        const qint64 elapsed = timer.restart();
        msTime[currQid] = int(std::min<qint64>(elapsed, INT_MAX));
    }
    if (currQid < INT_MAX - 1)
        ++currQid;
    saveResult();
    setQuestion(currQid);
}

void Exam::showMessage(const QString& text)
{
    labMessage->setText(text);
    labMessage->setVisible(!text.isEmpty());
}

// Written whole or not at all, so an interrupted save never leaves half a file behind.
bool Exam::saveResult()
{
    if (!bSaveBlocked && writeResultFile())
    {
        showMessage(QString());
        return true;
    }
    showMessage(tr("Your answers could not be saved to %1. Please tell the study supervisor "
                   "before you go on.")
                    .arg(resultPath));
    return false;
}

bool Exam::writeResultFile() const
{
    QSaveFile file(resultPath);
    if (!QDir().mkpath(resultDir) || !file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << currQid << '\n';
    for (const AnswerType answer : textImageClassifyAnswers)
        out << int(answer) << '\n';
    for (const float2& location : cpLocateAnswers)
        out << location.x << ' ' << location.y << '\n';
    for (const GradeType grade : grades)
        out << int(grade) << '\n';
    for (const int ms : msTime)
        out << ms << '\n';
    out.flush();
    return out.status() == QTextStream::Ok && file.commit();
}

bool Exam::readResult()
{
    QFile file(resultPath);
    if (!file.exists())
        return false;
    Progress p;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text) ||
        !parseProgress(QString::fromUtf8(file.readAll()), p))
    {
        file.close();
        setAsideResultFile();
        return false;
    }
    currQid = p.currQid;
    std::copy(std::begin(p.answers), std::end(p.answers), textImageClassifyAnswers);
    std::copy(std::begin(p.locations), std::end(p.locations), cpLocateAnswers);
    std::copy(std::begin(p.grades), std::end(p.grades), grades);
    std::copy(std::begin(p.msTime), std::end(p.msTime), msTime);
    return true;
}

// Keeps an unreadable file under the first free name beside it and starts afresh; if it
// cannot be moved, nothing is saved over it.
void Exam::setAsideResultFile()
{
    resetProgress();
    const QFileInfo info(resultPath);
    for (int n = 1; n < 1000; ++n)
    {
        const QString aside =
            info.path() +
            QStringLiteral("/%1-unreadable-%2.txt").arg(info.completeBaseName()).arg(n);
        if (QFileInfo::exists(aside))
            continue;
        if (!QFile::rename(resultPath, aside))
            break;
        showMessage(tr("The saved answers in %1 could not be read. They were kept as %2 and "
                       "the quiz starts again from the first question.")
                        .arg(resultPath, aside));
        return;
    }
    bSaveBlocked = true;
    showMessage(tr("The saved answers in %1 could not be read and could not be moved aside. "
                   "The quiz starts from the first question, but nothing is saved until that "
                   "file is removed. Please tell the study supervisor.")
                    .arg(resultPath));
}
