// FTLE of the default 500 x 500 x 48 hurricane field from step 0 over 10 steps, one seed per
// node (500 x 500), on one thread and on all cores (thread argument 0), beside a plain flow
// map: one particle at a time on one thread, each sample blending two bilinear samples.
#include "benchHurricane.h"
#include "ftle/flowMapStep.h"
#include "ftle/ftleField.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace
{
const FtleSettings kSettings{0.0f, 10.0f, false, 1, 1};

// The field at (x, y, t) as the tracer's sampler forms it; false outside.
bool plainSample(const DataManipulate& d, float x, float y, float t, float2& v)
{
    const int3 s = d.flowFieldSize;
    if (!(x >= 0.0f && x < float(s.x - 1) && y >= 0.0f && y < float(s.y - 1)))
        return false;
    const auto at = [&](int ti)
    {
        const int xi = int(x);
        const int yi = int(y);
        const float fx = x - float(xi);
        const float fy = y - float(yi);
        float2** f = d.orgnvectField2dSlice[ti];
        return (1 - fy) * ((1 - fx) * f[yi][xi] + fx * f[yi][xi + 1]) +
               fy * ((1 - fx) * f[yi + 1][xi] + fx * f[yi + 1][xi + 1]);
    };
    const int ti = int(t);
    v = at(ti);
    if (t != float(ti) && ti + 1 < s.z)
        v = (t - float(ti)) * at(ti + 1) + (1 - (t - float(ti))) * v;
    return true;
}

void plainFlowMap(const DataManipulate& d, std::vector<float2>& pos, int steps, float h)
{
    for (float2& p : pos)
        for (int k = 0; k < steps; ++k)
        {
            const float t = float(k * double(h));
            float2 k1, k2, k3, k4;
            if (!plainSample(d, p.x, p.y, t, k1) ||
                !plainSample(d, p.x + 0.5f * h * k1.x, p.y + 0.5f * h * k1.y, t, k2) ||
                !plainSample(d, p.x + 0.5f * h * k2.x, p.y + 0.5f * h * k2.y, t, k3) ||
                !plainSample(d, p.x + h * k3.x, p.y + h * k3.y, t, k4))
                break;
            const float2 next = p + (h / 6.0f) * (((k1 + 2.0f * k2) + 2.0f * k3) + k4);
            if (!(next.x >= 0.0f && next.x < float(d.flowFieldSize.x - 1) && next.y >= 0.0f &&
                  next.y < float(d.flowFieldSize.y - 1)))
                break;
            p = next;
        }
}

void BM_PlainFlowMap(benchmark::State& state)
{
    const DataManipulate& data = benchHurricane();
    const int3 size = data.flowFieldSize;
    std::vector<float2> pos(std::size_t(size.x) * size.y);
    for (auto _ : state)
    {
        for (int j = 0; j < size.y; ++j)
            for (int i = 0; i < size.x; ++i)
                pos[std::size_t(j) * size.x + i] = makeFloat2(float(i), float(j));
        plainFlowMap(data, pos, FtleField::stepCount(kSettings), 0.1f);
        benchmark::DoNotOptimize(pos.data());
    }
    state.SetLabel("500 x 500 seeds, 100 steps, scalar, 1 thread");
}

void BM_Ftle(benchmark::State& state)
{
    const DataManipulate& data = benchHurricane();
    FtleField ftle;
    ftle.lanes = FlowMap::Lanes(state.range(0));
    ftle.threadCount = unsigned(state.range(1));
    for (auto _ : state)
    {
        ftle.compute(data.flowFieldSize, data.orgnvectField2d.data(), kSettings);
        benchmark::DoNotOptimize(ftle.values.data());
    }
    const unsigned used = ftle.threadCount ? ftle.threadCount : std::thread::hardware_concurrency();
    const char* lanes[] = {FlowMapStep::avx2Supported() ? "AVX2" : "SSE2", "SSE2", "scalar"};
    state.SetLabel(std::to_string(ftle.seedsX) + " x " + std::to_string(ftle.seedsY) +
                   " seeds, 100 steps, " + lanes[state.range(0)] + ", " + std::to_string(used) +
                   " thread(s)");
}
} // namespace

BENCHMARK(BM_PlainFlowMap)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Ftle)
    ->Args({2, 1})
    ->Args({1, 1})
    ->Args({0, 1})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
