#include "ftle/flowMapStep.h"

#include "ftle/flowMapLanes.h"

#include <emmintrin.h>
#include <xmmintrin.h>

namespace
{
// A lone particle: the same template on plain floats.
struct ScalarIsa
{
    static constexpr int kLanes = 1;
    using F = float;
    using I = bool;

    static F select(I mask, F a, F b) { return mask ? a : b; }
    static int toInt(F v) { return int(v); }
    static F toFloat(int v) { return float(v); }
    static float get(F v, int) { return v; }
    static void set(F& v, int, float value) { v = value; }
    static void setMask(I& v, int, bool value) { v = value; }
    static bool getMask(I v, int) { return v; }
    static bool any(I v) { return v; }
    // Sample `cell` of a row pair's lower row: a x, a y, then its right neighbour b.
    static void corners(const float* rows, int cell, F& ax, F& ay, F& bx, F& by)
    {
        const float* p = rows + 2 * cell;
        ax = p[0];
        ay = p[1];
        bx = p[2];
        by = p[3];
    }
};

typedef float Float4 __attribute__((vector_size(16)));
typedef int Int4 __attribute__((vector_size(16)));

// Four particles in SSE2 registers: each lane's two neighbouring samples in one load, then
// transposed into components.
struct Sse2Isa : VectorIsa<Float4, Int4, 4>
{
    static void corners(const float* rows, I cell, F& ax, F& ay, F& bx, F& by)
    {
        alignas(16) int id[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(id), __m128i(cell));
        __m128 r0 = _mm_loadu_ps(rows + 2 * id[0]);
        __m128 r1 = _mm_loadu_ps(rows + 2 * id[1]);
        __m128 r2 = _mm_loadu_ps(rows + 2 * id[2]);
        __m128 r3 = _mm_loadu_ps(rows + 2 * id[3]);
        _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
        ax = F(r0);
        ay = F(r1);
        bx = F(r2);
        by = F(r3);
    }
};
} // namespace

bool FlowMapStep::avx2Supported()
{
    return __builtin_cpu_supports("avx2");
}

void FlowMapStep::advanceScalar(float2* pos, unsigned char* alive, int count) const
{
    LaneStep<ScalarIsa>(*this).advance(pos, alive, count);
}

void FlowMapStep::advanceSse2(float2* pos, unsigned char* alive, int count) const
{
    LaneStep<Sse2Isa>(*this).advance(pos, alive, count);
}
