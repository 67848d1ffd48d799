// One fourth-order Runge-Kutta step of many particles through one field sampled at a single
// time: the inner loop of the flow map, on plain registers or on the processor's vector
// units (four particles per register with SSE2, eight with AVX2), with the same bytes.
#pragma once

#include "common/typeOperations.h"

struct FlowMapStep
{
    const float2* slice; // width x height samples, row-major
    int width;
    int height;
    float h; // step length, negative backwards

    static bool avx2Supported();
    // Advances the live particles of pos; alive[k] becomes 0 where particle k stops.
    void advanceScalar(float2* pos, unsigned char* alive, int count) const;
    void advanceSse2(float2* pos, unsigned char* alive, int count) const;
    void advanceAvx2(float2* pos, unsigned char* alive, int count) const;
};
