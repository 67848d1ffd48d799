// PPM files, equalisation and the line integral convolution.
#include "../data/fieldFiles.h"
#include "common/fieldFit.h"
#include "lic/LIC.h"
#include "lic/imgProc.h"

#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace
{
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using Bytes = std::vector<unsigned char>;
const float inf = std::numeric_limits<float>::infinity();
const float nan = std::numeric_limits<float>::quiet_NaN();

std::string header(int width, int height)
{
    return "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
}

std::string raster(int width, int height, char first)
{
    std::string bytes(std::size_t(width) * height * 3, '\0');
    for (std::size_t k = 0; k < bytes.size(); ++k)
        bytes[k] = static_cast<char>(first + k % 97);
    return bytes;
}

std::string pixels(const Image& img)
{
    return std::string(img.data, std::size_t(img.sizeX) * img.sizeY * 3);
}

// Interleaved x, y components of a field with the same vector everywhere.
std::vector<float> uniform(int w, int h, float2 v)
{
    std::vector<float> vectors;
    for (int k = 0; k < w * h; ++k)
        vectors.insert(vectors.end(), {v.x, v.y});
    return vectors;
}

Bytes noiseOf(int w, int h)
{
    Bytes noise(std::size_t(w) * h);
    LIC(int3{w, h, 1}).MakeWhiteNoise(w, h, noise.data());
    return noise;
}

// With the generator's box filter unless other tables are given.
Bytes convolve(const std::vector<float>& vectors, const Bytes& noise, int w, int h,
               unsigned threads = 1, float krnlen = LIC::kKernelLength,
               const float* const* luts = nullptr, LIC::Kernel kernel = LIC::Kernel::Fastest)
{
    LIC lic(int3{w, h, 1});
    lic.threadCount = threads;
    lic.kernel = kernel;
    lic.GenBoxFiltrLUT(LIC::kLUTSize, lic.p_LUT0, lic.p_LUT1);
    const float* const box[2] = {lic.p_LUT0, lic.p_LUT1};
    luts = luts ? luts : box;
    Bytes image(std::size_t(w) * h, 77);
    lic.FlowImagingLIC(vectors.data(), noise.data(), image.data(), luts[0], luts[1], krnlen, w, h);
    return image;
}

// Length along d from p to the border of p's cell; far away when d is too small to reach it.
float toBorder(float p, float d)
{
    return d < -0.05f ? (float(int(p)) - p) / d : d > 0.05f ? (float(int(p) + 1) - p) / d : 1e5f;
}

// The convolution written out plainly, one streamline at a time, for comparison.
Bytes reference(const std::vector<float>& v, const Bytes& noise, const float* const* lut,
                float krnlen, int w, int h)
{
    const auto cell = [](float c, int n) { return !(c >= 0.0f) ? 0 : c >= n ? n - 1 : int(c); };
    Bytes image(std::size_t(w) * h);
    for (int k = 0; k < w * h; ++k)
    {
        float t[2] = {0.0f, 0.0f};
        float wa[2] = {0.0f, 0.0f};
        for (int dir = 0; dir < 2; ++dir)
        {
            float x = float(k % w) + 0.5f;
            float y = float(k / w) + 0.5f;
            float curLen = 0.0f;
            bool inside = true;
            for (int steps = 0; inside && steps < int(krnlen * 3.0f) && curLen < krnlen; ++steps)
            {
                const int id = int(y) * w + int(x);
                const float vx = (dir == 0 ? 1.0f : -1.0f) * v[2 * id];
                const float vy = (dir == 0 ? 1.0f : -1.0f) * v[2 * id + 1];
                if (vx == 0.0f && vy == 0.0f)
                {
                    wa[dir] = steps == 0 ? 1.0f : wa[dir];
                    break;
                }
                const float seg = std::min(toBorder(x, vx), toBorder(y, vy));
                const float step = curLen + seg > krnlen ? krnlen - curLen : seg + 0.0004f;
                curLen = std::min(curLen + seg, krnlen);
                const float x1 = x + step * vx;
                const float y1 = y + step * vy;
                const float acc = lut[dir][int(curLen * (2047.0f / krnlen))];
                const float tex = noise[cell((y + y1) * 0.5f, h) * w + cell((x + x1) * 0.5f, w)];
                t[dir] = t[dir] + tex * (acc - wa[dir]);
                wa[dir] = acc;
                inside = x1 >= 0.0f && x1 < w && y1 >= 0.0f && y1 < h;
                x = x1;
                y = y1;
            }
        }
        const float value = (t[0] + t[1]) / (wa[0] + wa[1]);
        image[k] = value >= 0.0f ? (unsigned char)int(std::min(value, 255.0f)) : 0;
    }
    return image;
}

// Both vector paths (AVX2 only where the processor has it) on any number of threads. The
// width leaves a part-filled last batch of pixels on either path.
TEST(Convolve, EveryPathAndThreadCountMatchesThePlainDefinition)
{
    const int w = 45;
    const int h = 23;
    // Ordinary, strong, weak, axis-aligned and zero vectors, and x components exactly at the
    // threshold; distinct tables per direction.
    const float scales[][2] = {{3, 3}, {40, 0.5f}, {0.04f, 0.05f}, {1, 0},
                               {0, 1}, {0, 0},     {0.05f, 3}};
    std::mt19937 random(2024);
    std::vector<float> vectors(2 * w * h);
    for (std::size_t k = 0; k < vectors.size(); ++k)
    {
        const float r = float(random() % 20001) / 1e4f - 1.0f;
        const bool bThreshold = k / 2 % 7 == 6 && k % 2 == 0;
        vectors[k] = scales[k / 2 % 7][k % 2] * (bThreshold ? (r < 0 ? -1.0f : 1.0f) : r);
    }
    std::vector<float> tables(2 * LIC::kLUTSize);
    for (int k = 0; k < LIC::kLUTSize; ++k)
    {
        tables[k] = float(k);
        tables[LIC::kLUTSize + k] = float(k) * 0.25f + float(k % 7);
    }
    // The plain index table in either direction, custom weights in the other.
    const float* const luts[2][2] = {{tables.data(), tables.data() + LIC::kLUTSize},
                                     {tables.data() + LIC::kLUTSize, tables.data()}};
    const Bytes noise = noiseOf(w, h);
    for (const float krnlen : {10.0f, 3.5f})
    {
        const float* const* lut = luts[krnlen < 5.0f];
        const Bytes expected = reference(vectors, noise, lut, krnlen, w, h);
        for (const auto kernel : {LIC::Kernel::Sse2, LIC::Kernel::Avx2})
            for (const unsigned threads : {1u, 2u, 5u, 0u})
                EXPECT_EQ(convolve(vectors, noise, w, h, threads, krnlen, lut, kernel), expected)
                    << krnlen << " on " << threads << " threads, path " << int(kernel);
    }
}

// Zero is black; components below the threshold sample only their own pixel; steps far past
// the border gather no weight (black, not 0 / 0). Extreme and NaN vectors must keep their
// samples inside the noise (the sanitizer build checks) and not depend on the path or threads.
TEST(Convolve, UniformFields)
{
    const Bytes noise = noiseOf(16, 9);
    const Bytes black(16 * 9, 0);
    const std::vector<std::pair<float2, const Bytes*>> cases = {
        {{0.0f, 0.0f}, &black},   {{0.01f, -0.02f}, &noise}, {{0.05f, 0.05f}, &noise},
        {{-0.05f, 0.0f}, &noise}, {{0.0f, 1e-30f}, &noise},  {{5000.0f, 3000.0f}, &black},
        {{-4e6f, 0.0f}, &black},  {{0.0f, 7e5f}, &black},    {{inf, 0.0f}, nullptr},
        {{nan, 0.0f}, nullptr},   {{nan, nan}, nullptr},     {{1.0f, -inf}, nullptr}};
    for (const auto& [v, expected] : cases)
    {
        const Bytes image = convolve(uniform(16, 9, v), noise, 16, 9);
        EXPECT_EQ(convolve(uniform(16, 9, v), noise, 16, 9, 3, LIC::kKernelLength, nullptr,
                           LIC::Kernel::Sse2),
                  image)
            << v.x << ", " << v.y;
        EXPECT_EQ(image, expected ? *expected : image) << v.x << ", " << v.y;
    }
    // Kernel lengths whose table index or segment count would overflow give black.
    for (const float krnlen : {0.0f, -10.0f, 1e-39f, 1e30f, nan, inf})
        EXPECT_EQ(convolve(uniform(16, 9, {1.0f, 0.5f}), noise, 16, 9, 1, krnlen), black) << krnlen;
}

// The noise sums the two low bytes of each rand(), as the images stored with data were made.
TEST(WhiteNoise, SumsTheTwoLowBytesOfEachRand)
{
    std::srand(7);
    const int r = std::rand();
    std::srand(7);
    EXPECT_EQ(noiseOf(1, 1)[0], ((r & 0xff) + ((r >> 8) & 0xff)) % 256);
}

// Scratch files, removed with the fixture.
class Files : public ::testing::Test
{
protected:
    // Writes bytes to a new file and returns its path.
    std::string write(const std::string& bytes)
    {
        const std::string name = "f" + std::to_string(++count) + ".ppm";
        files.text(name, bytes);
        return files.path(name).toStdString();
    }

    FieldFiles files;
    const std::string dir = files.root.string();
    int count = 0;
    ImgProc imgProc;
    LIC lic{int3{2, 2, 1}};
};

// Every failure is reported with its own text and returns, leaving the image record and the
// pixels read earlier exactly as they were.
TEST_F(Files, ReadFailuresKeepThePreviousImageAndTheBufferGrows)
{
    const std::string good = raster(2, 1, 'p');
    Image img;
    ASSERT_EQ(imgProc.readPPM(write(header(2, 1) + good).c_str(), &img), 1);
    const char* const data = img.data;
    const std::string size = "Invalid image size (error loading '%s')\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {dir + "/missing.ppm", "Unable to open file '%s'\n%s: No such file or directory\n"},
        {dir, "Unable to open file '%s'\n%s: Is a directory\n"},
        {write(""), "%s: the file is empty\n"},
        {write("P6\n99999999999 1\n255\n"), size},
        {write("P6\n100000 100000\n255\n"), size},
        {write("P5\n2 1\n255\n"),
         "Invalid image format (must be 'P6' or 'P3') (error loading '%s')\n"},
        {write("P6\n2 1\n255" + good),
         "No white space after the maximum value (error loading '%s')\n"},
        {write(header(2, 2) + raster(2, 2, 'x').substr(1)),
         "Error loading image '%s': the raster ends after 11 of 12 bytes\n"},
        {write(header(16000, 16000)),
         "Error loading image '%s': the raster ends after 0 of 768000000 bytes\n"}};
    for (const auto& [file, message] : cases)
    {
        std::string expected = message;
        for (auto at = expected.find("%s"); at != std::string::npos; at = expected.find("%s"))
            expected.replace(at, 2, file);
        CaptureStderr();
        errno = EEXIST; // left over from an earlier call: never the reason reported
        EXPECT_EQ(imgProc.readPPM(file.c_str(), &img), 0);
        EXPECT_EQ(GetCapturedStderr(), expected);
        EXPECT_EQ(img.data, data);
        EXPECT_EQ(pixels(img), good);
    }
    // Netpbm headers: comments before any number, one line, any white space before the
    // raster, even a raster that starts with white space or "#".
    for (const char* head :
         {"P6 2 1 255\n", "P6\n2 # width\n1\n# max\n255 ", "P6\t2\r1\n255\t", "P6#c\n2 1 255\n"})
    {
        const std::string awkward = " #" + good.substr(2);
        EXPECT_EQ(imgProc.readPPM(write(head + awkward).c_str(), &img), 1) << head;
        EXPECT_EQ(pixels(img), awkward) << head;
    }
    // Comments after the magic number are skipped and P3 reads as binary too. Images share one
    // pixel buffer, which grows for a larger image while earlier records stay readable.
    Image a, b, big;
    const std::string first = raster(4, 3, 'a');
    ASSERT_EQ(imgProc.readPPM(write("P6\n# by hand\n# more\n4 3\n255\n" + first).c_str(), &a), 1);
    EXPECT_EQ(pixels(a), first);
    const std::string second = raster(4, 3, 'k');
    ASSERT_EQ(imgProc.readPPM(write("P3\n4\t3 255  trailing\n" + second).c_str(), &b), 1);
    EXPECT_EQ(b.sizeX, 4);
    EXPECT_EQ(b.sizeY, 3);
    EXPECT_EQ(b.data, a.data);
    EXPECT_EQ(pixels(a), second);

    const std::string large = raster(1500, 1100, 'b');
    ASSERT_EQ(imgProc.readPPM(write(header(1500, 1100) + large).c_str(), &big), 1);
    EXPECT_EQ(pixels(big), large);
    EXPECT_EQ(pixels(a), second);
}

// The grid is larger than the one constructed for. Colour pixels are written as they are; a file
// that cannot be opened is reported.
TEST_F(Files, WriteReadBackAndEqualise)
{
    std::vector<float2> vectors(12 * 5, makeFloat2(0.7f, 0.4f));
    lic.GenLICImage(12, 5, vectors.data(), (dir + "/lic.ppm").c_str());
    EXPECT_FALSE(lic.doLic);
    std::string expected = "P6\n12  5\n255\n";
    for (const unsigned char grey : lic.pImage)
        expected.append(3, static_cast<char>(grey));
    EXPECT_EQ(files.bytes("lic.ppm"), expected);

    const std::string bytes = raster(3, 2, '0');
    const auto* rgb = reinterpret_cast<const unsigned char*>(bytes.data());
    EXPECT_TRUE(imgProc.SavePPM((dir + "/rgb.ppm").c_str(), rgb, 3, 2, false));
    EXPECT_EQ(files.bytes("rgb.ppm"), "P6\n3  2\n255\n" + bytes);
    CaptureStderr();
    EXPECT_FALSE(imgProc.SavePPM((dir + "/no-such-folder/x.ppm").c_str(), rgb, 1, 1, false));
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "No such file", GetCapturedStderr());
    // Equalisation maps bytes through their cumulative share, over the pixels read whatever the
    // grid; plain and equalised records share pixels; failures are reported and return.
    Bytes equal(12, 90);
    lic.Hist_Eq(lic.hist, equal.data(), 4, 3);
    EXPECT_EQ(equal, Bytes(12, 255));
    lic.Hist_Eq(lic.hist, nullptr, 0, 5);

    const auto small = write("P6\n2 1\n255\n\x0a\x0b\x0a\x0b\x0a\x0b");
    ASSERT_TRUE(lic.readinLICImage(4, 4, lic.histoImg.get(), true, small.c_str()));
    EXPECT_EQ(std::string(lic.histoImg->data, 6), "\x80\xff\x80\xff\x80\xff");
    ASSERT_TRUE(lic.readinLICImage(4, 4, lic.image.get(), false, small.c_str()));
    EXPECT_EQ(lic.image->data, lic.histoImg->data);
    EXPECT_EQ(lic.histoImg->data[0], 10);

    CaptureStderr();
    Image untouched;
    EXPECT_FALSE(lic.readinLICImage(4, 4, &untouched, true, (dir + "/none").c_str()));
    EXPECT_NE(GetCapturedStderr(), "");
    EXPECT_EQ(untouched.data, nullptr);
}
// K pixels per cell: the noise at the image's resolution and a kernel K times as many pixels
// long, so a pixel of a uniform flow averages the noise of 30 pixels each way; a zero region
// stays black; an image wider than a texture is refused.
TEST_F(Files, FinerImageSmearsTheSameFieldDistance)
{
    const int w = 30, h = 4, k = 3;
    std::vector<float2> vectors(w * h, makeFloat2(1.0f, 0.0f));
    for (int j = 0; j < h; ++j)
        vectors[j * w] = vectors[j * w + 1] = makeFloat2(0.0f, 0.0f);
    lic.pixelsPerCell = k;
    ASSERT_TRUE(lic.GenLICImage(w, h, vectors.data(), (dir + "/fine.ppm").c_str()));
    ASSERT_EQ(lic.pImage.size(), std::size_t(w * k * h * k));
    for (const int row : {4, 7})
    {
        const unsigned char* n = lic.pNoise.data() + row * w * k;
        for (const int i : {40, 45, 50})
        {
            float sum = n[i] + 0.5f * (n[i - 30] + n[i + 30]);
            for (int m = 1; m < 30; ++m)
                sum += n[i - m] + n[i + m];
            EXPECT_NEAR(lic.pImage[row * w * k + i], sum / 60.0f, 1.0f) << row << ", " << i;
        }
        for (int i = 0; i < k; ++i)
            EXPECT_EQ(lic.pImage[row * w * k + i], 0) << row << ", " << i;
    }
    lic.pixelsPerCell = LIC::kMaxSide / w + 1;
    EXPECT_FALSE(lic.GenLICImage(w, h, vectors.data(), (dir + "/huge.ppm").c_str()));
}

// Closed streamlines around a vortex end, huge and NaN vectors are safe (NaN black), and the
// bytes do not depend on the thread count.
TEST_F(Files, FinerImageIsTheSameForAnyThreadCount)
{
    const int w = 20, h = 15;
    std::vector<float2> vortex(w * h);
    for (int k = 0; k < w * h; ++k)
        vortex[k] = makeFloat2(7.0f - float(k / w), float(k % w) - 9.5f);
    vortex[5] = makeFloat2(3e38f, 0.0f); // a step beyond any coordinate
    vortex[9] = makeFloat2(nan, 1.0f);
    lic.pixelsPerCell = 3;
    Bytes images[2];
    for (const unsigned threads : {1u, 2u})
    {
        lic.threadCount = threads;
        std::srand(3);
        ASSERT_TRUE(lic.GenLICImage(w, h, vortex.data(), (dir + "/vortex.ppm").c_str()));
        images[threads - 1] = lic.pImage;
    }
    EXPECT_EQ(images[0], images[1]);
    EXPECT_EQ(images[0][3 * 9 + 1], 0);
}

// Marks at 100 % x width / 500 within 25-400 %; K = 600 / width below 300 cells, within 4096
// pixels a side.
TEST(FieldFit, MarkSizeAndLicResolutionFollowTheWidth)
{
    const int cases[][4] = {{144, 73, 29, 4},  {500, 500, 100, 1}, {299, 10, 60, 2},
                            {300, 10, 60, 1},  {50, 50, 25, 12},   {3000, 9, 400, 1},
                            {10, 5000, 25, 1}, {0, 0, 100, 1}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(FieldFit::markPercent(c[0]), c[2]) << c[0];
        EXPECT_EQ(FieldFit::licPixelsPerCell(c[0], c[1]), c[3]) << c[0] << " x " << c[1];
    }
}
} // namespace
