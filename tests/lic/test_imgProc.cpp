#include "lic/imgProc.h"
#include "licTestFiles.h"

#include <string>
#include <vector>

namespace
{
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

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

class PPM : public ScratchDir
{
protected:
    ImgProc imgProc;
};

TEST_F(PPM, HeadersThatRead)
{
    const std::string bytes = raster(3, 2, 'a');
    for (const char* head :
         {"P6\n# made by hand\n# second\n3 2\n255\n", "P3\n3\t2 255  trailing\n"})
    {
        Image img;
        ASSERT_EQ(imgProc.readPPM(write(head + bytes).c_str(), &img), 1) << head;
        EXPECT_EQ(img.sizeX, 3);
        EXPECT_EQ(img.sizeY, 2);
        EXPECT_EQ(pixels(img), bytes);
    }
}

// Every failure is reported with its own text and returns, leaving the image record and the
// pixels read earlier exactly as they were.
TEST_F(PPM, EachFailureReportsItsMessageAndKeepsThePreviousImage)
{
    const std::string good = raster(2, 1, 'p');
    Image img;
    ASSERT_EQ(imgProc.readPPM(write(header(2, 1) + good).c_str(), &img), 1);
    const Image before = img;
    const std::string x = raster(2, 1, 'x');
    const std::string size = "Invalid image size (error loading '%s')\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {(dir / "missing.ppm").string(), "Unable to open file '%s'\n"},
        {dir.string(), "%s: Is a directory\n"},
        {write("P5\n2 1\n255\n" + x), "Invalid image format (must be 'P3')\n"},
        {write("P6\n2\n"), size},
        {write("P6\n-2 1\n255\n" + x), size},
        {write("P6\n0 4\n255\n"), size},
        {write("P6\n99999999999 1\n255\n"), size},
        {write("P6\n100000 100000\n255\n"), size},
        {write("P6 2 1 255\n" + x), size},
        {write("P6\n2 1\n# late\n255\n" + x), "Invalid rgb component (error loading '%s')\n"},
        {write("P6\n2 1\n65535\n" + x), "'%s' does not have 8-bits components\n"},
        {write(header(2, 2) + raster(2, 2, 'x').substr(1)), "Error loading image '%s'\n"},
        {write(header(16000, 16000)), "Error loading image '%s'\n"}};
    for (const auto& [file, message] : cases)
    {
        std::string expected = message;
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
    CaptureStderr();
    EXPECT_EQ(imgProc.readPPM(write(header(1, 1) + "abc").c_str(), nullptr), 0);
    EXPECT_EQ(GetCapturedStderr(), "Unable to allocate memory\n");
}

// Images share one pixel buffer, which grows for a larger image while earlier records stay
// readable.
TEST_F(PPM, ImagesShareAGrowingPixelBuffer)
{
    Image a;
    Image b;
    ASSERT_EQ(imgProc.readPPM(write(header(4, 3) + raster(4, 3, 'a')).c_str(), &a), 1);
    const std::string second = raster(4, 3, 'k');
    ASSERT_EQ(imgProc.readPPM(write(header(4, 3) + second).c_str(), &b), 1);
    EXPECT_EQ(a.data, b.data);
    EXPECT_EQ(pixels(a), second);

    const std::string large = raster(1500, 1100, 'b');
    Image big;
    ASSERT_EQ(imgProc.readPPM(write(header(1500, 1100) + large).c_str(), &big), 1);
    EXPECT_EQ(pixels(big), large);
    EXPECT_EQ(pixels(a), second);
    ASSERT_EQ(imgProc.readPPM(write(header(4, 3) + second).c_str(), &b), 1);
    EXPECT_EQ(b.data, big.data);
}

TEST_F(PPM, SaveWritesColourOrReportsTheFile)
{
    const std::string bytes = raster(3, 2, '0');
    const auto file = (dir / "rgb.ppm").string();
    imgProc.SavePPM(file.c_str(), reinterpret_cast<const unsigned char*>(bytes.data()), 3, 2,
                    false);
    EXPECT_EQ(contents(file), "P6\n3  2\n255\n" + bytes);

    const auto lost = (dir / "no-such-folder" / "x.ppm").string();
    testing::internal::CaptureStdout();
    CaptureStderr();
    imgProc.SavePPM(lost.c_str(), reinterpret_cast<const unsigned char*>(bytes.data()), 1, 1, true);
    EXPECT_EQ(GetCapturedStderr(), lost + ": No such file or directory\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), " can't open file " + lost + "\n");
    EXPECT_FALSE(std::filesystem::exists(lost));
}

TEST(MinMax, FindsTheOccupiedLevels)
{
    ImgProc imgProc;
    unsigned long hist[256] = {};
    long imin = 0;
    long imax = 0;
    imgProc.Min_Max(hist, &imin, &imax);
    EXPECT_EQ(std::pair(imin, imax), std::pair(256L, -1L));
    hist[0] = 3;
    hist[17] = 9;
    hist[255] = 1;
    imgProc.Min_Max(hist, &imin, &imax);
    EXPECT_EQ(std::pair(imin, imax), std::pair(0L, 255L));
}
} // namespace
