// Finite-time Lyapunov exponents of an unsteady field: seeds on every grid node, or K x K per
// cell, advected from a start time over a duration in time steps (the flow map); the gradient
// of the flow map by central differences over neighbouring seeds, one-sided at the border; and
// per seed ln(sqrt(largest eigenvalue of the gradient's Cauchy-Green tensor)) / duration.
#pragma once

#include "common/typeOperations.h"
#include "ftle/flowMap.h"

#include <atomic>
#include <string>
#include <vector>

struct FtleSettings
{
    float startTime = 0.0f; // in time steps
    float duration = 1.0f;  // in time steps, > 0
    bool bBackward = false;
    int resolution = 1;    // seeds per cell along each axis
    int uiIntvTracStp = 1; // the tracing step: step length uiIntvTracStp x 0.1
};

class FtleField
{
public:
    static constexpr int kMaxResolution = 16;
    static constexpr long long kMaxSeeds = 1LL << 26; // 512 MiB of flow map

    // Why these settings cannot run on a field of this size; empty when they can.
    static std::string refusal(int3 size, const FtleSettings& settings);

    // Computes seeds, flow map and values; false when refused (message in `problem`) or
    // cancelled, leaving no result.
    bool compute(int3 size, const float2* samples, const FtleSettings& settings,
                 const std::atomic<bool>* cancel = nullptr, std::atomic<int>* stepsDone = nullptr);

    // The tracing steps a duration takes.
    static int stepCount(const FtleSettings& settings);
    // Grid position of seed (i, j).
    float2 seedPosition(int i, int j) const;
    // The values from the flow map held, for a duration in time steps.
    void computeValues(float duration);
    float value(int i, int j) const { return values[std::size_t(j) * seedsX + i]; }

    int seedsX = 0;
    int seedsY = 0;
    float spacing = 1.0f;        // between neighbouring seeds, grid units
    std::vector<float2> flowMap; // seed (i, j) at j * seedsX + i: where it ends
    std::vector<float> values;   // same order
    std::string problem;
    unsigned threadCount = 0; // 0: one per core
    FlowMap::Lanes lanes = FlowMap::Lanes::Best;

private:
    void placeSeeds(int3 size, int resolution);
    float2 derivative(int i, int j, int di, int dj) const;
};
