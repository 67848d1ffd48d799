// The LIC background of the view: per-step images written, read and equalised on demand.
#include "capturedOutput.h"
#include "view/flowView.h"
#include "viewWorkdir.h"

#include <GL/gl.h>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace
{
constexpr int kField = 40;
constexpr int kSteps = 6;
constexpr int kStillStep = 3; // the field is zero there, so its LIC image is black

// A grey PPM image of the field's size, every pixel the same value.
void writeGreyImage(const fs::path& file, unsigned char value)
{
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << kField << "  " << kField << "\n255\n";
    out << std::string(std::size_t(kField) * kField * 3, char(value));
}

std::string fileBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool isGrey(const QColor& c, int value)
{
    return std::abs(c.red() - value) <= 2 && std::abs(c.green() - value) <= 2 &&
           std::abs(c.blue() - value) <= 2;
}
} // namespace

class TestLicDisplay : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { view.reset(), workdir.reset(); }
    void licAndEqualisationFollowTheirBoxes();
    void stepImageIsReadOnceAndNotRegenerated();
    void brokenImagesKeepThePreviousBackground();
    void missingDataFolderIsCreated();
    void steadyImageIsNamedBeforeTheSteadyFieldIsRead();
    void unwritableFolderStillShowsTheComputedImage();
    void untickingActsOnTheContextAtOnce();

private:
    QColor middle()
    {
        return pixelAt(view->grabFramebuffer(), makeFloat2(kField * 0.5f, kField * 0.5f), kField);
    }

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
    QVERIFY(fs::exists(workdir->root / "data" / "LIC3.ppm"));
    QVERIFY2(isGrey(middle(), 0), qPrintable(middle().name()));
    view->on_view_toggleLICHisto(2);
    QVERIFY2(isGrey(middle(), 255), qPrintable(middle().name()));
    view->on_view_toggleLICBk(0);
    QVERIFY(!view->bLICBk && !view->bLicHisto);
    QCOMPARE(middle(), backdrop);
}

void TestLicDisplay::stepImageIsReadOnceAndNotRegenerated()
{
    const fs::path step5 = workdir->root / "data" / "LIC5.ppm";
    writeGreyImage(step5, 77);
    const std::string written = fileBytes(step5);
    view->bLICBk = true;
    view->showLIC(5);
    QVERIFY(fileBytes(step5) == written);
    QVERIFY(isGrey(middle(), 77));
    writeGreyImage(step5, 200);
    view->showLIC(5);
    QVERIFY(isGrey(middle(), 77));
    view->showLIC(kSteps); // outside the field: nothing
    QVERIFY(!fs::exists(workdir->root / "data" / "LIC6.ppm"));
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
    writeGreyImage(workdir->root / "data" / "LIC5.ppm", 77);
    view->bLICBk = true;
    view->showLIC(5);
    const char* broken[] = {"", "P5\n40 40\n255\n", "P6\n40 40\n65535\n", "P6\n40 40\n255\nshort"};
    for (int k = 0; k < 4; ++k)
    {
        std::ofstream(workdir->root / "data" / ("LIC" + std::to_string(k) + ".ppm")) << broken[k];
        view->showLIC(k);
        QVERIFY(isGrey(middle(), 77));
    }
}

void TestLicDisplay::missingDataFolderIsCreated()
{
    fs::remove_all(workdir->root / "data");
    view->bLICBk = true;
    view->showLIC(2);
    QVERIFY(fs::exists(workdir->root / "data" / "LIC2.ppm"));
}

// Until a steady field is read its image path is the data folder, which is no image.
void TestLicDisplay::steadyImageIsNamedBeforeTheSteadyFieldIsRead()
{
    fs::create_directories(workdir->root / "flow data" / "stdy flow data");
    view->bLICBk = true;
    CapturedOutput output;
    view->on_view_btnconfirmStdyFile();
    const QString said = output.out() + output.err();
    QVERIFY2(said.contains("./flow data/stdy flow data/earthquake_100.ppm"), qPrintable(said));
}

// A file standing where the data folder should be cannot be written into, even by root: the
// write is reported, and the image just computed is shown, plain and equalised.
void TestLicDisplay::unwritableFolderStillShowsTheComputedImage()
{
    view->on_view_toggleLICBk(2); // step 0 moves: grey noise
    QVERIFY(!isGrey(middle(), 0));
    fs::remove_all(workdir->root / "data");
    std::ofstream(workdir->root / "data") << "not a folder";
    view->uiTimelDispTimeId = kStillStep;
    CapturedOutput output;
    view->on_view_toggleLICBk(2);
    const QString said = output.out();
    QVERIFY2(said.contains(" can't open file ./data/LIC.ppm"), qPrintable(said));
    QVERIFY2(isGrey(middle(), 0), qPrintable(middle().name()));
    view->on_view_toggleLICHisto(2);
    QVERIFY2(isGrey(middle(), 255), qPrintable(middle().name()));
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

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    QApplication app(argc, argv);
    TestLicDisplay test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_licDisplay.moc"
