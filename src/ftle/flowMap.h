// The flow map of an unsteady field: particles advected from a start time over a number of
// tracing steps, forward or backward, by the pathlines' fourth-order Runge-Kutta in a field
// bilinear in space and linear in time; a particle that would leave the grid stops at its last
// position inside. Runs on all cores, can be cancelled between steps.
#pragma once

#include "common/typeOperations.h"

#include <atomic>
#include <vector>

class FlowMap
{
public:
    enum class Lanes
    {
        Best,   // AVX2 where the processor has it, else SSE2
        Sse2,   //
        Scalar, // one particle at a time; the others give the same bytes
    };

    // samples: size.z steps of size.x * size.y vectors, row-major, step after step.
    FlowMap(int3 size, const float2* samples);

    // Advects pos from startTime over steps steps of length h (time steps, negative backwards);
    // all four stages of a step sample the time at its start. Times past the last step use
    // it alone. False when cancel became true; pos then holds a partial result.
    bool advect(std::vector<float2>& pos, float startTime, int steps, float h,
                const std::atomic<bool>* cancel = nullptr,
                std::atomic<int>* stepsDone = nullptr) const;

    unsigned threadCount = 0; // 0: one per core
    Lanes lanes = Lanes::Best;

private:
    class Run;

    int3 size;
    const float2* samples;
};
