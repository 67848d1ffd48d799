#include "exam/exam.h"
#include "resultsFile.h"
#include "studyMaterial.h"

#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestExam : public QObject
{
    Q_OBJECT

private slots:
    void init() { scratch = std::make_unique<ScratchDir>(); }
    void cleanup() { scratch.reset(); }

    void untouchedTextQuestionAnswersTheFirstStatement_data();
    void untouchedTextQuestionAnswersTheFirstStatement();
    void classificationKeepsThePreviousChoice();
    void classificationAsksTheHostAndIgnoresLocations();
    void locationIsGradedByDistance_data();
    void locationIsGradedByDistance();
    void finishLeadsToThanks_data();
    void finishLeadsToThanks();
    void resumesWhereTheFileStopped();
    void fileAfterOneAnswerHasItsFiftyFiveLines();
    void locationsAreWrittenShortest();
    void unwritableResultsAreShownAsAnError();
    void malformedResultsAreSetAsideAndQuizStartsAfresh_data();
    void malformedResultsAreSetAsideAndQuizStartsAfresh();
    void studyPicturesShowInTheirQuestions();

private:
    std::unique_ptr<ScratchDir> scratch;
};

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
    startAt(qid);
    Exam exam;
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(exam.textImageClassifyAnswers[qid], ANS_STATEMENT_A);
    QCOMPARE(int(exam.grades[qid]), grade);
    QCOMPARE(exam.currQid, qid + 1);
}

void TestExam::classificationKeepsThePreviousChoice()
{
    startAt(9);
    Exam exam;
    exam.buttonStatements[1]->setChecked(true);
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(exam.grades[9], GRADE_CORRECT);
    QVERIFY(exam.buttonStatements[1]->isChecked());
    QCOMPARE(exam.buttonStatements[1]->text(), QString("Attracting Foucs"));
    QTest::mouseClick(exam.next, Qt::LeftButton); // question 10 answered with the carried choice
    QCOMPARE(exam.textImageClassifyAnswers[10], ANS_STATEMENT_B);
    QCOMPARE(exam.grades[10], GRADE_CORRECT);
    exam.buttonStatements[5]->setChecked(true);
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(exam.textImageClassifyAnswers[11], ANS_STATEMENT_F);
}

void TestExam::classificationAsksTheHostAndIgnoresLocations()
{
    startAt(11);
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

    requests.clear(); // a click on question 12 is no location answer
    exam.setCpLocateAnswer(makeFloat2(0.6712f, 0.375f));
    QVERIFY(requests.isEmpty());
    QCOMPARE(exam.cpLocateAnswers[0].x, -1.0f);

    exam.currQid = 15;
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(requests, QStringList({"show 1", "load ./exam/syn0001_100", "circle -1 1"}));
    for (const QRadioButton* button : exam.buttonStatements)
        QVERIFY(button->isHidden());
}

void TestExam::locationIsGradedByDistance_data()
{
    QTest::addColumn<int>("qid");
    QTest::addColumn<bool>("bConfirm");
    QTest::addColumn<float>("dx");
    QTest::addColumn<float>("dy");
    QTest::addColumn<int>("grade");
    QTest::newRow("node, 0.07 right") << 16 << true << 0.07f << 0.0f << int(GRADE_CORRECT);
    QTest::newRow("node, 0.08 below") << 16 << true << 0.0f << -0.08f << int(GRADE_WRONG);
    QTest::newRow("saddle, 0.07 diagonal")
        << 17 << true << 0.0495f << 0.0495f << int(GRADE_CORRECT);
    QTest::newRow("saddle, 0.08 left") << 17 << true << -0.08f << 0.0f << int(GRADE_WRONG);
    QTest::newRow("saddle, unconfirmed") << 17 << false << 0.0f << 0.0f << int(GRADE_NOT_ANSWERED);
}

void TestExam::locationIsGradedByDistance()
{
    QFETCH(int, qid);
    QFETCH(bool, bConfirm);
    QFETCH(float, dx);
    QFETCH(float, dy);
    QFETCH(int, grade);
    startAt(qid);
    Exam exam;
    QSignalSpy circles(&exam, &Exam::sendDrawCircleRequest);
    const float2 answer = cpLocateQuestions[qid - 16].correctAnswer;
    if (bConfirm)
    {
        exam.setCpLocateAnswer(makeFloat2(0.9f, 0.9f)); // a later click replaces it
        exam.setCpLocateAnswer(makeFloat2(answer.x + dx, answer.y + dy));
        QCOMPARE(circles.size(), 2);
    }
    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(int(exam.grades[qid]), grade);
    QCOMPARE(exam.cpLocateAnswers[qid - 16].x, bConfirm ? answer.x + dx : -1.0f);
}

void TestExam::finishLeadsToThanks_data()
{
    QTest::addColumn<int>("qid");
    QTest::newRow("answering 17") << 17;
    QTest::newRow("resumed at 18") << 18;
}

void TestExam::finishLeadsToThanks()
{
    QFETCH(int, qid);
    startAt(qid);
    Exam exam;
    QSignalSpy shows(&exam, &Exam::sendShowFlowViewRequest);
    if (qid == 17)
    {
        exam.setCpLocateAnswer(cpLocateQuestions[1].correctAnswer);
        QTest::mouseClick(exam.next, Qt::LeftButton);
    }
    const GradeType lastGrade = qid == 17 ? GRADE_CORRECT : GRADE_NOT_ANSWERED;
    QCOMPARE(exam.grades[17], lastGrade);
    QCOMPARE(exam.currQid, 18);
    QCOMPARE(exam.next->text(), QString("Finish"));
    for (int i = 0; i < 6; ++i)
        QVERIFY(exam.buttonStatements[i]->isHidden() && exam.labelStatements[i]->isHidden());
    QVERIFY(shows.isEmpty());

    QTest::mouseClick(exam.next, Qt::LeftButton);
    QCOMPARE(exam.question->text(), QString("Thank you!"));
    QVERIFY(exam.next->isHidden());
    QCOMPARE(shows.size(), 1);
    QCOMPARE(shows.first().first().toBool(), false);
    QCOMPARE(exam.grades[17], lastGrade); // the Finish click grades nothing
    QCOMPARE(readResults().first(), QString("19"));
}

void TestExam::resumesWhereTheFileStopped()
{
    QStringList lines = freshLines(5);
    for (int q = 0; q < 5; ++q)
    {
        lines[1 + q] = lines[19 + q] = QString::number(q % 2);
        lines[37 + q] = QString::number(1000 * (q + 1));
    }
    writeResults(lines);
    Exam exam;
    QCOMPARE(exam.currQid, 5);
    QCOMPARE(exam.question->text(), QString(textImageQuestions[5].question));
    QCOMPARE(exam.textImageClassifyAnswers[3], ANS_STATEMENT_B);
    QCOMPARE(exam.grades[4], GRADE_WRONG);
    QCOMPARE(exam.msTime[4], 5000);
    QVERIFY(exam.labMessage->isHidden());
}

// Also: the missing results folder is created.
void TestExam::fileAfterOneAnswerHasItsFiftyFiveLines()
{
    Exam exam;
    QTest::qWait(30);
    QTest::mouseClick(exam.next, Qt::LeftButton);
    const QStringList lines = readResults();
    QCOMPARE(lines.size(), 55);
    QVERIFY(lines[37].toInt() >= 30 && lines[37].toInt() == exam.msTime[0]);
    QStringList expected = freshLines(1);
    expected[1] = "0";
    expected[19] = "1";
    expected[37] = lines[37];
    QCOMPARE(lines, expected);
}

void TestExam::locationsAreWrittenShortest()
{
    startAt(16);
    Exam exam;
    exam.setCpLocateAnswer(makeFloat2(0.25f, 0.5f));
    QTest::mouseClick(exam.next, Qt::LeftButton);
    exam.setCpLocateAnswer(makeFloat2(0.14620000f, 0.38249999f));
    QTest::mouseClick(exam.next, Qt::LeftButton);
    const QStringList lines = readResults();
    QCOMPARE(lines[17], QString("0.25 0.5"));
    QCOMPARE(lines[18], QString("0.1462 0.3825"));

    Exam resumed; // reads back the same values
    QCOMPARE(resumed.cpLocateAnswers[0].x, 0.25f);
    QCOMPARE(resumed.cpLocateAnswers[1].y, 0.3825f);
}

void TestExam::unwritableResultsAreShownAsAnError()
{
    QVERIFY(QFile("exam_result").open(QIODevice::WriteOnly)); // a file where the folder goes
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
    const QStringList fresh = freshLines(7);
    QStringList word = fresh, grade = fresh;
    word[3] = "two";
    grade[25] = "3";
    QTest::newRow("empty") << QStringList();
    QTest::newRow("short") << fresh.mid(0, 40);
    QTest::newRow("long") << (QStringList(fresh) << "7");
    QTest::newRow("word") << word;
    QTest::newRow("grade out of range") << grade;
    QTest::newRow("negative question") << freshLines(-1);
}

void TestExam::malformedResultsAreSetAsideAndQuizStartsAfresh()
{
    QFETCH(QStringList, lines);
    writeResults(lines);
    QFile::copy("exam_result/user.txt", "exam_result/user-unreadable-1.txt");
    const QStringList original = readResults();
    Exam exam;
    QCOMPARE(exam.currQid, 0);
    QCOMPARE(exam.grades[0], GRADE_NOT_ANSWERED);
    QVERIFY(!exam.labMessage->isHidden());
    QVERIFY(exam.labMessage->text().contains("user-unreadable-2.txt"));
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
    startAt(8);
    {
        Exam missing; // pictures that cannot be read leave the question answerable
        QTest::mouseClick(missing.next, Qt::LeftButton);
        QCOMPARE(missing.grades[8], GRADE_CORRECT);
    }
    QVERIFY(StudyMaterial::writePictures("exam"));
    for (int qid = 7; qid <= 9; ++qid)
    {
        startAt(qid);
        Exam exam;
        for (int i = 0; i < 2; ++i)
        {
            QImageReader reader(textImageQuestions[qid].statements[i]);
            QCOMPARE(reader.size(), QSize(280, 280));
            QCOMPARE(reader.supportsAnimation(), qid > 7);
            QImage last;
            while (reader.canRead())
                last = reader.read();
            QVERIFY2(redPixels(last) > 200, textImageQuestions[qid].statements[i]);

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
