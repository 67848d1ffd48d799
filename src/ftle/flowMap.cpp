#include "ftle/flowMap.h"

#include "ftle/flowMapStep.h"

#include <algorithm>
#include <cmath>
#include <thread>

// One thread's share of an advection: a run of particles carried through all steps. Every
// step first samples the field at the step's time once for the whole share (blending the two
// steps around it), then advances the particles. Each particle is advanced alone, so neither
// the split nor the lanes change the result; the threads never wait for each other, which
// keeps them going on a busy machine.
class FlowMap::Run
{
public:
    Run(const FlowMap& map, float start, float h, int steps)
        : owner(map), startTime(start), stepLength(h), stepCount(steps),
          blended(std::size_t(map.size.x) * map.size.y)
    {
    }

    // False when cancel became true before the last step.
    bool advect(float2* pos, int count, const std::atomic<bool>* cancel,
                std::atomic<int>* stepsDone)
    {
        std::vector<unsigned char> alive(std::size_t(count), 1);
        for (int step = 0; step < stepCount; ++step)
        {
            if (cancel && cancel->load(std::memory_order_relaxed))
                return false;
            const FlowMapStep kernel{sliceAt(step), owner.size.x, owner.size.y, stepLength};
            if (owner.lanes == Lanes::Scalar)
                kernel.advanceScalar(pos, alive.data(), count);
            else if (owner.lanes == Lanes::Best && FlowMapStep::avx2Supported())
                kernel.advanceAvx2(pos, alive.data(), count);
            else
                kernel.advanceSse2(pos, alive.data(), count);
            if (stepsDone)
                stepsDone->store(step + 1, std::memory_order_relaxed);
        }
        return true;
    }

private:
    // The field at the time of a step: one step's samples where the time is whole or past the
    // last step (a steady field's only step holds at every time), else a blend of two.
    const float2* sliceAt(int step)
    {
        const float time = float(double(startTime) + double(step) * double(stepLength));
        const int ti = std::clamp(int(std::floor(time)), 0, owner.size.z - 1);
        const std::size_t n = blended.size();
        const float2* current = owner.samples + std::size_t(ti) * n;
        if (!(time > float(ti)) || ti + 1 >= owner.size.z)
            return current;
        const float2* next = current + n;
        const float fraction = time - float(ti);
        const float keep = 1.0f - fraction;
        for (std::size_t k = 0; k < n; ++k)
            blended[k] = float2{fraction * next[k].x + keep * current[k].x,
                                fraction * next[k].y + keep * current[k].y};
        return blended.data();
    }

    const FlowMap& owner;
    const float startTime;
    const float stepLength;
    const int stepCount;
    std::vector<float2> blended;
};

FlowMap::FlowMap(int3 fieldSize, const float2* fieldSamples)
    : size(fieldSize), samples(fieldSamples)
{
}

bool FlowMap::advect(std::vector<float2>& pos, float startTime, int steps, float h,
                     const std::atomic<bool>* cancel, std::atomic<int>* stepsDone) const
{
    const unsigned cores = threadCount ? threadCount : std::thread::hardware_concurrency();
    const std::size_t n = pos.size();
    // Each thread samples the whole field every step: a few thousand particles are worth it.
    const int threads = std::clamp(int(cores), 1, std::max(1, int(n / 4096)));
    std::atomic<bool> cancelled{false};
    {
        std::vector<std::jthread> helpers;
        const auto share = [&](int t)
        {
            const std::size_t first = n * t / threads;
            const std::size_t end = n * (t + 1) / threads;
            Run run(*this, startTime, h, steps);
            if (!run.advect(pos.data() + first, int(end - first), cancel,
                            t == 0 ? stepsDone : nullptr))
                cancelled = true;
        };
        for (int t = 1; t < threads; ++t)
            helpers.emplace_back(share, t);
        share(0);
    }
    return !cancelled;
}
