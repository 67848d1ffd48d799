#include "lic/licRows.h"

#include <immintrin.h>

// From here on this source's own functions are compiled for AVX2, and nothing else is: what
// it shares with the rest of the program (headers included above) keeps the generic build.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "lic/licLanes.h"

namespace
{
// Eight lanes in AVX2 registers. The processor's gather serves the weight table; it is slower
// here than loading lane by lane for the vectors and the noise.
struct Avx2
{
    static constexpr int kLanes = 8;
    static constexpr int kGroups = 2;
    typedef float F __attribute__((vector_size(32)));
    typedef int I __attribute__((vector_size(32)));

    static bool any(I mask) { return _mm256_movemask_ps(__m256(mask)) != 0; }
    static I cellIndex(I x, I y, I width) { return y * width + x; }
    // The processor's min and max: b where either is NaN.
    static F lesser(F a, F b) { return F(_mm256_min_ps(__m256(a), __m256(b))); }
    static F greater(F a, F b) { return F(_mm256_max_ps(__m256(a), __m256(b))); }
    // Where a lane's mask is set a, else b.
    static F select(I mask, F a, F b)
    {
        return F(_mm256_blendv_ps(__m256(b), __m256(a), __m256(mask)));
    }

    // The vectors of the lanes' cells, split into x and y components.
    static void vectors(const float* pVectr, I cell, F& vx, F& vy)
    {
        const auto pairs = [&](int l, int m)
        {
            const auto at = [&](int k)
            { return reinterpret_cast<const __m64*>(pVectr + 2 * cell[k]); };
            return _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), at(l)), at(m));
        };
        const __m256 low = _mm256_set_m128(pairs(4, 5), pairs(0, 1));
        const __m256 high = _mm256_set_m128(pairs(6, 7), pairs(2, 3));
        vx = F(_mm256_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0)));
        vy = F(_mm256_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
    }

    static F noise(const unsigned char* pNoise, I cell)
    {
        const I bytes{pNoise[cell[0]], pNoise[cell[1]], pNoise[cell[2]], pNoise[cell[3]],
                      pNoise[cell[4]], pNoise[cell[5]], pNoise[cell[6]], pNoise[cell[7]]};
        return __builtin_convertvector(bytes, F);
    }

    static F weights(const float* wgtLUT, I index)
    {
        return F(_mm256_i32gather_ps(wgtLUT, __m256i(index), 4));
    }
};
} // namespace

void LicRows::convolveAvx2(int firstRow, int endRow, unsigned char* pImage) const
{
    LaneConvolution<Avx2>(*this).convolveRows(firstRow, endRow, pImage);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
