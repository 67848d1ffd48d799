#include "ftle/flowMapStep.h"

#include "ftle/flowMapLanes.h"

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
    static int get(int v, int) { return v; }
    static void set(F& v, int, float value) { v = value; }
    static void setMask(I& v, int, bool value) { v = value; }
    static bool getMask(I v, int) { return v; }
    static bool any(I v) { return v; }
};

typedef float Float4 __attribute__((vector_size(16)));
typedef int Int4 __attribute__((vector_size(16)));
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
    LaneStep<VectorIsa<Float4, Int4, 4>>(*this).advance(pos, alive, count);
}
