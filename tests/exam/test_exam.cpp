// The quiz in a scratch folder of its own per case: grading, requests to its host, the
// results file it writes and resumes from, and files it cannot use.
#include "exam/exam.h"
#include "resultsFile.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

class TestExam : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> scratch;

private slots:
    void init()
    {
        scratch = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(scratch->path());
    }

    // An untouched text question answers its first statement; a classification keeps the
    // choice of the question before.
    void choicesAreGraded()
    {
        const std::pair<int, GradeType> cases[] = {
            {0, GRADE_CORRECT}, {1, GRADE_WRONG}, {4, GRADE_CORRECT}, {6, GRADE_CORRECT}};
        for (const auto& [qid, grade] : cases)
        {
            writeResults(freshLines(qid));
            Exam exam;
            QTest::mouseClick(exam.next, Qt::LeftButton);
            QCOMPARE(exam.textImageClassifyAnswers[qid], ANS_STATEMENT_A);
            QCOMPARE(exam.grades[qid], grade);
            QCOMPARE(exam.currQid, qid + 1);
        }
        writeResults(freshLines(9));
        Exam exam;
        exam.buttonStatements[1]->setChecked(true);
        QTest::mouseClick(exam.next, Qt::LeftButton);
        QCOMPARE(exam.grades[9], GRADE_CORRECT);
        QTest::mouseClick(exam.next, Qt::LeftButton);
        QCOMPARE(exam.textImageClassifyAnswers[10], ANS_STATEMENT_B);
        QCOMPARE(exam.grades[10], GRADE_CORRECT);
    }

    // Within 0.075 of the point is right; the last click counts; no click is no answer.
    void locationIsGradedByDistance()
    {
        const std::tuple<int, float, float, GradeType> cases[] = {
            {16, 0.07f, 0.0f, GRADE_CORRECT},
            {16, 0.0f, -0.08f, GRADE_WRONG},
            {17, 0.0495f, 0.0495f, GRADE_CORRECT},
            {17, -0.08f, 0.0f, GRADE_WRONG}};
        for (const auto& [qid, dx, dy, grade] : cases)
        {
            writeResults(freshLines(qid));
            Exam exam;
            const float2 answer = cpLocateQuestions[qid - 16].correctAnswer;
            exam.setCpLocateAnswer(makeFloat2(0.9f, 0.9f));
            exam.setCpLocateAnswer(makeFloat2(answer.x + dx, answer.y + dy));
            QTest::mouseClick(exam.next, Qt::LeftButton);
            QVERIFY2(exam.grades[qid] == grade, qPrintable(QString("%1 %2").arg(dx).arg(dy)));
        }
        writeResults(freshLines(17));
        Exam unconfirmed;
        QTest::mouseClick(unconfirmed.next, Qt::LeftButton);
        QCOMPARE(unconfirmed.grades[17], GRADE_NOT_ANSWERED);
    }

    // Answering the last question, or resuming after it: Finish, then thanks, the view
    // hidden, nothing graded by the Finish click.
    void finishLeadsToThanks()
    {
        for (int qid : {17, 18})
        {
            writeResults(freshLines(qid));
            Exam exam;
            QSignalSpy shows(&exam, &Exam::sendShowFlowViewRequest);
            exam.setCpLocateAnswer(cpLocateQuestions[1].correctAnswer);
            if (qid == 17)
                QTest::mouseClick(exam.next, Qt::LeftButton);
            const GradeType lastGrade = qid == 17 ? GRADE_CORRECT : GRADE_NOT_ANSWERED;
            QCOMPARE(exam.grades[17], lastGrade);
            QCOMPARE(exam.next->text(), QString("Finish"));
            QTest::mouseClick(exam.next, Qt::LeftButton);
            QCOMPARE(exam.question->text(), QString("Thank you!"));
            QCOMPARE(shows.size(), 1);
            QCOMPARE(shows.first().first().toBool(), false);
            QCOMPARE(exam.grades[17], lastGrade);
            QCOMPARE(readResults().first(), QString("19"));
        }
    }

    void resumesWhereTheFileStopped()
    {
        QStringList lines = freshLines(5);
        for (int q = 0; q < 5; ++q)
        {
            lines[1 + q] = lines[19 + q] = QString::number(q % 2);
            lines[37 + q] = QString::number(1000 * (q + 1));
        }
        lines[18] = "0.1462 0.3825";
        writeResults(lines);
        Exam exam;
        QCOMPARE(exam.cpLocateAnswers[1].x, 0.1462f);
        QCOMPARE(exam.cpLocateAnswers[1].y, 0.3825f);
        QCOMPARE(exam.textImageClassifyAnswers[3], ANS_STATEMENT_B);
        QCOMPARE(exam.grades[4], GRADE_WRONG);
        QCOMPARE(exam.msTime[4], 5000);
    }

    // Into a results folder it creates: 55 lines after one answer, locations written x first
    // in their shortest form.
    void writesEveryAnswer()
    {
        Exam exam;
        QTest::mouseClick(exam.next, Qt::LeftButton);
        QStringList expected = freshLines(1);
        expected[1] = "0";
        expected[19] = "1";
        expected[37] = QString::number(exam.msTime[0]);
        QCOMPARE(readResults(), expected);

        writeResults(freshLines(16));
        Exam locating;
        locating.setCpLocateAnswer(makeFloat2(0.25f, 0.5f));
        QTest::mouseClick(locating.next, Qt::LeftButton);
        locating.setCpLocateAnswer(makeFloat2(0.14620000f, 0.38249999f));
        QTest::mouseClick(locating.next, Qt::LeftButton);
        QCOMPARE(readResults().mid(17, 2), QStringList({"0.25 0.5", "0.1462 0.3825"}));
    }

    void unwritableResultsAreShownAsAnError()
    {
        QVERIFY(QFile("exam_result").open(QIODevice::WriteOnly)); // a file where the folder goes
        Exam exam;
        QTest::mouseClick(exam.next, Qt::LeftButton);
        QCOMPARE(exam.currQid, 1); // the quiz goes on
        QVERIFY(exam.labMessage->text().contains("could not be saved"));
        QFile::remove("exam_result");
        QTest::mouseClick(exam.next, Qt::LeftButton);
        QVERIFY(exam.labMessage->isHidden()); // answers so far are in the file now
        QCOMPARE(readResults()[19], QString("1"));
    }

    void malformedResultsAreSetAsideAndQuizStartsAfresh_data()
    {
        QTest::addColumn<QStringList>("lines");
        QStringList grade = freshLines(7);
        grade[25] = "3";
        QTest::newRow("empty") << QStringList();
        QTest::newRow("short") << freshLines(7).mid(0, 40);
        QTest::newRow("grade out of range") << grade;
    }

    // The unreadable file is kept beside the ones set aside before.
    void malformedResultsAreSetAsideAndQuizStartsAfresh()
    {
        QFETCH(QStringList, lines);
        writeResults(lines);
        QFile::copy("exam_result/user.txt", "exam_result/user-unreadable-1.txt");
        const QStringList original = readResults();
        Exam exam;
        QCOMPARE(exam.currQid, 0);
        QVERIFY(exam.labMessage->text().contains("user-unreadable-2.txt"));
        QCOMPARE(readResults("exam_result/user-unreadable-2.txt"), original);
        QTest::mouseClick(exam.next, Qt::LeftButton);
        QCOMPARE(readResults().first(), QString("1"));
        QCOMPARE(readResults("exam_result/user-unreadable-1.txt"), original);
    }
};

QTEST_MAIN(TestExam)
#include "test_exam.moc"
