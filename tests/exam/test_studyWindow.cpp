#include "exam/exam.h"
#include "exam/normalisedPosition.h"
#include "exam/studyView.h"
#include "exam/studyWindow.h"
#include "studyMaterial.h"
#include "tracing/tracedLines.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace
{
void startAt(int currQid)
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
    QDir().mkpath("exam_result");
    QFile file("exam_result/user.txt");
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write((lines.join('\n') + '\n').toUtf8());
}

// The view pixel (y down) of a normalised position, for the camera a fresh load sets up.
QPoint pixelOf(float2 normalised, const StudyView& view)
{
    const float2 p = fieldFromNormalised(normalised, view.dataMani->flowFieldSize);
    const float unitsPerPixel = 2.0f * view.translateZ / StudyWindow::kViewSize;
    return QPoint(int((p.x - (view.translateX - view.translateZ)) / unitsPerPixel),
                  StudyWindow::kViewSize -
                      int((p.y - (view.translateY - view.translateZ)) / unitsPerPixel));
}

bool isRed(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}
} // namespace

class TestStudyWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensOnTheFirstQuestionWithoutView();
    void classificationShowsTheDataSetWithItsCircle();
    void rightClickConfirmsTheLocation();
    void twoLeftClicksTraceARake();
    void missingDataSetIsShown();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
};

void TestStudyWindow::init()
{
    dir = std::make_unique<QTemporaryDir>();
    previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir->path()));
    QVERIFY(StudyMaterial::write("exam"));
}

void TestStudyWindow::cleanup()
{
    QDir::setCurrent(previousDir);
    dir.reset();
}

void TestStudyWindow::opensOnTheFirstQuestionWithoutView()
{
    StudyWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.exam->question->text(), QString(textImageQuestions[0].question));
    QVERIFY(window.view->isHidden());
    QCOMPARE(window.exam->geometry(), QRect(0, 0, 1200, 900));
}

void TestStudyWindow::classificationShowsTheDataSetWithItsCircle()
{
    startAt(10);
    StudyWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.view->isVisible());
    QCOMPARE(window.view->dataMani->flowFieldSize.x, StudyMaterial::kClassifySize);
    QCOMPARE(window.view->circle().x, 0.768f);
    QVERIFY(!window.exam->geometry().intersects(window.view->geometry()));

    // The ring crosses the horizontal through its centre one radius to the right.
    const QImage frame = window.view->grabFramebuffer();
    const float2 ring = makeFloat2(0.768f + StudyView::kCircleRadius, 0.568f);
    const QPoint at = pixelOf(ring, *window.view);
    int red = 0;
    for (int dy = -6; dy <= 6; ++dy)
        for (int dx = -6; dx <= 6; ++dx)
            red += isRed(frame.pixel(at + QPoint(dx, dy)));
    QVERIFY2(red > 10,
             qPrintable(QString("red pixels near (%1, %2): %3").arg(at.x()).arg(at.y()).arg(red)));
}

void TestStudyWindow::rightClickConfirmsTheLocation()
{
    startAt(16);
    StudyWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.view->dataMani->flowFieldSize.x, StudyMaterial::kLocateSize);
    QVERIFY(window.view->circle().x < 0.0f); // nothing circled yet

    const float2 answer = cpLocateQuestions[0].correctAnswer;
    QTest::mouseClick(window.view, Qt::RightButton, {}, pixelOf(answer, *window.view));
    const float2 confirmed = window.exam->cpLocateAnswers[0];
    QVERIFY(std::abs(confirmed.x - answer.x) < 0.01f && std::abs(confirmed.y - answer.y) < 0.01f);
    QCOMPARE(window.view->circle().x, confirmed.x);
    QTest::mouseClick(window.exam->next, Qt::LeftButton);
    QCOMPARE(window.exam->grades[16], GRADE_CORRECT);

    // Outside the field a right click confirms nothing.
    QTest::mouseClick(window.view, Qt::RightButton, {}, QPoint(StudyWindow::kViewSize - 1, 0));
    QCOMPARE(window.exam->cpLocateAnswers[1].x, -1.0f);
}

void TestStudyWindow::twoLeftClicksTraceARake()
{
    startAt(10);
    StudyWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.view, Qt::LeftButton, {},
                      pixelOf(makeFloat2(0.2f, 0.3f), *window.view));
    QCOMPARE(window.view->tmpLines->streamlineNum, 0);
    QTest::mouseClick(window.view, Qt::LeftButton, {},
                      pixelOf(makeFloat2(0.4f, 0.7f), *window.view));
    QCOMPARE(window.view->tmpLines->streamlineNum, window.view->uiRakeSeedNum);
    QVERIFY(window.view->tmpLines->currNumpnt > window.view->uiRakeSeedNum);
}

void TestStudyWindow::missingDataSetIsShown()
{
    QVERIFY(QFile::remove("exam/syn0001_100.dat"));
    startAt(17);
    StudyWindow window;
    QVERIFY(!window.labLoadError->isHidden());
    QVERIFY(window.labLoadError->text().contains("./exam/syn0001_100"));
    QTest::mouseClick(window.exam->next, Qt::LeftButton); // the quiz still goes on
    QCOMPARE(window.exam->next->text(), QString("Finish"));
}

int main(int argc, char* argv[])
{
    // The view's GL format must be the default before the application object exists.
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    QApplication app(argc, argv);
    TestStudyWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_studyWindow.moc"
