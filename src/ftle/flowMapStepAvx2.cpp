#include "ftle/flowMapStep.h"

#include <immintrin.h>

// From here on this source's own functions are compiled for AVX2, and nothing else is: what
// it shares with the rest of the program (headers included above) keeps the generic build.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "ftle/flowMapLanes.h"

namespace
{
typedef float Float8 __attribute__((vector_size(32)));
typedef int Int8 __attribute__((vector_size(32)));

// Eight particles in AVX2 registers: lanes l and l + 4 share a register while their samples
// are transposed into components, half by half.
struct Avx2Isa : VectorIsa<Float8, Int8, 8>
{
    static void corners(const float* rows, I cell, F& ax, F& ay, F& bx, F& by)
    {
        alignas(32) int id[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(id), __m256i(cell));
        const auto pair = [&](int l)
        {
            return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(rows + 2 * id[l])),
                                        _mm_loadu_ps(rows + 2 * id[l + 4]), 1);
        };
        const __m256 t0 = _mm256_unpacklo_ps(pair(0), pair(1));
        const __m256 t1 = _mm256_unpackhi_ps(pair(0), pair(1));
        const __m256 t2 = _mm256_unpacklo_ps(pair(2), pair(3));
        const __m256 t3 = _mm256_unpackhi_ps(pair(2), pair(3));
        ax = F(_mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 1, 0)));
        ay = F(_mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(3, 2, 3, 2)));
        bx = F(_mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 1, 0)));
        by = F(_mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(3, 2, 3, 2)));
    }
};
} // namespace

void FlowMapStep::advanceAvx2(float2* pos, unsigned char* alive, int count) const
{
    LaneStep<Avx2Isa>(*this).advance(pos, alive, count);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
