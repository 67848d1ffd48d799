#include "lic/imgProc.h"
#include "licTestFiles.h"

#include <cstring>
#include <string>
#include <vector>

namespace
{
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

std::string header(int width, int height)
{
    return "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
}

std::string raster(int width, int height, char first)
{
    std::string bytes(std::size_t(width) * height * 3, '\0');
    for (std::size_t k = 0; k < bytes.size(); ++k)
    {
        bytes[k] = static_cast<char>(first + k % 97);
    }
    return bytes;
}

std::string pixels(const Image& img)
{
    return std::string(img.data, std::size_t(img.sizeX) * img.sizeY * 3);
}

class ReadPPM : public ScratchDir
{
protected:
    ImgProc imgProc;
};

TEST_F(ReadPPM, CommentsAfterTheMagicNumberAreSkipped)
{
    const std::string bytes = "\x01\x02\x03\xfd\xfe\xff";
    const auto file = write("a.ppm", "P6\n# made by hand\n# second\n2 1\n255\n" + bytes);
    Image img;
    ASSERT_EQ(imgProc.readPPM(file.c_str(), &img), 1);
    EXPECT_EQ(img.sizeX, 2);
    EXPECT_EQ(img.sizeY, 1);
    EXPECT_EQ(pixels(img), bytes);
}

TEST_F(ReadPPM, PlainMagicNumberStillReadsABinaryRaster)
{
    const std::string bytes = raster(3, 2, 'a');
    const auto file = write("a.ppm", "P3\n3\t2 255  trailing\n" + bytes);
    Image img;
    ASSERT_EQ(imgProc.readPPM(file.c_str(), &img), 1);
    EXPECT_EQ(img.sizeX, 3);
    EXPECT_EQ(img.sizeY, 2);
    EXPECT_EQ(pixels(img), bytes);
}

// Every failure is reported with its own text and returns, leaving the image record and the
// pixels read earlier exactly as they were.
TEST_F(ReadPPM, EachFailureReportsItsMessageAndKeepsThePreviousImage)
{
    const std::string good = raster(2, 1, 'p');
    Image img;
    ASSERT_EQ(imgProc.readPPM(write("good.ppm", header(2, 1) + good).c_str(), &img), 1);
    const Image before = img;

    struct Case
    {
        const char* what;
        std::string bytes;
        std::string message; // %s stands for the file name
    };
    const std::vector<Case> cases = {
        {"wrong magic", "P5\n2 1\n255\n" + raster(2, 1, 'x'),
         "Invalid image format (must be 'P3')\n"},
        {"no size", "P6\n2\n", "Invalid image size (error loading '%s')\n"},
        {"negative size", "P6\n-2 1\n255\n" + raster(2, 1, 'x'),
         "Invalid image size (error loading '%s')\n"},
        {"zero size", "P6\n0 4\n255\n", "Invalid image size (error loading '%s')\n"},
        {"size overflowing an int", "P6\n99999999999 1\n255\n",
         "Invalid image size (error loading '%s')\n"},
        {"too many pixels", "P6\n100000 100000\n255\n",
         "Invalid image size (error loading '%s')\n"},
        {"header on the magic number's line", "P6 2 1 255\n" + raster(2, 1, 'x'),
         "Invalid image size (error loading '%s')\n"},
        {"comment after the size", "P6\n2 1\n# late\n255\n" + raster(2, 1, 'x'),
         "Invalid rgb component (error loading '%s')\n"},
        {"16-bit components", "P6\n2 1\n65535\n" + raster(2, 1, 'x'),
         "'%s' does not have 8-bits components\n"},
        {"raster one byte short", header(2, 2) + raster(2, 2, 'x').substr(1),
         "Error loading image '%s'\n"},
        {"huge header, no raster", header(16000, 16000), "Error loading image '%s'\n"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const auto file = write("bad.ppm", c.bytes);
        std::string expected = c.message;
        if (const auto at = expected.find("%s"); at != std::string::npos)
        {
            expected.replace(at, 2, file);
        }
        CaptureStderr();
        EXPECT_EQ(imgProc.readPPM(file.c_str(), &img), 0);
        EXPECT_EQ(GetCapturedStderr(), expected);
        EXPECT_EQ(img.sizeX, before.sizeX);
        EXPECT_EQ(img.sizeY, before.sizeY);
        EXPECT_EQ(img.data, before.data);
        EXPECT_EQ(pixels(img), good);
    }
}

TEST_F(ReadPPM, FailuresBeforeTheHeaderIsParsed)
{
    Image img;
    const std::string missing = (dir / "missing.ppm").string();
    CaptureStderr();
    EXPECT_EQ(imgProc.readPPM(missing.c_str(), &img), 0);
    EXPECT_EQ(GetCapturedStderr(), "Unable to open file '" + missing + "'\n");

    // A directory opens but its first line cannot be read: the system's error text.
    const std::string folder = dir.string();
    CaptureStderr();
    EXPECT_EQ(imgProc.readPPM(folder.c_str(), &img), 0);
    EXPECT_EQ(GetCapturedStderr(), folder + ": Is a directory\n");

    const auto empty = write("empty.ppm", "");
    CaptureStderr();
    EXPECT_EQ(imgProc.readPPM(empty.c_str(), &img), 0);
    EXPECT_EQ(GetCapturedStderr().rfind(empty + ": ", 0), 0u);

    const auto good = write("good.ppm", header(1, 1) + "abc");
    CaptureStderr();
    EXPECT_EQ(imgProc.readPPM(good.c_str(), nullptr), 0);
    EXPECT_EQ(GetCapturedStderr(), "Unable to allocate memory\n");
    EXPECT_EQ(img.data, nullptr);
}

TEST_F(ReadPPM, ImagesShareOnePixelBuffer)
{
    const std::string first = raster(4, 3, 'a');
    const std::string second = raster(4, 3, 'k');
    Image a;
    Image b;
    ASSERT_EQ(imgProc.readPPM(write("a.ppm", header(4, 3) + first).c_str(), &a), 1);
    ASSERT_EQ(imgProc.readPPM(write("b.ppm", header(4, 3) + second).c_str(), &b), 1);
    EXPECT_EQ(a.data, b.data);
    EXPECT_EQ(pixels(a), second);
}

TEST_F(ReadPPM, ALargerImageGetsABufferThatHoldsIt)
{
    const std::string small = raster(2, 2, 'a');
    Image a;
    ASSERT_EQ(imgProc.readPPM(write("a.ppm", header(2, 2) + small).c_str(), &a), 1);
    // Larger than anything the other tests read, so the shared buffer has to grow.
    const std::string large = raster(1500, 1100, 'b');
    Image b;
    ASSERT_EQ(imgProc.readPPM(write("b.ppm", header(1500, 1100) + large).c_str(), &b), 1);
    EXPECT_EQ(pixels(b), large);
    // The earlier record still points at readable pixels: its own.
    EXPECT_EQ(pixels(a), small);

    const std::string later = raster(2, 2, 'z');
    Image c;
    ASSERT_EQ(imgProc.readPPM(write("c.ppm", header(2, 2) + later).c_str(), &c), 1);
    EXPECT_EQ(c.data, b.data);
}

class SavePPM : public ScratchDir
{
protected:
    ImgProc imgProc;
};

TEST_F(SavePPM, GreyBytesBecomeGreyPixels)
{
    const unsigned char grey[] = {10, 200};
    const auto file = (dir / "grey.ppm").string();
    imgProc.SavePPM(file.c_str(), grey, 2, 1, true);
    EXPECT_EQ(contents(file), std::string("P6\n2  1\n255\n\x0a\x0a\x0a\xc8\xc8\xc8", 18));
}

TEST_F(SavePPM, ColourPixelsRoundTripThroughTheReader)
{
    const std::string bytes = raster(3, 2, '0');
    const auto file = (dir / "rgb.ppm").string();
    imgProc.SavePPM(file.c_str(), reinterpret_cast<const unsigned char*>(bytes.data()), 3, 2,
                    false);
    EXPECT_EQ(contents(file), "P6\n3  2\n255\n" + bytes);
    Image img;
    ASSERT_EQ(imgProc.readPPM(file.c_str(), &img), 1);
    EXPECT_EQ(img.sizeX, 3);
    EXPECT_EQ(img.sizeY, 2);
    EXPECT_EQ(pixels(img), bytes);
}

TEST_F(SavePPM, AFileThatCannotBeOpenedIsReportedAndNotWritten)
{
    const unsigned char grey[] = {1};
    const auto file = (dir / "no-such-folder" / "x.ppm").string();
    CaptureStdout();
    CaptureStderr();
    imgProc.SavePPM(file.c_str(), grey, 1, 1, true);
    const std::string err = GetCapturedStderr();
    EXPECT_EQ(GetCapturedStdout(), " can't open file " + file + "\n");
    EXPECT_EQ(err, file + ": No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(MinMax, FindsTheOccupiedLevels)
{
    ImgProc imgProc;
    unsigned long hist[256] = {};
    long imin = 0;
    long imax = 0;
    EXPECT_EQ(imgProc.Min_Max(hist, &imin, &imax), 0);
    EXPECT_EQ(imin, 256);
    EXPECT_EQ(imax, -1);

    hist[0] = 3;
    hist[255] = 1;
    imgProc.Min_Max(hist, &imin, &imax);
    EXPECT_EQ(imin, 0);
    EXPECT_EQ(imax, 255);

    hist[0] = 0;
    hist[255] = 0;
    hist[17] = 9;
    imgProc.Min_Max(hist, &imin, &imax);
    EXPECT_EQ(imin, 17);
    EXPECT_EQ(imax, 17);
}
} // namespace
