#include "lic/licRows.h"

#include "lic/LIC.h"

#include <bit>
#include <cstdint>
#include <emmintrin.h>

#include "lic/licLanes.h"

namespace
{
// Four lanes in SSE2 registers. A lookup stores the lanes' indices once and loads each
// lane's entry on its own.
struct Sse2
{
    static constexpr int kLanes = 4;
    static constexpr int kGroups = 2;
    typedef float F __attribute__((vector_size(16)));
    typedef int I __attribute__((vector_size(16)));

    struct Indices
    {
        explicit Indices(I index)
        {
            _mm_store_si128(reinterpret_cast<__m128i*>(at), __m128i(index));
        }
        alignas(16) int at[kLanes];
    };

    static bool any(I mask) { return _mm_movemask_ps(__m128(mask)) != 0; }

    // Where a lane's mask is set a, else b.
    static F select(I mask, F a, F b)
    {
        return F(
            _mm_or_ps(_mm_and_ps(__m128(mask), __m128(a)), _mm_andnot_ps(__m128(mask), __m128(b))));
    }

    // The processor's min and max: b where either is NaN.
    static F lesser(F a, F b) { return F(_mm_min_ps(__m128(a), __m128(b))); }
    static F greater(F a, F b) { return F(_mm_max_ps(__m128(a), __m128(b))); }

    // y * width + x, below 2^31 (the image fits in memory), without SSE4's 32-bit multiply.
    static I cellIndex(I x, I y, I width)
    {
        const __m128i w = __m128i(width);
        const __m128i even = _mm_mul_epu32(__m128i(y), w);
        const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(__m128i(y), 32), w);
        const __m128i rows = _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                                                _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
        return I(rows) + x;
    }

    // The vectors of the lanes' cells, split into x and y components.
    static void vectors(const float* pVectr, I cell, F& vx, F& vy)
    {
        const Indices id(cell);
        const auto pair = [&](int l)
        { return reinterpret_cast<const __m64*>(pVectr + 2 * id.at[l]); };
        const __m128 low = _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), pair(0)), pair(1));
        const __m128 high = _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), pair(2)), pair(3));
        vx = F(_mm_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0)));
        vy = F(_mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
    }

    static F noise(const unsigned char* pNoise, I cell)
    {
        const Indices id(cell);
        return F(_mm_cvtepi32_ps(_mm_setr_epi32(pNoise[id.at[0]], pNoise[id.at[1]],
                                                pNoise[id.at[2]], pNoise[id.at[3]])));
    }

    static F weights(const float* wgtLUT, I index)
    {
        const Indices id(index);
        return F(
            _mm_setr_ps(wgtLUT[id.at[0]], wgtLUT[id.at[1]], wgtLUT[id.at[2]], wgtLUT[id.at[3]]));
    }
};
} // namespace

LicRows::LicRows(const float* vectors, const unsigned char* noise, const float* lut0,
                 const float* lut1, float kernel, int w, int h)
    : pVectr(vectors), pNoise(noise), wgtLUT{lut0, lut1}, krnlen(kernel), width(w), height(h)
{
    for (int d = 0; d < 2; ++d)
    {
        bIndexWeights[d] = true;
        for (int k = 0; k < LIC::kLUTSize && bIndexWeights[d]; ++k)
        {
            // Bit for bit: a -0 entry is not the index 0.
            bIndexWeights[d] = std::bit_cast<std::uint32_t>(wgtLUT[d][k]) ==
                               std::bit_cast<std::uint32_t>(float(k));
        }
    }
}

bool LicRows::avx2Supported()
{
    return __builtin_cpu_supports("avx2");
}

void LicRows::convolveSse2(int firstRow, int endRow, unsigned char* pImage) const
{
    LaneConvolution<Sse2>(*this).convolveRows(firstRow, endRow, pImage);
}
