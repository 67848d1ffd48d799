#include "lic/LIC.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace
{
constexpr float kMinComponent = 0.05f; // below this a component never reaches a border
constexpr float kFarAway = 100000.0f;  // border distance of such a component
constexpr float kOvershoot = 0.0004f;  // carries the next point into the next pixel
constexpr int kRowsPerTask = 4;        // rows a thread takes at a time
constexpr int kPixelsPerBatch = 8;     // pixels whose streamlines advance side by side

// Everything one pixel's convolution reads; shared read-only by all threads.
struct Convolution
{
    const float* pVectr;
    const unsigned char* pNoise;
    const float* wgtLUT[2];
    float krnlen;
    int advcts;   // most segments per direction
    float len2ID; // distance travelled to weight table index
    int width;
    int height;
};

// Noise index of a sample coordinate. A sample can lie past the last row or column (half a
// step beyond a border), so it is clamped to the image; inside it truncates as usual.
int clampedIndex(float coordinate, int size)
{
    if (!(coordinate >= 0.0f))
    {
        return 0;
    }
    if (coordinate >= static_cast<float>(size))
    {
        return size - 1;
    }
    return static_cast<int>(coordinate);
}

bool insideImage(const float2& p, const Convolution& conv)
{
    // Written so that a point made non-finite by an extreme vector also counts as outside.
    return p.x >= 0.0f && p.x < static_cast<float>(conv.width) && p.y >= 0.0f &&
           p.y < static_cast<float>(conv.height);
}

// Length, in units of the vector (vx, vy), from p to the border of p's pixel.
float segmentToBorder(const float2& p, float vx, float vy)
{
    float segLen = kFarAway;
    const int cellX = static_cast<int>(p.x);
    const int cellY = static_cast<int>(p.y);
    if (vx < -kMinComponent)
    {
        segLen = (static_cast<float>(cellX) - p.x) / vx;
    }
    if (vx > kMinComponent)
    {
        segLen = (static_cast<float>(cellX + 1) - p.x) / vx;
    }
    if (vy < -kMinComponent)
    {
        segLen = std::min(segLen, (static_cast<float>(cellY) - p.y) / vy);
    }
    if (vy > kMinComponent)
    {
        segLen = std::min(segLen, (static_cast<float>(cellY + 1) - p.y) / vy);
    }
    return segLen;
}

// One direction of the streamline through one pixel's centre: downstream for advDir 0,
// upstream for 1, accumulating box-filtered noise in t_acum and the filter weight in w_acum.
struct Streamline
{
    float2 clp0;
    int advDir;
    int advcts = 0;
    float curLen = 0.0f;
    float t_acum = 0.0f;
    float w_acum = 0.0f;
    bool done = false;
};

// Takes the next segment of s, from clp0 to the border of its pixel or to the kernel's end.
void advance(const Convolution& conv, Streamline& s)
{
    if (s.advcts >= conv.advcts || !(s.curLen < conv.krnlen))
    {
        s.done = true;
        return;
    }
    const int vec_id = static_cast<int>(s.clp0.y) * conv.width + static_cast<int>(s.clp0.x);
    float vx = conv.pVectr[2 * vec_id];
    float vy = conv.pVectr[2 * vec_id + 1];
    if (vx == 0.0f && vy == 0.0f)
    {
        if (s.advcts == 0)
        {
            s.t_acum = 0.0f;
            s.w_acum = 1.0f;
        }
        s.done = true;
        return;
    }
    if (s.advDir == 1)
    {
        vx = -vx;
        vy = -vy;
    }
    float segLen = segmentToBorder(s.clp0, vx, vy);
    if (s.curLen + segLen > conv.krnlen)
    {
        segLen = conv.krnlen - s.curLen;
        s.curLen = conv.krnlen;
    }
    else
    {
        s.curLen = s.curLen + segLen;
        segLen = segLen + kOvershoot;
    }
    const float2 clp1 = makeFloat2(s.clp0.x + segLen * vx, s.clp0.y + segLen * vy);
    const float sampleX = (s.clp0.x + clp1.x) * 0.5f;
    const float sampleY = (s.clp0.y + clp1.y) * 0.5f;
    const float texVal = conv.pNoise[clampedIndex(sampleY, conv.height) * conv.width +
                                     clampedIndex(sampleX, conv.width)];
    const float W_ACUM = conv.wgtLUT[s.advDir][static_cast<int>(s.curLen * conv.len2ID)];
    const float smpWgt = W_ACUM - s.w_acum;
    s.w_acum = W_ACUM;
    s.t_acum = s.t_acum + texVal * smpWgt;
    if (!insideImage(clp1, conv))
    {
        s.done = true;
        return;
    }
    s.advcts = s.advcts + 1;
    s.clp0 = clp1;
}

unsigned char pixelValue(const Streamline& down, const Streamline& up)
{
    float texVal = (down.t_acum + up.t_acum) / (down.w_acum + up.w_acum);
    // Also maps the quotient of a pixel that gathered no weight at all (0 / 0) to black.
    if (!(texVal >= 0.0f))
    {
        texVal = 0.0f;
    }
    if (texVal > 255.0f)
    {
        texVal = 255.0f;
    }
    return static_cast<unsigned char>(static_cast<int>(texVal));
}

// Pixels count from i0 in row j. Their streamlines are advanced side by side, a segment
// each in turn: each one is a long chain of dependent steps, and interleaving several
// keeps the processor busy while one waits for its division.
void convolvePixels(const Convolution& conv, int i0, int count, int j, unsigned char* out)
{
    Streamline lines[2 * kPixelsPerBatch];
    const int n = 2 * count;
    for (int l = 0; l < n; ++l)
    {
        lines[l].clp0 =
            makeFloat2(static_cast<float>(i0 + l / 2) + 0.5f, static_cast<float>(j) + 0.5f);
        lines[l].advDir = l % 2;
    }
    for (bool busy = true; busy;)
    {
        busy = false;
        for (int l = 0; l < n; ++l)
        {
            if (!lines[l].done)
            {
                advance(conv, lines[l]);
                busy = true;
            }
        }
    }
    for (int k = 0; k < count; ++k)
    {
        out[k] = pixelValue(lines[2 * k], lines[2 * k + 1]);
    }
}

// Rows are handed out a few at a time from one counter, so fast and slow regions of the
// field spread over the threads; every pixel is computed alone, so the split cannot change
// a byte.
void convolveRows(const Convolution& conv, unsigned char* pImage, std::atomic<int>& nextRow)
{
    for (int first = nextRow.fetch_add(kRowsPerTask); first < conv.height;
         first = nextRow.fetch_add(kRowsPerTask))
    {
        const int end = std::min(first + kRowsPerTask, conv.height);
        for (int j = first; j < end; ++j)
        {
            for (int i = 0; i < conv.width; i += kPixelsPerBatch)
            {
                convolvePixels(conv, i, std::min(kPixelsPerBatch, conv.width - i), j,
                               pImage + j * conv.width + i);
            }
        }
    }
}
} // namespace

LIC::LIC(int3 flowFieldSize)
    : imgProc(std::make_unique<ImgProc>()),
      pNoise(std::size_t(std::max(flowFieldSize.x, 0)) * std::size_t(std::max(flowFieldSize.y, 0))),
      pImage(pNoise.size()), image(std::make_unique<Image>()), histoImg(std::make_unique<Image>())
{
    std::fill(std::begin(p_LUT0), std::end(p_LUT0), 0.0f);
    std::fill(std::begin(p_LUT1), std::end(p_LUT1), 0.0f);
    std::fill(std::begin(hist), std::end(hist), 0UL);
}

void LIC::GenLICImage(int winWidth, int winHeight, const float2* orgnvectField2d,
                      const char* filename)
{
    if (winWidth <= 0 || winHeight <= 0 || !orgnvectField2d || !filename)
    {
        return;
    }
    // A caller with another grid than the one this object was made for gets buffers to fit.
    const std::size_t pixels = std::size_t(winWidth) * std::size_t(winHeight);
    pNoise.resize(pixels);
    pImage.resize(pixels);

    doLic = true;
    MakeWhiteNoise(winWidth, winHeight, pNoise.data());
    GenBoxFiltrLUT(kLUTSize, p_LUT0, p_LUT1);
    std::vector<float> vectors(2 * pixels);
    std::memcpy(vectors.data(), orgnvectField2d, pixels * sizeof(float2));
    FlowImagingLIC(vectors.data(), pNoise.data(), pImage.data(), p_LUT0, p_LUT1, kKernelLength,
                   winWidth, winHeight);
    imgProc->SavePPM(filename, pImage.data(), winWidth, winHeight, doLic);
    doLic = false;
}

void LIC::GenLICImage(int winWidth, int winHeight, const float2* orgnvectField2d)
{
    const QByteArray path = QFile::encodeName(LICBkImgPth);
    GenLICImage(winWidth, winHeight, orgnvectField2d, path.constData());
}

void LIC::MakeWhiteNoise(int winWidth, int winHeight, unsigned char* pNoise_)
{
    for (int j = 0; j < winHeight; ++j)
    {
        for (int i = 0; i < winWidth; ++i)
        {
            const int r = std::rand();
            pNoise_[j * winWidth + i] =
                static_cast<unsigned char>(((r & 255) + ((r & 65280) >> 8)) & 255);
        }
    }
}

void LIC::GenBoxFiltrLUT(int LUTsiz, float* p_LUT0_, float* p_LUT1_)
{
    for (int i = 0; i < LUTsiz; ++i)
    {
        p_LUT0_[i] = p_LUT1_[i] = static_cast<float>(i);
    }
}

void LIC::FlowImagingLIC(const float* pVectr, const unsigned char* pNoise_, unsigned char* pImage_,
                         const float* p_LUT0_, const float* p_LUT1_, float krnlen, int winWidth,
                         int winHeight)
{
    if (winWidth <= 0 || winHeight <= 0)
    {
        return;
    }
    const Convolution conv{
        pVectr,           pNoise_,  {p_LUT0_, p_LUT1_}, krnlen, static_cast<int>(krnlen * 3.0f),
        2047.0f / krnlen, winWidth, winHeight};
    const unsigned cores = threadCount ? threadCount : std::thread::hardware_concurrency();
    const int threads =
        std::clamp(static_cast<int>(cores), 1, (winHeight + kRowsPerTask - 1) / kRowsPerTask);
    std::atomic<int> nextRow{0};
    std::vector<std::jthread> helpers;
    for (int t = 1; t < threads; ++t)
    {
        helpers.emplace_back([&] { convolveRows(conv, pImage_, nextRow); });
    }
    convolveRows(conv, pImage_, nextRow);
}

bool LIC::readinLICImage(int /*winWidth*/, int /*winHeight*/, Image* tempimage, bool bHist,
                         const char* imageFileName)
{
    if (!tempimage)
    {
        std::printf("Error allocating space for image");
        std::fflush(stdout);
        return false;
    }
    if (!imgProc->readPPM(imageFileName, tempimage))
    {
        return false;
    }
    // The whole image just read, whatever its size: its three colour bytes per pixel are
    // equalised as one grey image three times as high.
    if (bHist)
    {
        Hist_Eq(hist, reinterpret_cast<unsigned char*>(tempimage->data), tempimage->sizeX,
                3L * tempimage->sizeY);
    }
    return true;
}

int LIC::Hist_Eq(unsigned long* hist_, unsigned char* img_data, long width, long height)
{
    std::fill(hist_, hist_ + 256, 0UL);
    const long n = width * height;
    if (n <= 0)
    {
        return 0;
    }
    for (long k = 0; k < n; ++k)
    {
        ++hist_[img_data[k]];
    }
    double sum_of_hist[256];
    sum_of_hist[0] = static_cast<double>(hist_[0]) / static_cast<double>(n);
    for (int k = 1; k < 256; ++k)
    {
        sum_of_hist[k] =
            sum_of_hist[k - 1] + static_cast<double>(hist_[k]) / static_cast<double>(n);
    }
    for (long k = 0; k < n; ++k)
    {
        img_data[k] =
            static_cast<unsigned char>(static_cast<int>(sum_of_hist[img_data[k]] * 255.0 + 0.5));
    }
    return 0;
}
