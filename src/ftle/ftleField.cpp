#include "ftle/ftleField.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace
{
float stepLength(const FtleSettings& s)
{
    return float((s.bBackward ? -1 : 1) * s.uiIntvTracStp * 0.1);
}
} // namespace

std::string FtleField::refusal(int3 size, const FtleSettings& s)
{
    if (size.x < 2 || size.y < 2 || size.z < 1)
        return "The field is too small for FTLE: it needs 2 x 2 samples.";
    if (!(s.duration > 0.0f) || !std::isfinite(s.duration))
        return "The FTLE duration must be a positive number of time steps.";
    if (s.uiIntvTracStp < 1 || s.uiIntvTracStp > 1000)
        return "The tracing step must lie between 1 and 1000.";
    if (s.resolution < 1 || s.resolution > kMaxResolution)
        return "The FTLE resolution must lie between 1 and " + std::to_string(kMaxResolution) +
               " seeds per cell.";
    const long long seeds =
        ((size.x - 1LL) * s.resolution + 1) * ((size.y - 1LL) * s.resolution + 1);
    if (seeds > kMaxSeeds)
        return "Too many FTLE seeds: " + std::to_string(seeds) + ".";
    if (!(s.startTime >= 0.0f) || s.startTime > float(size.z - 1))
        return "The FTLE start time must lie between 0 and " + std::to_string(size.z - 1) + ".";
    // A single step is steady and holds for all time; otherwise the window must lie in the
    // field's time span, where the field is known.
    const float end = s.bBackward ? s.startTime - s.duration : s.startTime + s.duration;
    if (size.z > 1 && (end < 0.0f || end > float(size.z - 1)))
        return "The FTLE time window leaves the field's steps 0 to " + std::to_string(size.z - 1) +
               ".";
    if (stepCount(s) > 1000000)
        return "The FTLE duration takes too many tracing steps.";
    return {};
}

int FtleField::stepCount(const FtleSettings& s)
{
    // Bounded before rounding, so an absurd duration is refused rather than overflowing.
    const double steps = double(s.duration) * 10.0 / std::max(s.uiIntvTracStp, 1);
    return int(std::clamp(std::round(steps), 1.0, 2e9));
}

bool FtleField::compute(int3 size, const float2* samples, const FtleSettings& s,
                        const std::atomic<bool>* cancel, std::atomic<int>* stepsDone)
{
    flowMap.clear();
    values.clear();
    problem = refusal(size, s);
    if (!problem.empty())
        return false;
    placeSeeds(size, s.resolution);
    FlowMap map(size, samples);
    map.threadCount = threadCount;
    map.lanes = lanes;
    if (!map.advect(flowMap, s.startTime, stepCount(s), stepLength(s), cancel, stepsDone))
    {
        flowMap.clear();
        return false;
    }
    computeValues(s.duration);
    return true;
}

void FtleField::placeSeeds(int3 size, int resolution)
{
    seedsX = (size.x - 1) * resolution + 1;
    seedsY = (size.y - 1) * resolution + 1;
    spacing = 1.0f / float(resolution);
    flowMap.resize(std::size_t(seedsX) * seedsY);
    for (int j = 0; j < seedsY; ++j)
        for (int i = 0; i < seedsX; ++i)
            flowMap[std::size_t(j) * seedsX + i] = seedPosition(i, j);
}

float2 FtleField::seedPosition(int i, int j) const
{
    return float2{float(i) * spacing, float(j) * spacing};
}

// d(flow map)/d(seed) along one axis (di, dj) at seed (i, j).
float2 FtleField::derivative(int i, int j, int di, int dj) const
{
    const int n = di ? seedsX : seedsY;
    const int k = di ? i : j;
    const int lo = k > 0 ? -1 : 0;
    const int hi = k < n - 1 ? 1 : 0;
    const float2 a = flowMap[std::size_t(j + lo * dj) * seedsX + (i + lo * di)];
    const float2 b = flowMap[std::size_t(j + hi * dj) * seedsX + (i + hi * di)];
    const float d = float(hi - lo) * spacing;
    return float2{(b.x - a.x) / d, (b.y - a.y) / d};
}

void FtleField::computeValues(float duration)
{
    values.resize(flowMap.size());
    for (int j = 0; j < seedsY; ++j)
        for (int i = 0; i < seedsX; ++i)
        {
            const float2 dx = derivative(i, j, 1, 0); // column 1 of the gradient
            const float2 dy = derivative(i, j, 0, 1); // column 2
            // Cauchy-Green tensor C = J^T J and its largest eigenvalue, in double.
            const double a = double(dx.x) * dx.x + double(dx.y) * dx.y;
            const double b = double(dx.x) * dy.x + double(dx.y) * dy.y;
            const double c = double(dy.x) * dy.x + double(dy.y) * dy.y;
            const double mean = 0.5 * (a + c);
            const double half = 0.5 * (a - c);
            // A gradient that collapses to zero (particles meeting) is kept finite.
            const double lambda = std::max(mean + std::sqrt(half * half + b * b), double(FLT_MIN));
            values[std::size_t(j) * seedsX + i] = float(0.5 * std::log(lambda) / duration);
        }
}
