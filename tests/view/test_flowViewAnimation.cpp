// The view's flowlet animation stepped frame by frame (each grab renders one frame, the timer
// is kept stopped), its timer slots, and its screenshots.
#include "capturedOutput.h"
#include "viewFixture.h"

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace
{
const int kSize = 600;

int countPixels(const QImage& image, const std::function<bool(const QColor&)>& test)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += test(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

bool red(const QColor& c)
{
    return c.red() > 180 && c.green() < 100 && c.blue() < 100;
}

bool yellow(const QColor& c)
{
    return c.red() > 180 && c.green() > 180 && c.blue() < 100;
}

// A line of numPoint + 1 points 0.5 apart from (10, y) to the right, as the tracer stores it.
void addLine(TracedLines& lines, std::vector<flowlineInfo>& records, int& count, int numPoint,
             float y)
{
    const int start = lines.currNumpnt;
    for (int k = 0; k <= numPoint; ++k)
        lines.pointArray[start + k] = makeFloat2(10.0f + 0.5f * k, y);
    records[count++] = flowlineInfo{start, start, numPoint};
    lines.currNumpnt += numPoint + 1;
}

QByteArray header(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(15);
}
} // namespace

// A 600 x 600 view on a 100 x 100 field of 50 time steps.
class TestFlowViewAnimation : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstFlowletAppearsAtFrame61();
    void pausedCountFreezesThePicture();
    void pathlineAnimationStopsAtTheLastTimeStep();
    void flowletSwitchDrivesTheTimer();
    void tubesStopTheTimer();
    void speedChangesApplyAsTheirSlotsSay();
    void timeStepAdvancesWhileTheCountIsOdd();
    void framesAreSavedOncePerTimeStep();
    void saveImageAfterStartWritesTheFramebuffer();
    void saveImageTwiceOverwrites();
    void unwritableLocationIsReported();
    void licBackgroundFollowsTheTimeStep();
    void licSeriesCoversEveryTimeStep();

private:
    QImage frame() { return view->grabFramebuffer(); }
    QString shotPath(int timeId) const
    {
        return QDir::currentPath() + "/flow data/Screenshot49-" + QString::number(timeId) + ".ppm";
    }
    void animate(FieldLineType type);

    std::unique_ptr<WorkingField> field;
    std::unique_ptr<ProbeView> view;
    int frames = 0;
};

void TestFlowViewAnimation::init()
{
    field = std::make_unique<WorkingField>(int3{100, 100, 50});
    view = std::make_unique<ProbeView>(nullptr, kSize, kSize);
    view->resize(kSize, kSize);
    frames = 0;
    view->extra = [this](ProbeView&) { ++frames; };
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
}

void TestFlowViewAnimation::cleanup()
{
    view.reset();
    field.reset();
}

// Flowlets on for one kind of line, with the timer stopped so that only grabs draw frames.
void TestFlowViewAnimation::animate(FieldLineType type)
{
    view->bStrml = type == FLT_STREAMLINE;
    view->bPthl = type == FLT_PATHLINE;
    view->on_view_flowlet(2);
    view->iTimer->stop();
    QCOMPARE(view->flowletLineType(), type);
    frames = 0;
}

void TestFlowViewAnimation::firstFlowletAppearsAtFrame61()
{
    TracedLines& lines = *view->tmpLines;
    addLine(lines, lines.streamlineIndxArray, lines.streamlineNum, 160, 50.0f);
    animate(FLT_STREAMLINE);
    for (int f = 1; f <= 60; ++f)
    {
        const QImage image = frame();
        QCOMPARE(view->animStep, f);
        if (f == 1 || f == 60)
            QCOMPARE(countPixels(image, red), 0);
    }
    QVERIFY(countPixels(frame(), red) > 100);
    QCOMPARE(view->animStep, 61);
    QCOMPARE(frames, 61);
}

void TestFlowViewAnimation::pausedCountFreezesThePicture()
{
    TracedLines& lines = *view->tmpLines;
    addLine(lines, lines.streamlineIndxArray, lines.streamlineNum, 160, 50.0f);
    animate(FLT_STREAMLINE);
    view->animStep = 90;
    view->on_view_controlSingleFlowlineAnim(2);
    const QImage still = frame();
    QCOMPARE(view->animStep, 90);
    QCOMPARE(frame(), still);
    QCOMPARE(view->animStep, 90);
    view->on_view_controlSingleFlowlineAnim(3);
    QVERIFY(frame() != still);
    QCOMPARE(view->animStep, 91);
}

// With time interval 0.1 on 50 time steps the particle stops at frame 500.
void TestFlowViewAnimation::pathlineAnimationStopsAtTheLastTimeStep()
{
    TracedLines& lines = *view->tmpLines;
    addLine(lines, lines.pathlineIndxArray, lines.pathlineNum, 150, 40.0f);
    animate(FLT_PATHLINE);
    view->animStep = 60;
    QVERIFY(countPixels(frame(), yellow) > 100);
    QCOMPARE(view->animStep, 61);
    view->animStep = 499;
    frame();
    QCOMPARE(view->animStep, 500);
    const QImage last = frame();
    QCOMPARE(view->animStep, 500);
    QCOMPARE(frame(), last);
}

void TestFlowViewAnimation::flowletSwitchDrivesTheTimer()
{
    view->animStep = 17;
    view->on_view_flowlet(2);
    QVERIFY(view->bFlowlet);
    QVERIFY(!view->bTubelines);
    QCOMPARE(view->animStep, 0);
    QVERIFY(view->iTimer->isActive());
    QCOMPARE(view->iTimer->interval(), 10);
    // The timer draws the frames.
    TracedLines& lines = *view->tmpLines;
    addLine(lines, lines.streamlineIndxArray, lines.streamlineNum, 160, 50.0f);
    QTRY_VERIFY(view->animStep >= 3);

    const int before = frames;
    view->on_view_flowlet(0);
    QVERIFY(!view->bFlowlet);
    QVERIFY(!view->iTimer->isActive());
    QCOMPARE(frames, before + 1); // the static lines at once
}

void TestFlowViewAnimation::tubesStopTheTimer()
{
    view->on_view_flowlet(2);
    view->on_view_tubeLines(0);
    QVERIFY(!view->bTubelines);
    QVERIFY(view->iTimer->isActive());
    const int before = frames;
    view->on_view_tubeLines(2);
    QVERIFY(view->bTubelines);
    QVERIFY(!view->bFlowlet);
    QVERIFY(!view->iTimer->isActive());
    QCOMPARE(frames, before + 1);
}

// The speed slot takes effect at the next switch-on; the window's own mapping restarts the
// timer at once.
void TestFlowViewAnimation::speedChangesApplyAsTheirSlotsSay()
{
    view->on_view_flowlet(2);
    view->animStep = 40;
    view->on_view_changeAnimSpeed(30);
    QCOMPARE(view->uiSpeedAnimation, 30);
    QCOMPARE(view->animStep, 0);
    QCOMPARE(view->iTimer->interval(), 10);
    view->on_view_flowlet(0);
    view->on_view_flowlet(2);
    QCOMPARE(view->iTimer->interval(), 30);
    view->onAnimationSpeedChanged(7);
    QVERIFY(view->iTimer->isActive());
    QCOMPARE(view->iTimer->interval(), 7);
}

// Past the last time step the step count is sent once more and the view falls back.
void TestFlowViewAnimation::timeStepAdvancesWhileTheCountIsOdd()
{
    QSignalSpy spy(view.get(), &FlowView::view_pass_ptlineanimid_msg);
    view->autoTimeIdChange();
    QCOMPARE(view->uiTimelDispTimeId, 0);
    view->on_view_controlPtlineanim(1);
    view->autoTimeIdChange();
    QCOMPARE(view->uiTimelDispTimeId, 1);
    view->uiTimelDispTimeId = 49;
    view->autoTimeIdChange();
    QCOMPARE(view->uiTimelDispTimeId, 49);
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), 1);
    QCOMPARE(spy.at(1).at(0).toInt(), 50);
    view->on_view_controlPtlineanim(2);
    view->autoTimeIdChange();
    QCOMPARE(spy.size(), 2);
}

// Frames showing time steps 3, 3 and 4 save two files, each holding its finished frame.
void TestFlowViewAnimation::framesAreSavedOncePerTimeStep()
{
    TracedLines& lines = *view->tmpLines;
    addLine(lines, lines.pathlineIndxArray, lines.pathlineNum, 150, 40.0f);
    animate(FLT_PATHLINE);
    view->on_view_saveAnimation(2);
    view->animStep = 38;
    CapturedOutput output;
    frame();
    frame();
    const QImage shown = frame();
    const QString out = output.out();
    QCOMPARE(out.count("The image has been stored to"), 2);
    QVERIFY(out.contains('"' + shotPath(3) + '"'));
    QVERIFY(out.contains('"' + shotPath(4) + '"'));
    QCOMPARE(view->prevTimeid, 4);
    QCOMPARE(frames, 3); // saving renders no extra frame
    QCOMPARE(QDir(QDir::currentPath() + "/flow data").entryList(QDir::Files).size(), 2);
    const QImage saved(shotPath(4));
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
             shown.convertToFormat(QImage::Format_RGB32));
    QVERIFY(countPixels(saved, yellow) > 100);
}

// The "flow data" folder is made when missing; the file holds the view's full framebuffer.
void TestFlowViewAnimation::saveImageAfterStartWritesTheFramebuffer()
{
    QVERIFY(!QDir("flow data").exists());
    CapturedOutput output;
    view->on_view_saveScreenPPM();
    const QString out = output.out();
    const QString name = shotPath(0);
    QCOMPARE(out, "The image has been stored to \"" + name + "\"\n");
    QCOMPARE(header(name), QByteArray("P6\n600 600\n255\n"));
    const QImage saved(name);
    QCOMPARE(saved.size(), QSize(kSize, kSize));
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
             frame().convertToFormat(QImage::Format_RGB32));
    QCOMPARE(view->originalPixmap.size(), QSize(kSize, kSize));
}

void TestFlowViewAnimation::saveImageTwiceOverwrites()
{
    view->on_view_saveScreenPPM();
    const QImage first(shotPath(0));
    view->translateZ = 20; // a different picture
    view->on_view_saveScreenPPM();
    const QImage second(shotPath(0));
    QVERIFY(first != second);
    QCOMPARE(second.convertToFormat(QImage::Format_RGB32),
             frame().convertToFormat(QImage::Format_RGB32));
    QCOMPARE(QDir("flow data").entryList(QDir::Files).size(), 1);
}

// A file standing where the folder should be: an error naming the file, no success message,
// both for a press and for animation frames.
void TestFlowViewAnimation::unwritableLocationIsReported()
{
    QFile blocker("flow data");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CapturedOutput output;
    view->on_view_saveScreenPPM();
    view->on_view_saveAnimation(2);
    view->bStrml = false;
    view->bTimel = true;
    view->on_view_flowlet(2);
    view->iTimer->stop();
    frame();
    const QString out = output.out();
    const QString err = output.err();
    QVERIFY(!out.contains("has been stored"));
    QCOMPARE(err.count("Cannot store the image to \"" + shotPath(0) + "\""), 2);
    QVERIFY(QFileInfo("flow data").isFile());
}

// The LIC background shows the image of the animated time step, made on first use.
void TestFlowViewAnimation::licBackgroundFollowsTheTimeStep()
{
    TracedLines& lines = *view->tmpLines;
    addLine(lines, lines.pathlineIndxArray, lines.pathlineNum, 150, 40.0f);
    animate(FLT_PATHLINE);
    view->bLICBk = true;
    view->animStep = 38;
    frame();
    QCOMPARE(view->prevLicImageId, 3);
    QVERIFY(QFile::exists("data/LIC3.ppm"));
    view->animStep = 40;
    frame();
    QCOMPARE(view->prevLicImageId, 4);
    QVERIFY(QFile::exists("data/LIC4.ppm"));
    QVERIFY(!QFile::exists("data/LIC5.ppm"));
}

// Steady data: the series is ./data/LIC0.ppm alone; started at the end it does nothing.
void TestFlowViewAnimation::licSeriesCoversEveryTimeStep()
{
    view.reset();
    field.reset();
    field = std::make_unique<WorkingField>(int3{64, 64, 1});
    view = std::make_unique<ProbeView>(nullptr, kSize, kSize);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    view->LICSeriesScreenShot();
    QCOMPARE(view->uiTimelDispTimeId, 1);
    QCOMPARE(view->licImage->LICBkImgPth, QString("./data/LIC0.ppm"));
    QCOMPARE(QImage("data/LIC0.ppm").size(), QSize(64, 64));
    QCOMPARE(QDir("data").entryList({"LIC*"}, QDir::Files), QStringList{"LIC0.ppm"});
    QVERIFY(QFile::remove("data/LIC0.ppm"));
    view->LICSeriesScreenShot();
    QVERIFY(!QFile::exists("data/LIC0.ppm"));
    QCOMPARE(view->uiTimelDispTimeId, 1);
}

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    QApplication app(argc, argv);
    TestFlowViewAnimation test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_flowViewAnimation.moc"
