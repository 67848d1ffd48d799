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

#include <tuple>

namespace
{
// Red pixels of the field-line, as the quiz's own image loader decodes the picture.
int redPixels(const QImage& image)
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
} // namespace

class TestExam : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> scratch;

private slots:
    void init() { enterScratchDir(scratch); }

    void untouchedTextQuestionAnswersTheFirstStatement()
    {
        const std::pair<int, GradeType> cases[] = {
            {0, GRADE_CORRECT}, {1, GRADE_WRONG}, {4, GRADE_CORRECT}, {6, GRADE_CORRECT}};
        for (const auto& [qid, grade] : cases)
        {
            startAt(qid);
            Exam exam;
            QTest::mouseClick(exam.next, Qt::LeftButton);
            QCOMPARE(
                QList<int>({exam.textImageClassifyAnswers[qid], exam.grades[qid], exam.currQid}),
                QList<int>({ANS_STATEMENT_A, grade, qid + 1}));
        }
    }

    void classificationKeepsThePreviousChoice()
    {
        startAt(9);
        Exam exam;
        exam.buttonStatements[1]->setChecked(true);
        QTest::mouseClick(exam.next, Qt::LeftButton);
        QCOMPARE(exam.grades[9], GRADE_CORRECT);
        QCOMPARE(exam.buttonStatements[1]->text(), QString("Attracting Foucs"));
        QTest::mouseClick(exam.next, Qt::LeftButton); // question 10 keeps the choice
        QCOMPARE(exam.textImageClassifyAnswers[10], ANS_STATEMENT_B);
        QCOMPARE(exam.grades[10], GRADE_CORRECT);
    }

    void classificationAsksTheHostAndIgnoresLocations()
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
        QCOMPARE(requests,
                 QStringList({"show 1", "load ./exam/hurricane_z49_t0", "circle 0.57 0.91"}));

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

    void locationIsGradedByDistance()
    {
        const std::tuple<int, float, float, GradeType> cases[] = {
            {16, 0.07f, 0.0f, GRADE_CORRECT},
            {16, 0.0f, -0.08f, GRADE_WRONG},
            {17, 0.0495f, 0.0495f, GRADE_CORRECT},
            {17, -0.08f, 0.0f, GRADE_WRONG}};
        for (const auto& [qid, dx, dy, grade] : cases)
        {
            startAt(qid);
            Exam exam;
            const float2 answer = cpLocateQuestions[qid - 16].correctAnswer;
            exam.setCpLocateAnswer(makeFloat2(0.9f, 0.9f)); // a later click replaces it
            exam.setCpLocateAnswer(makeFloat2(answer.x + dx, answer.y + dy));
            QTest::mouseClick(exam.next, Qt::LeftButton);
            QVERIFY2(exam.grades[qid] == grade, qPrintable(QString("%1 %2").arg(dx).arg(dy)));
        }
        startAt(17);
        Exam unconfirmed;
        QTest::mouseClick(unconfirmed.next, Qt::LeftButton);
        QCOMPARE(unconfirmed.grades[17], GRADE_NOT_ANSWERED);
    }

    void finishLeadsToThanks()
    {
        for (int qid : {17, 18}) // answering the last question, or resuming after it
        {
            startAt(qid);
            Exam exam;
            QSignalSpy shows(&exam, &Exam::sendShowFlowViewRequest);
            if (qid == 17)
            {
                exam.setCpLocateAnswer(cpLocateQuestions[1].correctAnswer);
                QTest::mouseClick(exam.next, Qt::LeftButton);
            }
            else // resumed: only the button's text changes
                QCOMPARE(exam.geometry(), QWidget().geometry());
            const GradeType lastGrade = qid == 17 ? GRADE_CORRECT : GRADE_NOT_ANSWERED;
            QCOMPARE(exam.grades[17], lastGrade);
            QCOMPARE(exam.next->text(), QString("Finish"));
            for (int i = 0; i < 6; ++i)
            {
                QVERIFY(exam.buttonStatements[i]->isHidden());
                QVERIFY(exam.labelStatements[i]->isHidden());
            }

            QTest::mouseClick(exam.next, Qt::LeftButton);
            QCOMPARE(exam.question->text(), QString("Thank you!"));
            QVERIFY(exam.next->isHidden());
            QCOMPARE(shows.size(), 1);
            QCOMPARE(shows.first().first().toBool(), false); // view hidden
            QCOMPARE(exam.grades[17], lastGrade);            // the Finish click grades nothing
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
        QCOMPARE(exam.cpLocateAnswers[1].y, 0.3825f);
        QCOMPARE(exam.question->text(), QString(textImageQuestions[5].question));
        QCOMPARE(exam.textImageClassifyAnswers[3], ANS_STATEMENT_B);
        QCOMPARE(exam.grades[4], GRADE_WRONG);
        QCOMPARE(exam.msTime[4], 5000);
        QVERIFY(exam.labMessage->isHidden());
    }

    void fileAfterOneAnswerHasItsFiftyFiveLines() // into a results folder it creates
    {
        Exam exam;
        QTest::qWait(30);
        QTest::mouseClick(exam.next, Qt::LeftButton);
        const QStringList lines = readResults();
        QCOMPARE(lines.size(), 55);
        QVERIFY(lines[37].toInt() >= 30);
        QStringList expected = freshLines(1);
        expected[1] = "0";
        expected[19] = "1";
        expected[37] = QString::number(exam.msTime[0]);
        QCOMPARE(lines, expected);
    }

    void locationsAreWrittenShortest()
    {
        startAt(16);
        Exam exam;
        exam.setCpLocateAnswer(makeFloat2(0.25f, 0.5f));
        QTest::mouseClick(exam.next, Qt::LeftButton);
        exam.setCpLocateAnswer(makeFloat2(0.14620000f, 0.38249999f));
        QTest::mouseClick(exam.next, Qt::LeftButton);
        QCOMPARE(readResults().mid(17, 2), QStringList({"0.25 0.5", "0.1462 0.3825"}));
    }

    void unwritableResultsAreShownAsAnError()
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
        QCOMPARE(readResults()[19], QString("1"));
    }

    void malformedResultsAreSetAsideAndQuizStartsAfresh_data()
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

    void malformedResultsAreSetAsideAndQuizStartsAfresh()
    {
        QFETCH(QStringList, lines);
        writeResults(lines);
        QFile::copy("exam_result/user.txt", "exam_result/user-unreadable-1.txt");
        const QStringList original = readResults();
        Exam exam;
        QCOMPARE(exam.currQid, 0);
        QVERIFY(!exam.labMessage->isHidden());
        QVERIFY(exam.labMessage->text().contains("user-unreadable-2.txt"));
        QCOMPARE(readResults("exam_result/user-unreadable-2.txt"), original);

        QTest::mouseClick(exam.next, Qt::LeftButton);
        QCOMPARE(readResults().first(), QString("1"));
        QCOMPARE(readResults("exam_result/user-unreadable-1.txt"), original);
    }

    void studyPicturesShowInTheirQuestions()
    {
        QVERIFY(StudyMaterial::writePictures("exam"));
        for (int qid = 7; qid <= 9; ++qid)
        {
            startAt(qid);
            Exam exam;
            for (int i = 0; i < 2; ++i)
            {
                QImageReader reader(textImageQuestions[qid].statements[i]);
                QCOMPARE(reader.supportsAnimation(), qid > 7);
                QImage last;
                while (reader.canRead())
                    last = reader.read();
                QCOMPARE(last.size(), QSize(280, 280));
                QVERIFY2(redPixels(last) > 200, textImageQuestions[qid].statements[i]);
                const QMovie* movie = exam.labelStatements[i]->movie();
                QVERIFY(qid == 7 ? !exam.labelStatements[i]->pixmap().isNull()
                                 : movie && movie->state() == QMovie::Running);
            }
        }
    }
};

QTEST_MAIN(TestExam)
#include "test_exam.moc"
