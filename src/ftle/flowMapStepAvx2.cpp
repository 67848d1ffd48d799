#include "ftle/flowMapStep.h"

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
} // namespace

void FlowMapStep::advanceAvx2(float2* pos, unsigned char* alive, int count) const
{
    LaneStep<VectorIsa<Float8, Int8, 8>>(*this).advance(pos, alive, count);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
