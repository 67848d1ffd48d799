#include "exam/exam.h"
#include "studyMaterial.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>


namespace
{
// The 55 lines of a quiz that stands at question currQid with nothing answered.
QStringList freshLines(int currQid)
{
    QStringList lines{QString::number(currQid)};
    for (int q = 0; q < 16; ++q)
        lines << "6";
    lines << "-1 -1"
          << "-1 -1";
    for (int q = 0; q < 18; ++q)
        lines << "2";
    for (int q = 0; q < 18; ++q)
        lines << "0";
    return lines;
}

void writeResults(const QStringList& lines)
{
    QDir().mkpath("exam_result");
    QFile file("exam_result/user.txt");
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write((lines.join('\n') + '\n').toUtf8());
}

QStringList readResults(const QString& path = "exam_result/user.txt")
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith('\n'))
        text.chop(1);
    return text.split('\n');
}

float2 offset(float2 p, float dx, float dy)
{
    return makeFloat2(p.x + dx, p.y + dy);
}
} // namespace

class TestExam : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void questionBankHoldsTheStudyAsAsked();
    void untouchedTextQuestionAnswersTheFirstStatement_data();
    void untouchedTextQuestionAnswersTheFirstStatement();
    void classificationKeepsThePreviousChoice();
    void classificationAsksTheHostInOrder();
    void locationIsGradedByDistance_data();
    void locationIsGradedByDistance();
    void locationOutsideLocationQuestionsIsIgnored();
    void lastQuestionLeadsToFinishAndThanks();
    void resumesWhereTheFileStopped();
    void resumedFinishedQuizOnlyOffersFinish();
    void fileAfterOneAnswerHasItsFiftyFiveLines();
    void locationsAreWrittenShortest();
    void unwritableResultsAreShownAsAnError();
    void malformedResultsAreSetAsideAndQuizStartsAfresh_data();
    void malformedResultsAreSetAsideAndQuizStartsAfresh();
    void studyPicturesShowInTheirQuestions();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
};

void TestExam::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir->path()));
}

void TestExam::cleanup()
{
    QDir::setCurrent(previousDir);
    dir.reset();
}

void TestExam::questionBankHoldsTheStudyAsAsked()
{
    QCOMPARE(textImageQuestions[3].question,
             "Please tell which type is the field-line described as \n\"The locus of all fluid "
             "elements that have previously passed through \na given point\".");
    for (const Question& q : textImageQuestions)
        for (int i = q.numStatement; i < 6; ++i)
            QCOMPARE(q.statements[i][0], '\0');
    QCOMPARE(cpNames[1], "Attracting Foucs");
}

void TestExam::untouchedTextQuestionAnswersTheFirstStatement_data()
{
    QTest::addColumn<int>("qid");
    QTest::addColumn<int>("grade");
    QTest::newRow("0 timeline") << 0 << int(GRADE_CORRECT);
    QTest::newRow("1 streakline") << 1 << int(GRADE_WRONG);
    QTest::newRow("4 streamline") << 4 << int(GRADE_CORRECT);
    QTest::newRow("6 lic") << 6 << int(GRADE_CORRECT);
}

void TestExam::untouchedTextQuestionAnswersTheFirstStatement()
{
    QFETCH(int, qid);
    QFETCH(int, grade);
    writeResults(freshLines(qid));
    Exam exam;
    QCOMPARE(exam.currQid, qid);
    QCOMPARE(exam.question->text(), QString(textImageQuestions[qid].question));
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(exam.textImageClassifyAnswers[qid], ANS_STATEMENT_A);
    QCOMPARE(int(exam.grades[qid]), grade);
    QCOMPARE(exam.currQid, qid + 1);
}

void TestExam::classificationKeepsThePreviousChoice()
{
    writeResults(freshLines(9));
    Exam exam;
    QVERIFY(exam.buttonStatements[0]->isChecked());
    exam.buttonStatements[1]->setChecked(true);
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(exam.grades[9], GRADE_CORRECT);
    QCOMPARE(exam.currQid, 10);
    QVERIFY(exam.buttonStatements[1]->isChecked());
    QCOMPARE(exam.buttonStatements[1]->text(), QString("Attracting Foucs"));
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(exam.textImageClassifyAnswers[10], ANS_STATEMENT_B);
    QCOMPARE(exam.grades[10], GRADE_CORRECT);
    QVERIFY(exam.buttonStatements[1]->isChecked()); // still, on question 11
    exam.buttonStatements[5]->setChecked(true);
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(exam.textImageClassifyAnswers[11], ANS_STATEMENT_F);
    QCOMPARE(exam.grades[11], GRADE_CORRECT);
}

void TestExam::classificationAsksTheHostInOrder()
{
    writeResults(freshLines(11));
    Exam exam;
    QStringList requests;
    connect(&exam, &Exam::sendShowFlowViewRequest, this,
            [&](bool bShow) { requests << QString("show %1").arg(bShow); });
    connect(&exam, &Exam::sendLoad2dDataRequest, this,
            [&](QString path) { requests << "load " + path; });
    connect(&exam, &Exam::sendDrawCircleRequest, this,
            [&](float2 p) { requests << QString("circle %1 %2").arg(p.x).arg(p.y); });
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(requests, QStringList({"show 1", "load ./exam/hurricane_z49_t0", "circle 0.57 0.91"}));
    QCOMPARE(exam.geometry(), QRect(865, 15, 320, 800));
    QCOMPARE(exam.buttonStatements[5]->geometry(), QRect(20, 320, 150, 26));

    requests.clear();
    exam.currQid = 15;
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(requests, QStringList({"show 1", "load ./exam/syn0001_100", "circle -1 1"}));
    for (const QRadioButton* button : exam.buttonStatements)
        QVERIFY(!button->isVisible() && button->isHidden());
}

void TestExam::locationIsGradedByDistance_data()
{
    QTest::addColumn<int>("qid");
    QTest::addColumn<bool>("bConfirm");
    QTest::addColumn<float>("dx");
    QTest::addColumn<float>("dy");
    QTest::addColumn<int>("grade");
    QTest::newRow("node, 0.07 to the right") << 16 << true << 0.07f << 0.0f << int(GRADE_CORRECT);
    QTest::newRow("node, 0.08 below") << 16 << true << 0.0f << -0.08f << int(GRADE_WRONG);
    QTest::newRow("saddle, 0.07 diagonal")
        << 17 << true << 0.0495f << 0.0495f << int(GRADE_CORRECT);
    QTest::newRow("saddle, 0.08 to the left") << 17 << true << -0.08f << 0.0f << int(GRADE_WRONG);
    QTest::newRow("saddle, nothing confirmed")
        << 17 << false << 0.0f << 0.0f << int(GRADE_NOT_ANSWERED);
}

void TestExam::locationIsGradedByDistance()
{
    QFETCH(int, qid);
    QFETCH(bool, bConfirm);
    QFETCH(float, dx);
    QFETCH(float, dy);
    QFETCH(int, grade);
    writeResults(freshLines(qid));
    Exam exam;
    QList<float2> circles;
    connect(&exam, &Exam::sendDrawCircleRequest, this, [&](float2 p) { circles << p; });
    const float2 answer = cpLocateQuestions[qid - 16].correctAnswer;
    if (bConfirm)
    {
        exam.setCpLocateAnswer(makeFloat2(0.9f, 0.9f)); // a later click replaces it
        exam.setCpLocateAnswer(offset(answer, dx, dy));
        QCOMPARE(circles.size(), 2);
        QCOMPARE(circles.last().x, answer.x + dx);
    }
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(int(exam.grades[qid]), grade);
    QCOMPARE(exam.cpLocateAnswers[qid - 16].x, bConfirm ? answer.x + dx : -1.0f);
}

void TestExam::locationOutsideLocationQuestionsIsIgnored()
{
    writeResults(freshLines(12));
    Exam exam;
    QList<float2> circles;
    connect(&exam, &Exam::sendDrawCircleRequest, this, [&](float2 p) { circles << p; });
    exam.setCpLocateAnswer(makeFloat2(0.6712f, 0.375f));
    QVERIFY(circles.isEmpty());
    QCOMPARE(exam.cpLocateAnswers[0].x, -1.0f);
    QCOMPARE(exam.cpLocateAnswers[1].y, -1.0f);
}

void TestExam::lastQuestionLeadsToFinishAndThanks()
{
    writeResults(freshLines(17));
    QWidget host;
    host.resize(1300, 1000);
    auto* exam = new Exam(&host);
    QSignalSpy shows(exam, &Exam::sendShowFlowViewRequest);
    exam->setCpLocateAnswer(cpLocateQuestions[1].correctAnswer);
    QTest::mouseClick(exam->next, Qt::LeftButton);
    QCOMPARE(exam->grades[17], GRADE_CORRECT);
    QCOMPARE(exam->currQid, 18);
    QCOMPARE(exam->next->text(), QString("Finish"));
    QCOMPARE(exam->question->text(), QString(cpLocateQuestions[1].question));
    QVERIFY(shows.isEmpty());

    QTest::mouseClick(exam->next, Qt::LeftButton);
    QCOMPARE(exam->question->text(), QString("Thank you!"));
    QCOMPARE(exam->question->font().pointSize(), 36);
    QVERIFY(exam->next->isHidden());
    QCOMPARE(shows.size(), 1);
    QCOMPARE(shows.first().first().toBool(), false);
    QCOMPARE(exam->geometry(), QRect(0, 0, 1300, 1000));
    QCOMPARE(exam->layout->geometry(), QRect(250, 300, 800, 400));
    QCOMPARE(exam->grades[17], GRADE_CORRECT); // the Finish click grades nothing
    QCOMPARE(readResults().first(), QString("19"));
}

void TestExam::resumesWhereTheFileStopped()
{
    QStringList lines = freshLines(5);
    for (int q = 0; q < 5; ++q)
    {
        lines[1 + q] = QString::number(q % 2);
        lines[19 + q] = QString::number(q % 2);
        lines[37 + q] = QString::number(1000 * (q + 1));
    }
    writeResults(lines);
    Exam exam;
    QCOMPARE(exam.currQid, 5);
    QCOMPARE(exam.question->text(), QString(textImageQuestions[5].question));
    QCOMPARE(exam.textImageClassifyAnswers[3], ANS_STATEMENT_B);
    QCOMPARE(exam.grades[4], GRADE_WRONG);
    QCOMPARE(exam.msTime[4], 5000);
    QCOMPARE(exam.msTime[5], 0);
    QVERIFY(exam.labMessage->isHidden());
}

void TestExam::resumedFinishedQuizOnlyOffersFinish()
{
    writeResults(freshLines(18));
    Exam exam;
    QSignalSpy shows(&exam, &Exam::sendShowFlowViewRequest);
    QCOMPARE(exam.next->text(), QString("Finish"));
    for (int i = 0; i < 6; ++i)
        QVERIFY(exam.buttonStatements[i]->isHidden() && exam.labelStatements[i]->isHidden());
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(exam.question->text(), QString("Thank you!"));
    QCOMPARE(shows.size(), 1);
    QCOMPARE(exam.currQid, 19);
}

// Also: the missing results folder is created.
void TestExam::fileAfterOneAnswerHasItsFiftyFiveLines()
{
    Exam exam;
    QTest::qWait(30);
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QStringList lines = readResults();
    QCOMPARE(lines.size(), 55);
    bool ok = false;
    const int ms = lines[37].toInt(&ok);
    QVERIFY(ok && ms >= 30 && ms == exam.msTime[0]);
    QStringList expected = freshLines(1);
    expected[1] = "0";
    expected[19] = "1";
    expected[37] = lines[37];
    QCOMPARE(lines, expected);
}

void TestExam::locationsAreWrittenShortest()
{
    writeResults(freshLines(16));
    Exam exam;
    exam.setCpLocateAnswer(makeFloat2(0.25f, 0.5f));
    QTest::mouseClick(exam.next, Qt::LeftButton);
    exam.setCpLocateAnswer(makeFloat2(0.14620000f, 0.38249999f));
    QTest::mouseClick(exam.next, Qt::LeftButton);
    const QStringList lines = readResults();
    QCOMPARE(lines[17], QString("0.25 0.5"));
    QCOMPARE(lines[18], QString("0.1462 0.3825"));
    QCOMPARE(lines[35], QString("0"));
    QCOMPARE(lines[36], QString("1"));

    Exam resumed; // reads back the same values
    QCOMPARE(resumed.cpLocateAnswers[0].x, 0.25f);
    QCOMPARE(resumed.cpLocateAnswers[1].y, 0.3825f);
}

void TestExam::unwritableResultsAreShownAsAnError()
{
    {
        QFile blocker("exam_result"); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    Exam exam;
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(exam.currQid, 1); // the quiz goes on
    QVERIFY(!exam.labMessage->isHidden());
    QVERIFY(exam.labMessage->text().contains("could not be saved"));

    QFile::remove("exam_result");
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QVERIFY(exam.labMessage->isHidden()); // answers so far are in the file now
    const QStringList lines = readResults();
    QCOMPARE(lines.first(), QString("2"));
    QCOMPARE(lines[19], QString("1"));
}

void TestExam::malformedResultsAreSetAsideAndQuizStartsAfresh_data()
{
    QTest::addColumn<QStringList>("lines");
    QStringList lines = freshLines(7);
    QTest::newRow("empty") << QStringList();
    QTest::newRow("short") << lines.mid(0, 40);
    QTest::newRow("long") << (QStringList(lines) << "7");
    lines[3] = "two";
    QTest::newRow("word") << lines;
    lines = freshLines(7);
    lines[25] = "3";
    QTest::newRow("grade out of range") << lines;
    lines = freshLines(-1);
    QTest::newRow("negative question") << lines;
}

void TestExam::malformedResultsAreSetAsideAndQuizStartsAfresh()
{
    QFETCH(QStringList, lines);
    writeResults(lines);
    writeResults(lines);
    QFile::copy("exam_result/user.txt", "exam_result/user-unreadable-1.txt");
    const QStringList original = readResults();
    Exam exam;
    QCOMPARE(exam.currQid, 0);
    QCOMPARE(exam.grades[0], GRADE_NOT_ANSWERED);
    QCOMPARE(exam.question->text(), QString(textImageQuestions[0].question));
    QVERIFY(exam.labMessage->text().contains("user-unreadable-2.txt"));
    QVERIFY(!exam.labMessage->isHidden());
    QVERIFY(!QFileInfo::exists("exam_result/user.txt"));
    QCOMPARE(readResults("exam_result/user-unreadable-2.txt"), original);

    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(readResults().first(), QString("1"));
    QCOMPARE(readResults("exam_result/user-unreadable-1.txt"), original);
}

// Red pixels of the field-line, as the quiz's own image loader decodes the picture.
static int redPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
        {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 180 && c.green() < 80 && c.blue() < 80;
        }
    return count;
}

void TestExam::studyPicturesShowInTheirQuestions()
{
    writeResults(freshLines(8));
    {
        Exam missing; // pictures that cannot be read leave the question answerable
        QCOMPARE(missing.labelStatements[1]->geometry(), QRect(360, 80, 280, 280));
        QTest::mouseClick(missing.next, Qt::LeftButton);
        QCOMPARE(missing.grades[8], GRADE_CORRECT);
    }
    QVERIFY(StudyMaterial::writePictures("exam"));
    for (int qid = 7; qid <= 9; ++qid)
    {
        for (int i = 0; i < 2; ++i)
        {
            QImageReader reader(textImageQuestions[qid].statements[i]);
            QCOMPARE(reader.size(), QSize(280, 280));
            QCOMPARE(reader.supportsAnimation(), qid > 7);
            if (qid > 7)
                QCOMPARE(reader.imageCount(), 30);
            QImage last;
            for (int frame = 0; reader.canRead(); ++frame)
                last = reader.read();
            QVERIFY2(redPixels(last) > 200, textImageQuestions[qid].statements[i]);
        }
        QFile::remove("exam_result/user.txt");
        writeResults(freshLines(qid));
        Exam exam;
        for (int i = 0; i < 2; ++i)
        {
            const QLabel* label = exam.labelStatements[i];
            if (qid == 7)
                QCOMPARE(label->pixmap().size(), QSize(280, 280));
            else
                QVERIFY(label->movie() && label->movie()->state() == QMovie::Running &&
                        label->movie()->speed() == 50);
        }
    }
}

QTEST_MAIN(TestExam)
#include "test_exam.moc"
