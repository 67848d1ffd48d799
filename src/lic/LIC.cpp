#include "lic/LIC.h"

#include "common/printLine.h"
#include "lic/licRows.h"
#include "lic/streamlineLic.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace
{
constexpr float kMinKernel = 1.0e-3f; // kernel lengths outside these bounds give black:
constexpr float kMaxKernel = 1.0e6f;  // their table index or segment count would overflow
constexpr int kRowsPerTask = 4;       // rows a thread takes at a time

// Rows are handed out a few at a time from one counter, so fast and slow regions of the
// field spread over the threads; every pixel is computed alone, so the split cannot change
// a byte.
void convolveRows(const LicRows& rows, bool bAvx2, unsigned char* pImage, std::atomic<int>& nextRow)
{
    for (int first = nextRow.fetch_add(kRowsPerTask); first < rows.height;
         first = nextRow.fetch_add(kRowsPerTask))
    {
        const int end = std::min(first + kRowsPerTask, rows.height);
        if (bAvx2)
            rows.convolveAvx2(first, end, pImage);
        else
            rows.convolveSse2(first, end, pImage);
    }
}

// One coordinate of a fine pixel's centre in grid units: the image covers 0 ... nodes, so the
// field is sampled where the pixel is drawn; beyond the last node it keeps the last value.
void cellOf(int pixel, int k, int nodes, int& node, float& frac)
{
    const float x = std::min((pixel + 0.5f) / float(k), float(nodes - 1));
    node = std::min(static_cast<int>(x), std::max(nodes - 2, 0));
    frac = x - float(node);
}

// The field at k x k pixels per cell, interleaved x, y, sampled bilinearly.
std::vector<float> fineVectors(const float2* field, int w, int h, int k)
{
    const int fineW = w * k;
    const int fineH = h * k;
    std::vector<float> out(2 * std::size_t(fineW) * std::size_t(fineH));
    for (int pj = 0; pj < fineH; ++pj)
    {
        int j = 0;
        float fy = 0.0f;
        cellOf(pj, k, h, j, fy);
        const float2* row0 = field + std::size_t(j) * w;
        const float2* row1 = h > 1 ? row0 + w : row0;
        for (int pi = 0; pi < fineW; ++pi)
        {
            int i = 0;
            float fx = 0.0f;
            cellOf(pi, k, w, i, fx);
            const int i1 = w > 1 ? i + 1 : i;
            const float2 bottom = (1.0f - fx) * row0[i] + fx * row0[i1];
            const float2 top = (1.0f - fx) * row1[i] + fx * row1[i1];
            const float2 v = (1.0f - fy) * bottom + fy * top;
            float* dst = out.data() + 2 * (std::size_t(pj) * fineW + pi);
            dst[0] = v.x;
            dst[1] = v.y;
        }
    }
    return out;
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

bool LIC::GenLICImage(int winWidth, int winHeight, const float2* orgnvectField2d,
                      const char* filename)
{
    const int k = pixelsPerCell;
    if (winWidth <= 0 || winHeight <= 0 || !orgnvectField2d || !filename || k < 1 ||
        (k > 1 && k > kMaxSide / std::max(winWidth, winHeight)))
    {
        return false;
    }
    const int imageW = winWidth * k;
    const int imageH = winHeight * k;
    // A caller with another grid than the one this object was made for gets buffers to fit.
    const std::size_t pixels = std::size_t(imageW) * std::size_t(imageH);
    pNoise.resize(pixels);
    pImage.resize(pixels);

    doLic = true;
    MakeWhiteNoise(imageW, imageH, pNoise.data());
    GenBoxFiltrLUT(kLUTSize, p_LUT0, p_LUT1);
    if (k == 1)
    {
        std::vector<float> vectors(2 * pixels);
        std::memcpy(vectors.data(), orgnvectField2d, pixels * sizeof(float2));
        FlowImagingLIC(vectors.data(), pNoise.data(), pImage.data(), p_LUT0, p_LUT1, kKernelLength,
                       imageW, imageH);
    }
    else
    {
        // Pixels are 1 / k cell wide, so the same field distance takes k times the kernel; a
        // kernel that long is too slow pixel by pixel, so long streamlines serve many pixels.
        const std::vector<float> vectors = fineVectors(orgnvectField2d, winWidth, winHeight, k);
        StreamlineLic(vectors.data(), pNoise.data(), kKernelLength * float(k), imageW, imageH)
            .convolve(pImage.data());
    }
    const bool bSaved = imgProc->SavePPM(filename, pImage.data(), imageW, imageH, doLic);
    doLic = false;
    // Whatever an older file of that name holds belongs to another field or time step.
    unsavedImgPth = bSaved ? std::string() : std::string(filename);
    if (!bSaved)
    {
        unsavedImage = Image{imageW, imageH, nullptr};
        unsavedGrey = pImage;
    }
    return bSaved;
}

bool LIC::GenLICImage(int winWidth, int winHeight, const float2* orgnvectField2d)
{
    const QByteArray path = QFile::encodeName(LICBkImgPth);
    return GenLICImage(winWidth, winHeight, orgnvectField2d, path.constData());
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
    if (!(krnlen >= kMinKernel && krnlen <= kMaxKernel))
    {
        std::fill(pImage_, pImage_ + std::size_t(winWidth) * std::size_t(winHeight), 0);
        return;
    }
    const LicRows rows(pVectr, pNoise_, p_LUT0_, p_LUT1_, krnlen, winWidth, winHeight);
    const bool bAvx2 = kernel != Kernel::Sse2 && LicRows::avx2Supported();
    const unsigned cores = threadCount ? threadCount : std::thread::hardware_concurrency();
    const int threads =
        std::clamp(static_cast<int>(cores), 1, (winHeight + kRowsPerTask - 1) / kRowsPerTask);
    std::atomic<int> nextRow{0};
    std::vector<std::jthread> helpers;
    for (int t = 1; t < threads; ++t)
    {
        helpers.emplace_back([&] { convolveRows(rows, bAvx2, pImage_, nextRow); });
    }
    convolveRows(rows, bAvx2, pImage_, nextRow);
}

bool LIC::readinLICImage(int /*winWidth*/, int /*winHeight*/, Image* tempimage, bool bHist,
                         const char* imageFileName)
{
    if (!tempimage)
    {
        printLine("Error allocating space for image");
        return false;
    }
    if (imageFileName && !unsavedImgPth.empty() && unsavedImgPth == imageFileName)
    {
        readUnsavedImage(tempimage);
    }
    else if (!imgProc->readPPM(imageFileName, tempimage))
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

// The computed image as reading its file would have delivered it: grey bytes as RGB, in a
// buffer of its own that a later equalisation may change.
void LIC::readUnsavedImage(Image* tempimage)
{
    unsavedRgb.resize(3 * unsavedGrey.size());
    for (std::size_t k = 0; k < unsavedGrey.size(); ++k)
    {
        std::fill_n(unsavedRgb.begin() + 3 * k, 3, static_cast<char>(unsavedGrey[k]));
    }
    *tempimage = unsavedImage;
    tempimage->data = unsavedRgb.data();
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
