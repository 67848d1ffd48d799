#include "lic/LIC.h"
#include "licTestFiles.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace
{
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

// A field as interleaved x, y components, filled from f(i, j).
std::vector<float> field(int width, int height, const std::function<float2(int, int)>& f)
{
    std::vector<float> vectors(2 * std::size_t(width) * height);
    for (int j = 0; j < height; ++j)
    {
        for (int i = 0; i < width; ++i)
        {
            const float2 v = f(i, j);
            vectors[2 * (j * width + i)] = v.x;
            vectors[2 * (j * width + i) + 1] = v.y;
        }
    }
    return vectors;
}

std::vector<float> uniform(int width, int height, float vx, float vy)
{
    return field(width, height, [&](int, int) { return makeFloat2(vx, vy); });
}

// Convolves a field with given noise and the box filter of the generator.
class Convolve : public ::testing::Test
{
protected:
    std::vector<unsigned char> run(const std::vector<float>& vectors,
                                   const std::vector<unsigned char>& noise, int width, int height,
                                   unsigned threads = 1)
    {
        LIC lic(int3{width, height, 1});
        lic.threadCount = threads;
        lic.GenBoxFiltrLUT(LIC::kLUTSize, lic.p_LUT0, lic.p_LUT1);
        std::vector<unsigned char> image(std::size_t(width) * height, 77);
        lic.FlowImagingLIC(vectors.data(), noise.data(), image.data(), lic.p_LUT0, lic.p_LUT1,
                           LIC::kKernelLength, width, height);
        return image;
    }

    static std::vector<unsigned char> noiseOf(int width, int height)
    {
        LIC lic(int3{width, height, 1});
        std::vector<unsigned char> noise(std::size_t(width) * height);
        lic.MakeWhiteNoise(width, height, noise.data());
        return noise;
    }
};

// The convolution written out plainly, one streamline at a time, for comparison.
std::vector<unsigned char> reference(const std::vector<float>& v,
                                     const std::vector<unsigned char>& noise, const float* lut0,
                                     const float* lut1, float krnlen, int w, int h)
{
    const auto cell = [](float c, int n) { return !(c >= 0.0f) ? 0 : c >= n ? n - 1 : int(c); };
    std::vector<unsigned char> image(std::size_t(w) * h);
    for (int j = 0; j < h; ++j)
    {
        for (int i = 0; i < w; ++i)
        {
            float t[2] = {0.0f, 0.0f};
            float wa[2] = {0.0f, 0.0f};
            for (int dir = 0; dir < 2; ++dir)
            {
                const float* lut = dir == 0 ? lut0 : lut1;
                float x = i + 0.5f;
                float y = j + 0.5f;
                float curLen = 0.0f;
                for (int steps = 0; steps < int(krnlen * 3.0f) && curLen < krnlen; ++steps)
                {
                    const int id = int(y) * w + int(x);
                    float vx = v[2 * id];
                    float vy = v[2 * id + 1];
                    if (vx == 0.0f && vy == 0.0f)
                    {
                        if (steps == 0)
                        {
                            wa[dir] = 1.0f;
                        }
                        break;
                    }
                    if (dir == 1)
                    {
                        vx = -vx;
                        vy = -vy;
                    }
                    float seg = 100000.0f;
                    if (vx < -0.05f)
                        seg = (float(int(x)) - x) / vx;
                    if (vx > 0.05f)
                        seg = (float(int(x) + 1) - x) / vx;
                    if (vy < -0.05f)
                        seg = std::min(seg, (float(int(y)) - y) / vy);
                    if (vy > 0.05f)
                        seg = std::min(seg, (float(int(y) + 1) - y) / vy);
                    if (curLen + seg > krnlen)
                    {
                        seg = krnlen - curLen;
                        curLen = krnlen;
                    }
                    else
                    {
                        curLen = curLen + seg;
                        seg = seg + 0.0004f;
                    }
                    const float x1 = x + seg * vx;
                    const float y1 = y + seg * vy;
                    const float tex =
                        noise[cell((y + y1) * 0.5f, h) * w + cell((x + x1) * 0.5f, w)];
                    const float acc = lut[int(curLen * (2047.0f / krnlen))];
                    t[dir] = t[dir] + tex * (acc - wa[dir]);
                    wa[dir] = acc;
                    if (!(x1 >= 0.0f && x1 < w && y1 >= 0.0f && y1 < h))
                        break;
                    x = x1;
                    y = y1;
                }
            }
            const float value = (t[0] + t[1]) / (wa[0] + wa[1]);
            image[j * w + i] = value >= 0.0f ? (unsigned char)int(std::min(value, 255.0f)) : 0;
        }
    }
    return image;
}

TEST_F(Convolve, MatchesTheStepByStepDefinition)
{
    const int w = 37;
    const int h = 23;
    std::mt19937 random(2024);
    const auto unit = [&] { return float(random() % 20001) / 10000.0f - 1.0f; };
    // Every kind of vector: ordinary, strong, weak, axis-aligned and zero.
    const auto vectors =
        field(w, h,
              [&](int i, int j)
              {
                  switch ((i * 7 + j * 3) % 6)
                  {
                  case 0:
                      return makeFloat2(3.0f * unit(), 3.0f * unit());
                  case 1:
                      return makeFloat2(40.0f * unit(), 0.5f * unit());
                  case 2:
                      return makeFloat2(0.04f * unit(), 0.05f * unit());
                  case 3:
                      return makeFloat2(unit(), 0.0f);
                  case 4:
                      return (i + j) % 4 == 0 ? makeFloat2(0.0f, 0.0f) : makeFloat2(0.0f, unit());
                  default:
                      return makeFloat2(0.3f * unit(), 0.7f * unit());
                  }
              });
    const auto noise = noiseOf(w, h);
    // Distinct tables show that each direction reads its own.
    std::vector<float> lut0(LIC::kLUTSize);
    std::vector<float> lut1(LIC::kLUTSize);
    for (int k = 0; k < LIC::kLUTSize; ++k)
    {
        lut0[k] = float(k);
        lut1[k] = float(k) * 0.25f + float(k % 7);
    }
    for (const float krnlen : {10.0f, 3.5f})
    {
        SCOPED_TRACE(krnlen);
        LIC lic(int3{w, h, 1});
        lic.threadCount = 2;
        std::vector<unsigned char> image(std::size_t(w) * h);
        lic.FlowImagingLIC(vectors.data(), noise.data(), image.data(), lut0.data(), lut1.data(),
                           krnlen, w, h);
        EXPECT_EQ(image, reference(vectors, noise, lut0.data(), lut1.data(), krnlen, w, h));
    }
}

TEST_F(Convolve, ZeroFieldIsBlack)
{
    const int w = 13;
    const int h = 7;
    const auto image = run(uniform(w, h, 0.0f, 0.0f), noiseOf(w, h), w, h);
    EXPECT_EQ(image, std::vector<unsigned char>(w * h, 0));
}

TEST_F(Convolve, UniformRowFlowAveragesAlongRowsOnly)
{
    const int w = 40;
    const int h = 6;
    const auto vectors = uniform(w, h, 1.0f, 0.0f);

    // Noise constant along each row comes back unchanged: the filter's weights are
    // normalised and no neighbouring row leaks in.
    std::vector<unsigned char> rows(w * h);
    for (int k = 0; k < w * h; ++k)
    {
        rows[k] = static_cast<unsigned char>(40 * (k / w) + 3);
    }
    EXPECT_EQ(run(vectors, rows, w, h), rows);

    // One changed noise pixel reaches ten pixels to either side in its own row, no further.
    auto noise = noiseOf(w, h);
    noise[2 * w + 20] = 0;
    const auto dark = run(vectors, noise, w, h);
    noise[2 * w + 20] = 255;
    const auto bright = run(vectors, noise, w, h);
    for (int j = 0; j < h; ++j)
    {
        for (int i = 0; i < w; ++i)
        {
            SCOPED_TRACE(testing::Message() << "pixel " << i << ", " << j);
            const bool reached = j == 2 && std::abs(i - 20) <= 10;
            EXPECT_EQ(dark[j * w + i] != bright[j * w + i], reached);
        }
    }
}

TEST_F(Convolve, BelowThresholdVectorsSampleTheirOwnPixel)
{
    const int w = 9;
    const int h = 8;
    const auto noise = noiseOf(w, h);
    for (const float2 v : {makeFloat2(0.01f, -0.02f), makeFloat2(0.05f, 0.05f),
                           makeFloat2(-0.05f, 0.0f), makeFloat2(0.0f, 1e-30f)})
    {
        SCOPED_TRACE(testing::Message() << v.x << ", " << v.y);
        EXPECT_EQ(run(uniform(w, h, v.x, v.y), noise, w, h), noise);
    }
}

TEST_F(Convolve, ThreadsDoNotChangeAByte)
{
    const int w = 97;
    const int h = 61;
    // A vortex with a sink, a zero at its centre and small vectors around it.
    const auto vectors = field(w, h,
                               [](int i, int j)
                               {
                                   const float x = static_cast<float>(i) - 40.3f;
                                   const float y = static_cast<float>(j) - 25.7f;
                                   return makeFloat2(-0.3f * y - 0.05f * x, 0.3f * x - 0.05f * y);
                               });
    const auto noise = noiseOf(w, h);
    const auto single = run(vectors, noise, w, h, 1);
    EXPECT_EQ(run(vectors, noise, w, h, 2), single);
    EXPECT_EQ(run(vectors, noise, w, h, 5), single);
    EXPECT_EQ(run(vectors, noise, w, h, 0), single);
    // Not trivially uniform.
    EXPECT_NE(std::count(single.begin(), single.end(), single[0]), w * h);
}

// Extreme vectors step far past the border in one segment: their samples must stay inside
// the noise (the sanitizer build checks the reads), and the image must come out defined.
TEST_F(Convolve, ExtremeVectorsStayInsideTheNoise)
{
    const int w = 16;
    const int h = 9;
    const auto noise = noiseOf(w, h);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const float2 v : {makeFloat2(5000.0f, 3000.0f), makeFloat2(-4e6f, 0.0f),
                           makeFloat2(0.0f, 7e5f), makeFloat2(inf, 0.0f), makeFloat2(nan, 0.0f),
                           makeFloat2(nan, nan), makeFloat2(1.0f, -inf)})
    {
        SCOPED_TRACE(testing::Message() << v.x << ", " << v.y);
        const auto image = run(uniform(w, h, v.x, v.y), noise, w, h);
        EXPECT_EQ(image, run(uniform(w, h, v.x, v.y), noise, w, h, 3));
    }
    // Vectors large enough that every pixel's one step gathers no weight at all come out
    // black rather than as the conversion of 0 / 0.
    const auto image = run(uniform(w, h, 5000.0f, 0.0f), noise, w, h);
    EXPECT_EQ(image, std::vector<unsigned char>(w * h, 0));
}

TEST_F(Convolve, UnusableKernelLengthsGiveBlack)
{
    const int w = 6;
    const int h = 5;
    const auto vectors = uniform(w, h, 1.0f, 0.5f);
    const auto noise = noiseOf(w, h);
    LIC lic(int3{w, h, 1});
    lic.GenBoxFiltrLUT(LIC::kLUTSize, lic.p_LUT0, lic.p_LUT1);
    for (const float krnlen : {0.0f, -10.0f, 1e-39f, 1e30f, std::numeric_limits<float>::quiet_NaN(),
                               std::numeric_limits<float>::infinity()})
    {
        SCOPED_TRACE(krnlen);
        std::vector<unsigned char> image(w * h, 99);
        lic.FlowImagingLIC(vectors.data(), noise.data(), image.data(), lic.p_LUT0, lic.p_LUT1,
                           krnlen, w, h);
        EXPECT_EQ(image, std::vector<unsigned char>(w * h, 0));
    }
}

TEST(WhiteNoise, SumsTheTwoLowBytesOfEachRand)
{
    LIC lic(int3{5, 3, 1});
    std::vector<unsigned char> noise(15);
    std::srand(12345);
    lic.MakeWhiteNoise(5, 3, noise.data());
    std::srand(12345);
    for (int k = 0; k < 15; ++k)
    {
        const int r = std::rand();
        EXPECT_EQ(noise[k], ((r & 0xff) + ((r >> 8) & 0xff)) % 256);
    }
    // The sequence goes on: the next noise differs.
    std::vector<unsigned char> next(15);
    lic.MakeWhiteNoise(5, 3, next.data());
    EXPECT_NE(next, noise);
}

class Generate : public ScratchDir
{
};

TEST_F(Generate, WritesTheGreyImageAsAPPMFile)
{
    const int w = 12;
    const int h = 5;
    std::vector<float2> vectors(w * h, makeFloat2(0.7f, 0.4f));
    vectors[0] = makeFloat2(0.0f, 0.0f);
    LIC lic(int3{w, h, 1});
    const auto file = (dir / "lic.ppm").string();
    lic.GenLICImage(w, h, vectors.data(), file.c_str());
    EXPECT_FALSE(lic.doLic);
    EXPECT_EQ(lic.p_LUT0[2047], 2047.0f);
    EXPECT_EQ(lic.p_LUT1[100], 100.0f);

    std::string expected = "P6\n12  5\n255\n";
    for (const unsigned char grey : lic.pImage)
    {
        expected.append(3, static_cast<char>(grey));
    }
    EXPECT_EQ(contents(file), expected);
    EXPECT_EQ(lic.pImage[0], 0);

    // The short form writes to LICBkImgPth, with fresh noise.
    lic.LICBkImgPth = QString::fromStdString((dir / "second.ppm").string());
    lic.GenLICImage(w, h, vectors.data());
    EXPECT_NE(contents((dir / "second.ppm").string()), expected);
}

TEST_F(Generate, AGridLargerThanTheConstructedOneFits)
{
    LIC lic(int3{2, 2, 1});
    std::vector<float2> vectors(30 * 20, makeFloat2(0.0f, 0.0f));
    const auto file = (dir / "big.ppm").string();
    lic.GenLICImage(30, 20, vectors.data(), file.c_str());
    EXPECT_EQ(contents(file), "P6\n30  20\n255\n" + std::string(30 * 20 * 3, '\0'));
}

TEST(HistEq, MapsBytesThroughTheCumulativeShare)
{
    LIC lic(int3{1, 1, 1});
    std::vector<unsigned char> equal(12, 90);
    EXPECT_EQ(lic.Hist_Eq(lic.hist, equal.data(), 4, 3), 0);
    EXPECT_EQ(equal, std::vector<unsigned char>(12, 255));
    EXPECT_EQ(lic.hist[90], 12u);

    std::vector<unsigned char> halves = {0, 255, 255, 0, 0, 255};
    lic.Hist_Eq(lic.hist, halves.data(), 6, 1);
    EXPECT_EQ(halves, (std::vector<unsigned char>{128, 255, 255, 128, 128, 255}));
    EXPECT_EQ(lic.hist[90], 0u);

    lic.Hist_Eq(lic.hist, nullptr, 0, 5);
    EXPECT_EQ(lic.hist[0], 0u);
}

class ReadBack : public ScratchDir
{
protected:
    std::string imageFile(int width, int height, unsigned char first)
    {
        std::string bytes =
            "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
        for (int k = 0; k < 3 * width * height; ++k)
        {
            bytes += static_cast<char>(first + k % 2);
        }
        return write("img" + std::to_string(width) + ".ppm", bytes);
    }

    LIC lic{int3{4, 4, 1}};
};

TEST_F(ReadBack, EqualisesThePixelsReadEvenForAnotherSize)
{
    // A 2 x 1 file read for a 4 x 4 grid: only its own 6 bytes take part.
    const auto file = imageFile(2, 1, 10);
    ASSERT_TRUE(lic.readinLICImage(4, 4, lic.histoImg.get(), true, file.c_str()));
    const std::string expected("\x80\xff\x80\xff\x80\xff", 6);
    EXPECT_EQ(std::string(lic.histoImg->data, 6), expected);
    EXPECT_EQ(lic.hist[10] + lic.hist[11], 6u);
}

TEST_F(ReadBack, PlainAndEqualisedRecordsSharePixels)
{
    const auto file = imageFile(4, 4, 40);
    ASSERT_TRUE(lic.readinLICImage(4, 4, lic.image.get(), false, file.c_str()));
    EXPECT_EQ(static_cast<unsigned char>(lic.image->data[0]), 40);
    ASSERT_TRUE(lic.readinLICImage(4, 4, lic.histoImg.get(), true, file.c_str()));
    EXPECT_EQ(lic.image->data, lic.histoImg->data);
    EXPECT_EQ(static_cast<unsigned char>(lic.image->data[0]), 128);
}

TEST_F(ReadBack, FailuresAreReportedAndReturn)
{
    CaptureStdout();
    EXPECT_FALSE(lic.readinLICImage(4, 4, nullptr, false, imageFile(4, 4, 1).c_str()));
    EXPECT_EQ(GetCapturedStdout(), "Error allocating space for image");

    const auto bad = write("bad.ppm", "P6\n4 4\n15\n");
    CaptureStderr();
    EXPECT_FALSE(lic.readinLICImage(4, 4, lic.image.get(), true, bad.c_str()));
    EXPECT_EQ(GetCapturedStderr(), "'" + bad + "' does not have 8-bits components\n");
    EXPECT_EQ(lic.image->data, nullptr);
    EXPECT_EQ(lic.image->sizeX, 0);
}
} // namespace
