// The view's flowlet animation stepped frame by frame, its timer slots, its screenshots, and
// the LIC background: per-step images written, read and equalised on demand. Only grabs render
// frames here: the timer is kept stopped, and pending events are drained before a step so that
// no late expose or update advances the frame counter in between.
#include "capturedOutput.h"
#include "viewFixture.h"

#include <QSignalSpy>
#include <algorithm>
#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;

namespace
{
constexpr int kLicField = 40;
// The LIC field holds NaN vectors there, set after loading (the loader would zero them), so its
// image is black on every path; a zero field would be no-data, drawn as land.
constexpr int kStillStep = 3;

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

QString shotPath(int timeId)
{
    return QDir::currentPath() + "/flow data/Screenshot49-" + QString::number(timeId) + ".ppm";
}

// A grey PPM image of the LIC field's size, every pixel the same value.
std::string greyImage(unsigned char value)
{
    return "P6\n40  40\n255\n" + std::string(std::size_t(kLicField) * kLicField * 3, char(value));
}
} // namespace

class TestFlowViewAnimation : public ViewTest
{
    Q_OBJECT

    // A 600 x 600 view on a 100 x 100 field of 50 time steps; flowlets on over one line of 161
    // points 0.5 apart, the timer stopped and the counter set.
    void animate(FieldLineType type, int animStep)
    {
        open(int3{100, 100, 50});
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
    }
    // A 600 x 600 view on a 40 x 40 field of 6 steps, still at kStillStep.
    void openLic()
    {
        workdir->writeField(int3{kLicField, kLicField, 6},
                            [](int, int, int) { return makeFloat2(1.0f, 0.3f); });
        open({});
        float2* still = view->dataMani->orgnvectField2dSlice[kStillStep][0];
        std::fill(still, still + kLicField * kLicField, makeFloat2(NAN, NAN));
    }
    // The middle of the LIC field's frame, when it is not within 2 of the grey value.
    QString unlessGreyMiddle(int value)
    {
        const QColor c = grabFrame().pixelColor(pixelAt(*view, kLicField / 2, kLicField / 2));
        for (const int channel : {c.red(), c.green(), c.blue()})
            if (std::abs(channel - value) > 2)
                return c.name();
        return {};
    }

private slots:
    // The first head shows at frame 61; a paused count freezes the picture.
    void streamlineFramesStepOnlyWhileRunning()
    {
        animate(FLT_STREAMLINE, 60);
        const QImage first = grabFrame();
        QVERIFY(countPixels(first, Qt::red) > 100);
        view->on_view_controlSingleFlowlineAnim(2);
        QCOMPARE(grabFrame(), first);
        QCOMPARE(view->animStep, 61);
        view->on_view_controlSingleFlowlineAnim(3);
        QVERIFY(grabFrame() != first);
        QCOMPARE(view->animStep, 62);
    }

    // Past the last time step the step count is sent once more and the view falls back.
    void timeStepAdvancesWhileTheCountIsOdd()
    {
        animate(FLT_PATHLINE, 0);
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

    // Frames showing time steps 3, 3 and 4 save two files, each holding its finished frame;
    // the LIC background shows the image of the animated step, made on first use.
    void framesAreSavedOncePerTimeStep()
    {
        animate(FLT_PATHLINE, 38);
        view->on_view_saveAnimation(2);
        QImage shown;
        const QString out = captured([&] { grabFrame(), grabFrame(), shown = grabFrame(); });
        QCOMPARE(out.count("The image has been stored to"), 2);
        QVERIFY(out.contains('"' + shotPath(3) + '"'));
        QVERIFY(out.contains('"' + shotPath(4) + '"'));
        QCOMPARE(QDir("flow data").entryList(QDir::Files).size(), 2);
        const auto rgb = QImage::Format_RGB32;
        QCOMPARE(QImage(shotPath(4)).convertToFormat(rgb), shown.convertToFormat(rgb));
        QVERIFY(countPixels(shown, Qt::yellow) > 100);

        view->on_view_saveAnimation(0);
        view->bLICBk = true;
        view->animStep = 38;
        grabFrame();
        QCOMPARE(view->prevLicImageId, 3);
        view->animStep = 40;
        grabFrame();
        QCOMPARE(view->prevLicImageId, 4);
        QCOMPARE(QDir("data").entryList({"LIC*"}, QDir::Files),
                 QStringList({"LIC3.ppm", "LIC4.ppm"}));
    }

    // A file standing where the folder should be: an error naming the file, no success
    // message, both for a press and for animation frames.
    void unwritableLocationIsReported()
    {
        workdir->write("flow data", "");
        animate(FLT_PATHLINE, 0);
        view->on_view_saveAnimation(2);
        const QString said = captured(
            [&]
            {
                view->on_view_saveScreenPPM();
                grabFrame();
            });
        QVERIFY(!said.contains("has been stored"));
        QCOMPARE(said.count("Cannot store the image to \"" + shotPath(0) + "\""), 2);
    }

    // An existing step image is read, not written, and read only once; malformed step images
    // keep the last one.
    void stepImagesAreReadOnce()
    {
        openLic();
        view->bLICBk = true;
        workdir->write("data/LIC5.ppm", greyImage(77));
        const auto written = fs::last_write_time("data/LIC5.ppm");
        view->showLIC(5);
        QCOMPARE(fs::last_write_time("data/LIC5.ppm"), written);
        QCOMPARE(unlessGreyMiddle(77), QString());
        workdir->write("data/LIC5.ppm", greyImage(200));
        view->showLIC(5);
        QCOMPARE(unlessGreyMiddle(77), QString());
        view->showLIC(6); // outside the field: nothing
        QVERIFY(!fs::exists("data/LIC6.ppm"));
        const char* broken[] = {"", "P5\n40 40\n255\n", "P6\n40 40\n65535\n",
                                "P6\n40 40\n255\nshort"};
        for (int k = 0; k < 4; ++k)
        {
            workdir->write(QString("data/LIC%1.ppm").arg(k), broken[k]);
            view->showLIC(k);
            QCOMPARE(unlessGreyMiddle(77), QString());
        }
    }

    // With the LIC image ticked, the steady tab's "OK" names a missing image only: an image
    // beside the header is shown once the field is read.
    void steadyTabNamesOnlyAMissingLicImage()
    {
        openLic();
        view->on_view_toggleLICBk(2);
        const QString stem = "flow data/stdy flow data/f";
        workdir->write(stem + ".txt", "40 40 1");
        workdir->write(stem + ".dat", std::string(std::size_t(kLicField) * kLicField * 12, '\0'));
        view->on_updateStdyDataDir(stem + ".txt", stem + ".dat");
        const auto confirm = [&] { return captured([&] { view->on_view_btnconfirmStdyFile(); }); };
        QVERIFY(confirm().contains("Missing LIC image of the steady data: " + stem + ".ppm"));
        workdir->write(stem + ".ppm", greyImage(77));
        const QString said = confirm();
        QVERIFY2(!said.contains("Missing LIC image"), qPrintable(said));
    }

    // A file standing where the data folder should be cannot be written into, even by root:
    // the write is reported, and the image just computed is shown, plain and equalised.
    void unwritableFolderStillShowsTheComputedImage()
    {
        openLic();
        fs::remove_all("data");
        workdir->write("data", "not a folder");
        view->uiTimelDispTimeId = kStillStep;
        const QString said = captured([&] { view->on_view_toggleLICBk(2); });
        QVERIFY2(said.contains("can't open file ./data/LIC.ppm: "), qPrintable(said));
        QCOMPARE(unlessGreyMiddle(0), QString());
        view->on_view_toggleLICHisto(2);
        QCOMPARE(unlessGreyMiddle(255), QString());
        // With no frame after it only the slot's own GL calls count: unticking the image
        // switches 2-D texturing off.
        view->setUpdatesEnabled(false);
        view->makeCurrent();
        glEnable(GL_TEXTURE_2D);
        view->on_view_toggleLICBk(0);
        view->makeCurrent();
        QVERIFY(!glIsEnabled(GL_TEXTURE_2D));
    }
};

QTEST_MAIN(TestFlowViewAnimation)
#include "test_flowViewAnimation.moc"
