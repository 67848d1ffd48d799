#include "view/flowView.h"
#include "viewWorkdir.h"

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
    void cleanup();

    void licOfTheCurrentStepIsWrittenAndShown();
    void equalisedImageCoversThePlainOneUntilLicIsOff();
    void stepImageIsReadOnceAndNotRegenerated();
    void brokenImagesKeepThePreviousBackground();
    void missingDataFolderIsCreated();
    void pathlinesSuppressThePlainBackground();

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
    QVERIFY(view->hasField());
}

void TestLicDisplay::cleanup()
{
    view.reset();
    workdir.reset();
}

void TestLicDisplay::licOfTheCurrentStepIsWrittenAndShown()
{
    const QColor backdrop = middle();
    QVERIFY(!isGrey(backdrop, 0));
    view->uiTimelDispTimeId = kStillStep;
    view->licImage->LICBkImgPth = "./data/LIC3.ppm";
    view->on_view_toggleLICBk(2);
    QVERIFY(fs::exists(workdir->root / "data" / "LIC3.ppm"));
    QVERIFY2(isGrey(middle(), 0), qPrintable(middle().name()));

    // Another step gives a noisy grey image, written over the same path.
    view->uiTimelDispTimeId = 1;
    view->on_view_toggleLICBk(2);
    const QColor noisy = middle();
    QVERIFY(noisy.red() == noisy.green() && noisy.green() == noisy.blue());
    QVERIFY(!isGrey(noisy, 0));
}

void TestLicDisplay::equalisedImageCoversThePlainOneUntilLicIsOff()
{
    const QColor backdrop = middle();
    view->uiTimelDispTimeId = kStillStep;
    view->on_view_toggleLICBk(2);
    QVERIFY(isGrey(middle(), 0));
    // Equalising an image of one grey level lifts it to white.
    view->on_view_toggleLICHisto(2);
    QVERIFY(view->bLicHisto);
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
    // The same step again is not read again.
    writeGreyImage(step5, 200);
    view->showLIC(5);
    QVERIFY(isGrey(middle(), 77));
    // A missing step file is generated.
    view->showLIC(4);
    QVERIFY(fs::exists(workdir->root / "data" / "LIC4.ppm"));
    QVERIFY(!isGrey(middle(), 77));
    // Steps outside the field do nothing.
    view->showLIC(-1);
    view->showLIC(kSteps);
    QVERIFY(!fs::exists(workdir->root / "data" / "LIC-1.ppm"));
    QVERIFY(!fs::exists(workdir->root / "data" / "LIC6.ppm"));
}

void TestLicDisplay::brokenImagesKeepThePreviousBackground()
{
    const QColor backdrop = middle();
    // The steady image is missing: the background stays empty.
    view->tabUnstdyEnable = false;
    view->stdyLicImg = "./flow data/stdy flow data/earthquake_100.ppm";
    view->on_view_toggleLICBk(2);
    QVERIFY(view->bLICBk);
    QCOMPARE(middle(), backdrop);
    view->on_view_toggleLICHisto(2);
    QCOMPARE(middle(), backdrop);
    view->on_view_toggleLICBk(0);

    view->tabUnstdyEnable = true;
    writeGreyImage(workdir->root / "data" / "LIC5.ppm", 77);
    view->bLICBk = true;
    view->showLIC(5);
    QVERIFY(isGrey(middle(), 77));
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
    view->licImage->LICBkImgPth = "./fresh/LIC.ppm";
    view->on_view_toggleLICBk(2);
    QVERIFY(fs::exists(workdir->root / "fresh" / "LIC.ppm"));
}

void TestLicDisplay::pathlinesSuppressThePlainBackground()
{
    const QColor backdrop = middle();
    view->bPthl = true;
    view->on_view_toggleLICBk(2);
    QVERIFY(view->bLICBk);
    QVERIFY(!fs::exists(workdir->root / "data" / "LIC.ppm"));
    view->uiTimelDispTimeId = kStillStep;
    view->showLIC(kStillStep);
    QCOMPARE(middle(), backdrop);
    view->bPthl = false;
    QVERIFY(isGrey(middle(), 0));
}

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    QApplication app(argc, argv);
    TestLicDisplay test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_licDisplay.moc"
