// The view's flowlet animation stepped frame by frame, its timer slots, and its screenshots.
// Only grabs render frames here: the timer is kept stopped, and pending events are drained
// before a step so that no late expose or update advances the frame counter in between.
#include "capturedOutput.h"
#include "viewFixture.h"

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace
{
const int kSize = 600;

// Pixels within 80 of the colour in every channel.
int countPixels(const QImage& image, const QColor& color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
        {
            const QColor c = image.pixelColor(x, y);
            n += std::abs(c.red() - color.red()) < 80 && std::abs(c.green() - color.green()) < 80 &&
                 std::abs(c.blue() - color.blue()) < 80;
        }
    return n;
}

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

QString shotPath(int timeId)
{
    return QDir::currentPath() + "/flow data/Screenshot49-" + QString::number(timeId) + ".ppm";
}
} // namespace

// A 600 x 600 view on a 100 x 100 field of 50 time steps.
class TestFlowViewAnimation : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup()
    {
        keepFrameOfFailure();
        view.reset(), workdir.reset();
    }
    void streamlineFramesStepOnlyWhileRunning();
    void timerFollowsFlowletsTubesAndSpeed();
    void timeStepAdvancesWhileTheCountIsOdd();
    void framesAreSavedOncePerTimeStep();
    void saveImageWritesAndOverwritesTheFramebuffer();
    void unwritableLocationIsReported();
    void licBackgroundFollowsTheTimeStep();

private:
    void animate(FieldLineType type, int animStep);
    QImage frame()
    {
        bCounting = true;
        const QImage image = grabFrame(*view);
        bCounting = false;
        return image;
    }

    std::unique_ptr<ViewWorkdir> workdir;
    std::unique_ptr<ProbeView> view;
    bool bCounting = false;
    int frames = 0; // frames rendered by this test's own grabs
};

void TestFlowViewAnimation::init()
{
    workdir = std::make_unique<ViewWorkdir>(int3{100, 100, 50});
    view = std::make_unique<ProbeView>(nullptr, kSize, kSize);
    view->resize(kSize, kSize);
    view->extra = [this](ProbeView&) { frames += bCounting ? 1 : 0; };
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
}

// Flowlets on over one line of 161 points 0.5 apart, the timer stopped and the counter set.
void TestFlowViewAnimation::animate(FieldLineType type, int animStep)
{
    TracedLines& lines = *view->tmpLines;
    const bool bStrml = type == FLT_STREAMLINE;
    for (int k = 0; k <= 160; ++k)
        lines.pointArray[k] = makeFloat2(10.0f + 0.5f * k, 50.0f);
    (bStrml ? lines.streamlineIndxArray : lines.pathlineIndxArray)[0] = flowlineInfo{0, 0, 160};
    (bStrml ? lines.streamlineNum : lines.pathlineNum) = 1;
    lines.currNumpnt = 161;
    view->bStrml = bStrml;
    view->bPthl = !bStrml;
    view->on_view_flowlet(2);
    view->iTimer->stop();
    QCoreApplication::processEvents();
    view->animStep = animStep;
    frames = 0;
}

// The first head shows at frame 61; a paused count freezes the picture.
void TestFlowViewAnimation::streamlineFramesStepOnlyWhileRunning()
{
    animate(FLT_STREAMLINE, 60);
    const QImage first = frame();
    QVERIFY(countPixels(first, Qt::red) > 100);
    view->on_view_controlSingleFlowlineAnim(2);
    QCOMPARE(frame(), first);
    QCOMPARE(view->animStep, 61);
    view->on_view_controlSingleFlowlineAnim(3);
    QVERIFY(frame() != first);
    QCOMPARE(view->animStep, 62);
}

// Switching flowlets off or tubes on stops the timer; a new speed applies at the next switch-on,
// the window's own mapping restarts the timer.
void TestFlowViewAnimation::timerFollowsFlowletsTubesAndSpeed()
{
    animate(FLT_STREAMLINE, 17);
    view->on_view_flowlet(2);
    QCOMPARE(view->animStep, 0);
    QCOMPARE(view->iTimer->interval(), 10);
    QTRY_VERIFY(view->animStep > 0); // the timer asks for frames
    view->on_view_flowlet(0);
    QVERIFY(!view->iTimer->isActive());
    view->on_view_flowlet(2);
    view->on_view_tubeLines(2);
    QVERIFY(view->bTubelines);
    QVERIFY(!view->bFlowlet);
    QVERIFY(!view->iTimer->isActive());

    view->on_view_changeAnimSpeed(30);
    view->onAnimationSpeedChanged(7);
    QCOMPARE(view->iTimer->interval(), 7);
    view->on_view_flowlet(2);
    QCOMPARE(view->iTimer->interval(), 30);
}

// Past the last time step the step count is sent once more and the view falls back.
void TestFlowViewAnimation::timeStepAdvancesWhileTheCountIsOdd()
{
    QSignalSpy spy(view.get(), &FlowView::view_pass_ptlineanimid_msg);
    view->uiTimelDispTimeId = 48;
    for (int count : {2, 1, 1, 2})
    {
        view->on_view_controlPtlineanim(count);
        view->autoTimeIdChange();
    }
    QCOMPARE(view->uiTimelDispTimeId, 49);
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), 49);
    QCOMPARE(spy.at(1).at(0).toInt(), 50);
}

// Frames showing time steps 3, 3 and 4 save two files, each holding its finished frame.
void TestFlowViewAnimation::framesAreSavedOncePerTimeStep()
{
    animate(FLT_PATHLINE, 38);
    view->on_view_saveAnimation(2);
    CapturedOutput output;
    frame();
    frame();
    const QImage shown = frame();
    const QString out = output.out();
    QCOMPARE(out.count("The image has been stored to"), 2);
    QVERIFY(out.contains('"' + shotPath(3) + '"'));
    QVERIFY(out.contains('"' + shotPath(4) + '"'));
    QCOMPARE(frames, 3); // saving renders no extra frame
    QCOMPARE(QDir("flow data").entryList(QDir::Files).size(), 2);
    QCOMPARE(rgb(QImage(shotPath(4))), rgb(shown));
    QVERIFY(countPixels(shown, Qt::yellow) > 100);
}

// Right after start: the "flow data" folder is made and the file holds the view's full
// framebuffer; a second press overwrites it.
void TestFlowViewAnimation::saveImageWritesAndOverwritesTheFramebuffer()
{
    QVERIFY(!QDir("flow data").exists());
    CapturedOutput output;
    view->on_view_saveScreenPPM();
    QCOMPARE(output.out(), "The image has been stored to \"" + shotPath(0) + "\"\n");
    QFile file(shotPath(0));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(15), QByteArray("P6\n600 600\n255\n"));
    const QImage first(shotPath(0));
    QCOMPARE(rgb(first), rgb(frame()));

    view->translateZ = 20; // a different picture
    view->on_view_saveScreenPPM();
    const QImage second(shotPath(0));
    QVERIFY(first != second);
    QCOMPARE(rgb(second), rgb(frame()));
    QCOMPARE(QDir("flow data").entryList(QDir::Files).size(), 1);
}

// A file standing where the folder should be: an error naming the file, no success message,
// both for a press and for animation frames.
void TestFlowViewAnimation::unwritableLocationIsReported()
{
    QFile blocker("flow data");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    animate(FLT_PATHLINE, 0);
    view->on_view_saveAnimation(2);
    CapturedOutput output;
    view->on_view_saveScreenPPM();
    frame();
    QVERIFY(!output.out().contains("has been stored"));
    QCOMPARE(output.err().count("Cannot store the image to \"" + shotPath(0) + "\""), 2);
    QVERIFY(QFileInfo("flow data").isFile());
}

// The LIC background shows the image of the animated time step, made on first use.
void TestFlowViewAnimation::licBackgroundFollowsTheTimeStep()
{
    animate(FLT_PATHLINE, 38);
    view->bLICBk = true;
    frame();
    QCOMPARE(view->prevLicImageId, 3);
    view->animStep = 40;
    frame();
    QCOMPARE(view->prevLicImageId, 4);
    QCOMPARE(QDir("data").entryList({"LIC*"}, QDir::Files), QStringList({"LIC3.ppm", "LIC4.ppm"}));
}

QTEST_MAIN(TestFlowViewAnimation)
#include "test_flowViewAnimation.moc"
