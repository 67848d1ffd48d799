// The study window: the quiz beside the view it shows for the classification and location
// questions, the view's circle and rake, and a location confirmed by a right click.
#include "exam/exam.h"
#include "exam/normalisedPosition.h"
#include "exam/studyView.h"
#include "exam/studyWindow.h"
#include "resultsFile.h"
#include "studyMaterial.h"
#include "tracing/tracedLines.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QTest>

// The view pixel (y down) of a normalised position, for the camera a fresh load sets up.
static QPoint pixelOf(float2 normalised, const StudyView& view)
{
    const float2 p = fieldFromNormalised(normalised, view.dataMani->flowFieldSize);
    const float unitsPerPixel = 2.0f * view.translateZ / StudyWindow::kViewSize;
    return QPoint(int((p.x - (view.translateX - view.translateZ)) / unitsPerPixel),
                  StudyWindow::kViewSize -
                      int((p.y - (view.translateY - view.translateZ)) / unitsPerPixel));
}

class TestStudyWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> scratch;

private slots:
    void init()
    {
        scratch = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(scratch->path());
        QVERIFY(StudyMaterial::write("exam"));
    }

    void classificationCirclesAndRakesThenLocationTakesARightClick()
    {
        writeResults(freshLines(15));
        StudyWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        StudyView* view = window.view;

        // The ring crosses the horizontal through its centre one radius to the right.
        const float2 centre = cpClassifyQuestions[5].pointToClassify;
        const QImage frame = view->grabFramebuffer();
        const QPoint at = pixelOf(makeFloat2(centre.x + StudyView::kCircleRadius, centre.y), *view);
        int red = 0;
        for (int dy = -6; dy <= 6; ++dy)
            for (int dx = -6; dx <= 6; ++dx)
            {
                const QRgb c = frame.pixel(at + QPoint(dx, dy));
                red += qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
            }
        const QString kept = QUORVEL_TEST_OUTPUT "/test_studyWindow-ring.png";
        if (red <= 10) // a failure keeps its frame
            frame.save(kept);
        QVERIFY2(red > 10,
                 qPrintable(QString("%1 red pixels near the ring; frame: %2").arg(red).arg(kept)));

        QTest::mouseClick(view, Qt::LeftButton, {}, pixelOf(makeFloat2(0.2f, 0.3f), *view));
        QCOMPARE(view->tmpLines->streamlineNum, 0);
        QTest::mouseClick(view, Qt::LeftButton, {}, pixelOf(makeFloat2(0.4f, 0.7f), *view));
        QCOMPARE(view->tmpLines->streamlineNum, view->uiRakeSeedNum);

        QTest::mouseClick(window.exam->next, Qt::LeftButton);
        QCOMPARE(view->dataMani->flowFieldSize.x, StudyMaterial::kLocateSize);
        QVERIFY(view->circle().x < 0.0f); // nothing circled yet
        const float2 answer = cpLocateQuestions[0].correctAnswer;
        QTest::mouseClick(view, Qt::RightButton, {}, pixelOf(answer, *view));
        const float2 confirmed = window.exam->cpLocateAnswers[0];
        QVERIFY(std::abs(confirmed.x - answer.x) < 0.01f);
        QVERIFY(std::abs(confirmed.y - answer.y) < 0.01f);
        QCOMPARE(view->circle().x, confirmed.x);
        QTest::mouseClick(window.exam->next, Qt::LeftButton);
        QCOMPARE(window.exam->grades[16], GRADE_CORRECT);
    }

    void missingOrFolderDataSetIsShown()
    {
        // A folder where the data file goes.
        QVERIFY(QFile::remove("exam/syn0001_100.dat"));
        QVERIFY(QDir().mkdir("exam/syn0001_100.dat"));
        writeResults(freshLines(17));
        StudyWindow window;
        QVERIFY(window.labLoadError->text().contains("./exam/syn0001_100"));
        QVERIFY(!window.labLoadError->isHidden());
        QTest::mouseClick(window.exam->next, Qt::LeftButton); // the quiz still goes on
        QCOMPARE(window.exam->next->text(), QString("Finish"));
    }
};

int main(int argc, char* argv[])
{
    // The view's GL format must be the default before the application object exists.
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    QApplication app(argc, argv);
    TestStudyWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_studyWindow.moc"
