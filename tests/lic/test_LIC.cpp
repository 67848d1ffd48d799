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
using Bytes = std::vector<unsigned char>;

// A field as interleaved x, y components, filled from f(i, j).
std::vector<float> field(int w, int h, const std::function<float2(int, int)>& f)
{
    std::vector<float> vectors;
    for (int k = 0; k < w * h; ++k)
    {
        const float2 v = f(k % w, k / w);
        vectors.insert(vectors.end(), {v.x, v.y});
    }
    return vectors;
}

Bytes noiseOf(int w, int h)
{
    Bytes noise(std::size_t(w) * h);
    LIC(int3{w, h, 1}).MakeWhiteNoise(w, h, noise.data());
    return noise;
}

// The generator's box filter and kernel on the given number of threads.
Bytes convolve(const std::vector<float>& vectors, const Bytes& noise, int w, int h,
               unsigned threads = 1)
{
    LIC lic(int3{w, h, 1});
    lic.threadCount = threads;
    lic.GenBoxFiltrLUT(LIC::kLUTSize, lic.p_LUT0, lic.p_LUT1);
    Bytes image(std::size_t(w) * h, 77);
    lic.FlowImagingLIC(vectors.data(), noise.data(), image.data(), lic.p_LUT0, lic.p_LUT1,
                       LIC::kKernelLength, w, h);
    return image;
}

// Length along d from p to the border of p's cell; far away when d is too small to reach it.
float toBorder(float p, float d)
{
    return d < -0.05f  ? (float(int(p)) - p) / d
           : d > 0.05f ? (float(int(p) + 1) - p) / d
                       : 100000.0f;
}

// The convolution written out plainly, one streamline at a time, for comparison.
Bytes reference(const std::vector<float>& v, const Bytes& noise, const float* const lut[2],
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
            for (int steps = 0; steps < int(krnlen * 3.0f) && curLen < krnlen; ++steps)
            {
                const int id = int(y) * w + int(x);
                const float sign = dir == 0 ? 1.0f : -1.0f;
                const float vx = sign * v[2 * id];
                const float vy = sign * v[2 * id + 1];
                if (vx == 0.0f && vy == 0.0f)
                {
                    wa[dir] = steps == 0 ? 1.0f : wa[dir];
                    break;
                }
                float seg = std::min(toBorder(x, vx), toBorder(y, vy));
                const float reached = curLen + seg;
                seg = reached > krnlen ? krnlen - curLen : seg + 0.0004f;
                curLen = std::min(reached, krnlen);
                const float x1 = x + seg * vx;
                const float y1 = y + seg * vy;
                const float acc = lut[dir][int(curLen * (2047.0f / krnlen))];
                const float tex = noise[cell((y + y1) * 0.5f, h) * w + cell((x + x1) * 0.5f, w)];
                t[dir] = t[dir] + tex * (acc - wa[dir]);
                wa[dir] = acc;
                if (!(x1 >= 0.0f && x1 < w && y1 >= 0.0f && y1 < h))
                {
                    break;
                }
                x = x1;
                y = y1;
            }
        }
        const float value = (t[0] + t[1]) / (wa[0] + wa[1]);
        image[k] = value >= 0.0f ? (unsigned char)int(std::min(value, 255.0f)) : 0;
    }
    return image;
}

TEST(Convolve, EveryThreadCountMatchesThePlainDefinition)
{
    const int w = 37;
    const int h = 23;
    std::mt19937 random(2024);
    const auto unit = [&] { return float(random() % 20001) / 10000.0f - 1.0f; };
    // Ordinary, strong, weak, axis-aligned and zero vectors.
    const auto vectors = field(w, h,
                               [&](int i, int j)
                               {
                                   const float a = unit();
                                   const float b = unit();
                                   const float2 kinds[] = {{3 * a, 3 * b},
                                                           {40 * a, 0.5f * b},
                                                           {0.04f * a, 0.05f * b},
                                                           {a, 0.0f},
                                                           {0.0f, (i + j) % 4 ? b : 0.0f}};
                                   return kinds[(i * 7 + j * 3) % 5];
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
    const float* const luts[2] = {lut0.data(), lut1.data()};
    for (const float krnlen : {10.0f, 3.5f})
    {
        const Bytes expected = reference(vectors, noise, luts, krnlen, w, h);
        for (const unsigned threads : {1u, 2u, 5u, 0u})
        {
            SCOPED_TRACE(testing::Message() << krnlen << " on " << threads << " threads");
            LIC lic(int3{w, h, 1});
            lic.threadCount = threads;
            Bytes image(std::size_t(w) * h);
            lic.FlowImagingLIC(vectors.data(), noise.data(), image.data(), luts[0], luts[1], krnlen,
                               w, h);
            EXPECT_EQ(image, expected);
        }
    }
}

// Uniform fields: zero is black; components below the threshold sample only their own pixel;
// steps far past the border gather no weight (black, not 0 / 0). Extreme and NaN vectors must
// keep their samples inside the noise (the sanitizer build checks) and not depend on threads.
TEST(Convolve, UniformFields)
{
    const int w = 16;
    const int h = 9;
    const Bytes noise = noiseOf(w, h);
    const Bytes black(w * h, 0);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<std::pair<float2, const Bytes*>> cases = {
        {{0.0f, 0.0f}, &black},   {{0.01f, -0.02f}, &noise}, {{0.05f, 0.05f}, &noise},
        {{-0.05f, 0.0f}, &noise}, {{0.0f, 1e-30f}, &noise},  {{5000.0f, 3000.0f}, &black},
        {{-4e6f, 0.0f}, &black},  {{0.0f, 7e5f}, &black},    {{inf, 0.0f}, nullptr},
        {{nan, 0.0f}, nullptr},   {{nan, nan}, nullptr},     {{1.0f, -inf}, nullptr}};
    for (const auto& [v, expected] : cases)
    {
        SCOPED_TRACE(testing::Message() << v.x << ", " << v.y);
        const auto vectors = field(w, h, [&](int, int) { return v; });
        const Bytes image = convolve(vectors, noise, w, h);
        EXPECT_EQ(convolve(vectors, noise, w, h, 3), image);
        if (expected)
        {
            EXPECT_EQ(image, *expected);
        }
    }
}

TEST(Convolve, RowFlowAveragesAlongRowsOnly)
{
    const int w = 40;
    const int h = 6;
    const auto vectors = field(w, h, [](int, int) { return makeFloat2(1.0f, 0.0f); });
    // Noise constant along each row comes back unchanged: the weights are normalised.
    Bytes rows(w * h);
    for (int k = 0; k < w * h; ++k)
    {
        rows[k] = static_cast<unsigned char>(40 * (k / w) + 3);
    }
    EXPECT_EQ(convolve(vectors, rows, w, h), rows);
    // One changed noise pixel reaches ten pixels to either side in its own row, no further.
    auto noise = noiseOf(w, h);
    noise[2 * w + 20] = 0;
    const auto dark = convolve(vectors, noise, w, h);
    noise[2 * w + 20] = 255;
    const auto bright = convolve(vectors, noise, w, h);
    for (int k = 0; k < w * h; ++k)
    {
        EXPECT_EQ(dark[k] != bright[k], k / w == 2 && std::abs(k % w - 20) <= 10) << "pixel " << k;
    }
}

TEST(Convolve, UnusableKernelLengthsGiveBlack)
{
    const auto vectors = field(6, 5, [](int, int) { return makeFloat2(1.0f, 0.5f); });
    const auto noise = noiseOf(6, 5);
    LIC lic(int3{6, 5, 1});
    lic.GenBoxFiltrLUT(LIC::kLUTSize, lic.p_LUT0, lic.p_LUT1);
    for (const float krnlen : {0.0f, -10.0f, 1e-39f, 1e30f, std::numeric_limits<float>::quiet_NaN(),
                               std::numeric_limits<float>::infinity()})
    {
        Bytes image(30, 99);
        lic.FlowImagingLIC(vectors.data(), noise.data(), image.data(), lic.p_LUT0, lic.p_LUT1,
                           krnlen, 6, 5);
        EXPECT_EQ(image, Bytes(30, 0)) << krnlen;
    }
}

TEST(WhiteNoise, SumsTheTwoLowBytesOfEachRandWithoutReseeding)
{
    LIC lic(int3{5, 3, 1});
    Bytes noise(30);
    std::srand(12345);
    lic.MakeWhiteNoise(5, 3, noise.data());
    lic.MakeWhiteNoise(5, 3, noise.data() + 15);
    std::srand(12345);
    for (int k = 0; k < 30; ++k)
    {
        const int r = std::rand();
        EXPECT_EQ(noise[k], ((r & 0xff) + ((r >> 8) & 0xff)) % 256) << k;
    }
}

class LICFiles : public ScratchDir
{
protected:
    LIC lic{int3{2, 2, 1}};
};

// A grid larger than the one constructed for still fits.
TEST_F(LICFiles, GenerateWritesTheGreyImage)
{
    std::vector<float2> vectors(12 * 5, makeFloat2(0.7f, 0.4f));
    vectors[0] = makeFloat2(0.0f, 0.0f);
    const auto file = (dir / "lic.ppm").string();
    lic.GenLICImage(12, 5, vectors.data(), file.c_str());
    EXPECT_FALSE(lic.doLic);
    std::string expected = "P6\n12  5\n255\n";
    for (const unsigned char grey : lic.pImage)
    {
        expected.append(3, static_cast<char>(grey));
    }
    EXPECT_EQ(contents(file), expected);
    EXPECT_EQ(lic.pImage[0], 0);
    // The short form writes to LICBkImgPth, with fresh noise.
    lic.LICBkImgPth = QString::fromStdString((dir / "second.ppm").string());
    lic.GenLICImage(12, 5, vectors.data());
    EXPECT_NE(contents((dir / "second.ppm").string()), expected);
}

TEST_F(LICFiles, HistEqMapsBytesThroughTheCumulativeShare)
{
    Bytes equal(12, 90);
    lic.Hist_Eq(lic.hist, equal.data(), 4, 3);
    EXPECT_EQ(equal, Bytes(12, 255));
    EXPECT_EQ(lic.hist[90], 12u);
    Bytes halves = {0, 255, 255, 0, 0, 255};
    lic.Hist_Eq(lic.hist, halves.data(), 6, 1);
    EXPECT_EQ(halves, (Bytes{128, 255, 255, 128, 128, 255}));
    lic.Hist_Eq(lic.hist, nullptr, 0, 5);
    EXPECT_EQ(lic.hist[0], 0u);
}

// Equalisation covers the pixels read, whatever the grid; plain and equalised records share
// pixels; failures are reported and return.
TEST_F(LICFiles, ReadBack)
{
    const auto small = write("P6\n2 1\n255\n" + std::string("\x0a\x0b\x0a\x0b\x0a\x0b"));
    ASSERT_TRUE(lic.readinLICImage(4, 4, lic.histoImg.get(), true, small.c_str()));
    EXPECT_EQ(std::string(lic.histoImg->data, 6), "\x80\xff\x80\xff\x80\xff");
    EXPECT_EQ(lic.hist[10] + lic.hist[11], 6u);
    ASSERT_TRUE(lic.readinLICImage(4, 4, lic.image.get(), false, small.c_str()));
    EXPECT_EQ(lic.image->data, lic.histoImg->data);
    EXPECT_EQ(lic.histoImg->data[0], 10);

    testing::internal::CaptureStdout();
    EXPECT_FALSE(lic.readinLICImage(4, 4, nullptr, false, small.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error allocating space for image");
    const auto bad = write("P6\n4 4\n15\n");
    testing::internal::CaptureStderr();
    Image untouched;
    EXPECT_FALSE(lic.readinLICImage(4, 4, &untouched, true, bad.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "'" + bad + "' does not have 8-bits components\n");
    EXPECT_EQ(untouched.data, nullptr);
}
} // namespace
