// The LIC background of the view: per-step images written, read and equalised on demand.
#include "capturedOutput.h"
#include "viewFixture.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace
{
constexpr int kField = 40;
constexpr int kSteps = 6;
constexpr int kStillStep = 3; // the field is zero there, so its LIC image is black

// A grey PPM image of the field's size, every pixel the same value.
std::string greyImage(unsigned char value)
{
    return "P6\n40  40\n255\n" + std::string(std::size_t(kField) * kField * 3, char(value));
}

// The colour's name when it is not within 2 of the grey value in every channel.
QString unlessGrey(const QColor& c, int value)
{
    for (const int channel : {c.red(), c.green(), c.blue()})
        if (std::abs(channel - value) > 2)
            return c.name();
    return {};
}
} // namespace

class TestLicDisplay : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup()
    {
        keepFrameOfFailure();
        view.reset(), workdir.reset();
    }
    void licAndEqualisationFollowTheirBoxes();
    void stepImageIsReadOnceAndNotRegenerated();
    void brokenImagesKeepThePreviousBackground();
    void unwritableFolderStillShowsTheComputedImage();
    void untickingActsOnTheContextAtOnce();

private:
    // The middle of the field's frame, when it is not the grey value.
    QString unlessGreyMiddle(int value)
    {
        return unlessGrey(colorAt(grabFrame(*view), *view, kField * 0.5f, kField * 0.5f), value);
    }
    QColor middle() { return colorAt(grabFrame(*view), *view, kField * 0.5f, kField * 0.5f); }

    std::unique_ptr<ViewWorkdir> workdir;
    std::unique_ptr<FlowView> view;
};

void TestLicDisplay::init()
{
    workdir = std::make_unique<ViewWorkdir>();
    workdir->writeField(int3{kField, kField, kSteps}, [](int, int, int t)
                        { return t == kStillStep ? makeFloat2(0, 0) : makeFloat2(1.0f, 0.3f); });
    view = std::make_unique<FlowView>(nullptr, 600, 600);
    view->resize(600, 600);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
}

// Step 3 writes and shows its (black) image; equalising one grey level lifts it to white;
// unticking the image turns both off.
void TestLicDisplay::licAndEqualisationFollowTheirBoxes()
{
    const QColor backdrop = middle();
    view->uiTimelDispTimeId = kStillStep;
    view->licImage->LICBkImgPth = "./data/LIC3.ppm";
    view->on_view_toggleLICBk(2);
    QVERIFY(fs::exists("data/LIC3.ppm"));
    QCOMPARE(unlessGreyMiddle(0), QString());
    view->on_view_toggleLICHisto(2);
    QCOMPARE(unlessGreyMiddle(255), QString());
    view->on_view_toggleLICBk(0);
    QVERIFY(!view->bLICBk);
    QVERIFY(!view->bLicHisto);
    QCOMPARE(middle(), backdrop);
}

// A step image is made once, into a data folder made when missing; an existing one is read,
// not written, and read only once.
void TestLicDisplay::stepImageIsReadOnceAndNotRegenerated()
{
    fs::remove_all("data");
    view->bLICBk = true;
    view->showLIC(2);
    QVERIFY(fs::exists("data/LIC2.ppm"));
    workdir->write("data/LIC5.ppm", greyImage(77));
    const auto written = fs::last_write_time("data/LIC5.ppm");
    view->showLIC(5);
    QCOMPARE(fs::last_write_time("data/LIC5.ppm"), written);
    QCOMPARE(unlessGreyMiddle(77), QString());
    workdir->write("data/LIC5.ppm", greyImage(200));
    view->showLIC(5);
    QCOMPARE(unlessGreyMiddle(77), QString());
    view->showLIC(kSteps); // outside the field: nothing
    QVERIFY(!fs::exists("data/LIC6.ppm"));
}

// A missing steady image leaves the background empty; malformed step images keep the last one.
void TestLicDisplay::brokenImagesKeepThePreviousBackground()
{
    const QColor backdrop = middle();
    view->tabUnstdyEnable = false;
    view->stdyLicImg = "./flow data/stdy flow data/earthquake_100.ppm";
    view->on_view_toggleLICBk(2);
    QCOMPARE(middle(), backdrop);
    view->on_view_toggleLICBk(0);

    view->tabUnstdyEnable = true;
    workdir->write("data/LIC5.ppm", greyImage(77));
    view->bLICBk = true;
    view->showLIC(5);
    const char* broken[] = {"", "P5\n40 40\n255\n", "P6\n40 40\n65535\n", "P6\n40 40\n255\nshort"};
    for (int k = 0; k < 4; ++k)
    {
        workdir->write(QString("data/LIC%1.ppm").arg(k), broken[k]);
        view->showLIC(k);
        QCOMPARE(unlessGreyMiddle(77), QString());
    }
}

// A file standing where the data folder should be cannot be written into, even by root: the
// write is reported, and the image just computed is shown, plain and equalised.
void TestLicDisplay::unwritableFolderStillShowsTheComputedImage()
{
    view->on_view_toggleLICBk(2); // step 0 moves: grey noise
    QVERIFY(!unlessGreyMiddle(0).isEmpty());
    fs::remove_all("data");
    workdir->write("data", "not a folder");
    view->uiTimelDispTimeId = kStillStep;
    CapturedOutput output;
    view->on_view_toggleLICBk(2);
    const QString said = output.out();
    QVERIFY2(said.contains(" can't open file ./data/LIC.ppm"), qPrintable(said));
    QCOMPARE(unlessGreyMiddle(0), QString());
    view->on_view_toggleLICHisto(2);
    QCOMPARE(unlessGreyMiddle(255), QString());
}
// With no frame after the slots only their own GL calls count: unticking equalisation draws
// the plain image at once, unticking the last box switches 2-D texturing off.
void TestLicDisplay::untickingActsOnTheContextAtOnce()
{
    view->on_view_toggleLICBk(2);
    view->on_view_toggleLICHisto(2);
    view->setUpdatesEnabled(false);
    view->on_view_toggleLICHisto(0);
    view->makeCurrent();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    QCOMPARE(GLuint(bound), view->texLic);
    for (const auto untick : {&FlowView::on_view_toggleLICBk, &FlowView::on_view_toggleLICHisto})
    {
        view->makeCurrent();
        glEnable(GL_TEXTURE_2D);
        (view.get()->*untick)(0);
        view->makeCurrent();
        QVERIFY(!glIsEnabled(GL_TEXTURE_2D));
    }
}

QTEST_MAIN(TestLicDisplay)

#include "test_licDisplay.moc"
