#include "lic/LIC.h"

#include "common/printLine.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <emmintrin.h>
#include <thread>

namespace
{
constexpr float kMinComponent = 0.05f; // below this a component never reaches a border
constexpr float kFarAway = 100000.0f;  // border distance of such a component
constexpr float kOvershoot = 0.0004f;  // carries the next point into the next pixel
constexpr float kMinKernel = 1.0e-3f;  // kernel lengths outside these bounds give black:
constexpr float kMaxKernel = 1.0e6f;   // their table index or segment count would overflow
constexpr int kRowsPerTask = 4;        // rows a thread takes at a time
constexpr int kLanes = 4;              // streamlines per SSE register
constexpr int kGroups = 2;             // registers of pixels advanced side by side
constexpr int kPixelsPerBatch = kLanes * kGroups;

// Everything the convolution reads, with its constants in every lane; shared read-only by
// all threads.
struct Convolution
{
    Convolution(const float* vectors, const unsigned char* noise, const float* lut0,
                const float* lut1, float kernel, int w, int h)
        : pVectr(vectors), pNoise(noise), wgtLUT{lut0, lut1}, width(w), height(h),
          krnlen(_mm_set1_ps(kernel)), len2ID(_mm_set1_ps(2047.0f / kernel)),
          advcts(_mm_set1_epi32(static_cast<int>(kernel * 3.0f))), widthI(_mm_set1_epi32(w)),
          widthF(_mm_set1_ps(static_cast<float>(w))), heightF(_mm_set1_ps(static_cast<float>(h))),
          lastColumn(_mm_set1_ps(static_cast<float>(w - 1))),
          lastRow(_mm_set1_ps(static_cast<float>(h - 1)))
    {
    }

    const float* pVectr;
    const unsigned char* pNoise;
    const float* wgtLUT[2];
    int width;
    int height;
    __m128 krnlen;
    __m128 len2ID;  // distance travelled to weight table index
    __m128i advcts; // most segments per direction
    __m128i widthI;
    __m128 widthF;
    __m128 heightF;
    __m128 lastColumn;
    __m128 lastRow;
};

// Four streamlines in one direction (downstream for advDir 0, upstream for 1) from the
// centres of four neighbouring pixels, one per lane. Each lane does exactly the single
// precision operations of a lone streamline, in the same order, so the lanes change speed
// only, never a result.
struct Streamlines
{
    __m128 clp0x;
    __m128 clp0y;
    __m128 curLen;
    __m128 t_acum; // accumulated noise
    __m128 w_acum; // accumulated filter weight
    __m128i advcts;
    __m128 live; // all bits set in lanes still advancing
    int advDir;
};

__m128 select(__m128 mask, __m128 ifSet, __m128 ifClear)
{
    return _mm_or_ps(_mm_and_ps(mask, ifSet), _mm_andnot_ps(mask, ifClear));
}

// Index y * width + x of the lanes' cells (below 2^31: the image fits in memory).
__m128i cellIndex(__m128i x, __m128i y, __m128i width)
{
    const __m128i even = _mm_mul_epu32(y, width);
    const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(y, 32), width);
    const __m128i rows = _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                                            _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
    return _mm_add_epi32(rows, x);
}

struct LaneIndices
{
    explicit LaneIndices(__m128i index) { _mm_store_si128(reinterpret_cast<__m128i*>(at), index); }
    alignas(16) int at[kLanes];
};

// The vectors of the lanes' cells, split into x and y components.
void gatherVectors(const float* pVectr, __m128i vec_id, __m128& vx, __m128& vy)
{
    const LaneIndices id(vec_id);
    const auto pair = [&](int l) { return reinterpret_cast<const __m64*>(pVectr + 2 * id.at[l]); };
    const __m128 low = _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), pair(0)), pair(1));
    const __m128 high = _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), pair(2)), pair(3));
    vx = _mm_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0));
    vy = _mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1));
}

__m128 gatherNoise(const unsigned char* pNoise, __m128i index)
{
    const LaneIndices id(index);
    return _mm_cvtepi32_ps(
        _mm_setr_epi32(pNoise[id.at[0]], pNoise[id.at[1]], pNoise[id.at[2]], pNoise[id.at[3]]));
}

__m128 gatherWeights(const float* wgtLUT, __m128i index)
{
    const LaneIndices id(index);
    return _mm_setr_ps(wgtLUT[id.at[0]], wgtLUT[id.at[1]], wgtLUT[id.at[2]], wgtLUT[id.at[3]]);
}

// Noise cell of a sample coordinate. A sample can lie beyond the last row or column (half a
// step past a border), so it is clamped to the image, NaN to 0; inside it truncates.
__m128i clampedCell(__m128 coordinate, __m128 last)
{
    return _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(coordinate, _mm_setzero_ps()), last));
}

// Length, in units of the vector v along one axis, from p to its cell's border on that axis,
// and where the component is large enough to reach it.
__m128 borderDistance(__m128 p, __m128i cell, __m128 v, __m128& reaches)
{
    const __m128 below = _mm_cmplt_ps(v, _mm_set1_ps(-kMinComponent));
    const __m128 above = _mm_cmpgt_ps(v, _mm_set1_ps(kMinComponent));
    reaches = _mm_or_ps(below, above);
    const __m128 lower = _mm_cvtepi32_ps(cell);
    const __m128 upper = _mm_cvtepi32_ps(_mm_add_epi32(cell, _mm_set1_epi32(1)));
    return _mm_div_ps(_mm_sub_ps(select(below, lower, upper), p), v);
}

Streamlines startStreamlines(int i0, int count, int j, int advDir)
{
    alignas(16) float x[kLanes];
    alignas(16) int live[kLanes];
    for (int l = 0; l < kLanes; ++l)
    {
        // Lanes past the row's end sit idle on its last pixel.
        x[l] = static_cast<float>(i0 + std::min(l, count - 1)) + 0.5f;
        live[l] = l < count ? -1 : 0;
    }
    return Streamlines{_mm_load_ps(x),
                       _mm_set1_ps(static_cast<float>(j) + 0.5f),
                       _mm_setzero_ps(),
                       _mm_setzero_ps(),
                       _mm_setzero_ps(),
                       _mm_setzero_si128(),
                       _mm_castsi128_ps(_mm_load_si128(reinterpret_cast<const __m128i*>(live))),
                       advDir};
}

// Takes the next segment of every live streamline: from clp0 to the border of its pixel, or
// to the kernel's end, sampling the noise at the segment's middle. Idle lanes compute along
// on their last, valid position and keep their state.
void advance(const Convolution& conv, Streamlines& s)
{
    __m128 live =
        _mm_and_ps(s.live, _mm_and_ps(_mm_castsi128_ps(_mm_cmplt_epi32(s.advcts, conv.advcts)),
                                      _mm_cmplt_ps(s.curLen, conv.krnlen)));
    if (_mm_movemask_ps(live) == 0)
    {
        s.live = live;
        return;
    }
    const __m128i cellX = _mm_cvttps_epi32(s.clp0x);
    const __m128i cellY = _mm_cvttps_epi32(s.clp0y);
    __m128 vx;
    __m128 vy;
    gatherVectors(conv.pVectr, cellIndex(cellX, cellY, conv.widthI), vx, vy);

    // A zero vector ends the streamline; at its start it also makes it count as black.
    const __m128 zero = _mm_and_ps(
        live, _mm_and_ps(_mm_cmpeq_ps(vx, _mm_setzero_ps()), _mm_cmpeq_ps(vy, _mm_setzero_ps())));
    const __m128 blackStart =
        _mm_and_ps(zero, _mm_castsi128_ps(_mm_cmpeq_epi32(s.advcts, _mm_setzero_si128())));
    s.t_acum = select(blackStart, _mm_setzero_ps(), s.t_acum);
    s.w_acum = select(blackStart, _mm_set1_ps(1.0f), s.w_acum);
    live = _mm_andnot_ps(zero, live);

    if (s.advDir == 1)
    {
        const __m128 sign = _mm_set1_ps(-0.0f);
        vx = _mm_xor_ps(vx, sign);
        vy = _mm_xor_ps(vy, sign);
    }
    __m128 reachesX;
    __m128 reachesY;
    const __m128 toBorderX = borderDistance(s.clp0x, cellX, vx, reachesX);
    const __m128 toBorderY = borderDistance(s.clp0y, cellY, vy, reachesY);
    __m128 segLen = select(reachesX, toBorderX, _mm_set1_ps(kFarAway));
    segLen = select(reachesY, _mm_min_ps(toBorderY, segLen), segLen);

    // Clip to the kernel, or overshoot the border slightly into the next pixel.
    const __m128 reached = _mm_add_ps(s.curLen, segLen);
    const __m128 clipped = _mm_cmpgt_ps(reached, conv.krnlen);
    segLen = select(clipped, _mm_sub_ps(conv.krnlen, s.curLen),
                    _mm_add_ps(segLen, _mm_set1_ps(kOvershoot)));
    const __m128 curLen = select(clipped, conv.krnlen, reached);

    const __m128 clp1x = _mm_add_ps(s.clp0x, _mm_mul_ps(segLen, vx));
    const __m128 clp1y = _mm_add_ps(s.clp0y, _mm_mul_ps(segLen, vy));
    const __m128 half = _mm_set1_ps(0.5f);
    const __m128i sampleX =
        clampedCell(_mm_mul_ps(_mm_add_ps(s.clp0x, clp1x), half), conv.lastColumn);
    const __m128i sampleY = clampedCell(_mm_mul_ps(_mm_add_ps(s.clp0y, clp1y), half), conv.lastRow);
    const __m128 texVal = gatherNoise(conv.pNoise, cellIndex(sampleX, sampleY, conv.widthI));

    const __m128 W_ACUM =
        gatherWeights(conv.wgtLUT[s.advDir], _mm_cvttps_epi32(_mm_mul_ps(curLen, conv.len2ID)));
    const __m128 smpWgt = _mm_sub_ps(W_ACUM, s.w_acum);
    s.w_acum = select(live, W_ACUM, s.w_acum);
    s.t_acum = select(live, _mm_add_ps(s.t_acum, _mm_mul_ps(texVal, smpWgt)), s.t_acum);
    s.curLen = select(live, curLen, s.curLen);

    // The sample just taken counts even when the segment leaves the image; NaN leaves too.
    const __m128 inside = _mm_and_ps(
        _mm_and_ps(_mm_cmpge_ps(clp1x, _mm_setzero_ps()), _mm_cmplt_ps(clp1x, conv.widthF)),
        _mm_and_ps(_mm_cmpge_ps(clp1y, _mm_setzero_ps()), _mm_cmplt_ps(clp1y, conv.heightF)));
    s.live = _mm_and_ps(live, inside);
    s.advcts = _mm_sub_epi32(s.advcts, _mm_castps_si128(s.live));
    s.clp0x = select(s.live, clp1x, s.clp0x);
    s.clp0y = select(s.live, clp1y, s.clp0y);
}

// (t0 + t1) / (w0 + w1) clamped to 0 ... 255; a pixel that gathered no weight (0 / 0) is 0.
void storePixels(const Streamlines& down, const Streamlines& up, int count, unsigned char* out)
{
    const __m128 texVal =
        _mm_div_ps(_mm_add_ps(down.t_acum, up.t_acum), _mm_add_ps(down.w_acum, up.w_acum));
    const __m128 clamped = _mm_min_ps(_mm_max_ps(texVal, _mm_setzero_ps()), _mm_set1_ps(255.0f));
    alignas(16) int bytes[kLanes];
    _mm_store_si128(reinterpret_cast<__m128i*>(bytes), _mm_cvttps_epi32(clamped));
    for (int l = 0; l < count; ++l)
    {
        out[l] = static_cast<unsigned char>(bytes[l]);
    }
}

// Up to kPixelsPerBatch pixels from i0 in row j. Each streamline is a long chain of
// dependent steps; advancing several side by side keeps the processor busy while one waits
// for its division.
void convolvePixels(const Convolution& conv, int i0, int count, int j, unsigned char* out)
{
    Streamlines lines[kGroups][2];
    const int groups = (count + kLanes - 1) / kLanes;
    for (int g = 0; g < groups; ++g)
    {
        const int lanes = std::min(kLanes, count - g * kLanes);
        lines[g][0] = startStreamlines(i0 + g * kLanes, lanes, j, 0);
        lines[g][1] = startStreamlines(i0 + g * kLanes, lanes, j, 1);
    }
    for (bool busy = true; busy;)
    {
        busy = false;
        for (int g = 0; g < groups; ++g)
        {
            for (Streamlines& s : lines[g])
            {
                advance(conv, s);
                busy = busy || _mm_movemask_ps(s.live) != 0;
            }
        }
    }
    for (int g = 0; g < groups; ++g)
    {
        storePixels(lines[g][0], lines[g][1], std::min(kLanes, count - g * kLanes),
                    out + g * kLanes);
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

bool LIC::GenLICImage(int winWidth, int winHeight, const float2* orgnvectField2d,
                      const char* filename)
{
    if (winWidth <= 0 || winHeight <= 0 || !orgnvectField2d || !filename)
    {
        return false;
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
    const bool bSaved = imgProc->SavePPM(filename, pImage.data(), winWidth, winHeight, doLic);
    doLic = false;
    // Whatever an older file of that name holds belongs to another field or time step.
    unsavedImgPth = bSaved ? std::string() : std::string(filename);
    if (!bSaved)
    {
        unsavedImage = Image{winWidth, winHeight, nullptr};
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
    const Convolution conv(pVectr, pNoise_, p_LUT0_, p_LUT1_, krnlen, winWidth, winHeight);
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
