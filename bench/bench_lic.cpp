// LIC image of slice 0 of the default 500 x 500 x 48 hurricane field, on one thread and on
// all cores (thread argument 0): the convolution alone on SSE2 beside AVX2, and the whole
// generation with its file on the fastest path; beside it, the whole generation for a global
// 144 x 73 wind field at its fitted 4 pixels per cell. CPU time is that of the whole process.
#include "benchHurricane.h"
#include "common/fieldFit.h"
#include "lic/LIC.h"
#include "lic/licRows.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace
{
std::string label(const LIC& lic)
{
    const unsigned used = lic.threadCount ? lic.threadCount : std::thread::hardware_concurrency();
    const bool bAvx2 = lic.kernel != LIC::Kernel::Sse2 && LicRows::avx2Supported();
    return std::to_string(benchHurricane().flowFieldSize.x) + " x " +
           std::to_string(benchHurricane().flowFieldSize.y) + " slice 0, " +
           (bAvx2 ? "AVX2, " : "SSE2, ") + std::to_string(used) + " thread(s)";
}

void BM_FlowImagingLIC(benchmark::State& state)
{
    const DataManipulate& data = benchHurricane();
    const int w = data.flowFieldSize.x;
    const int h = data.flowFieldSize.y;
    LIC lic(data.flowFieldSize);
    lic.kernel = static_cast<LIC::Kernel>(state.range(0));
    lic.threadCount = static_cast<unsigned>(state.range(1));
    lic.MakeWhiteNoise(w, h, lic.pNoise.data());
    lic.GenBoxFiltrLUT(LIC::kLUTSize, lic.p_LUT0, lic.p_LUT1);
    std::vector<float> vectors(2 * std::size_t(w) * h);
    std::memcpy(vectors.data(), data.orgnvectField2d.data(), vectors.size() * sizeof(float));
    for (auto _ : state)
    {
        lic.FlowImagingLIC(vectors.data(), lic.pNoise.data(), lic.pImage.data(), lic.p_LUT0,
                           lic.p_LUT1, LIC::kKernelLength, w, h);
        benchmark::DoNotOptimize(lic.pImage.data());
    }
    state.SetLabel(label(lic));
}

void BM_GenLICImage(benchmark::State& state)
{
    const DataManipulate& data = benchHurricane();
    LIC lic(data.flowFieldSize);
    lic.threadCount = static_cast<unsigned>(state.range(0));
    const auto file = std::filesystem::temp_directory_path() / "quorvel-bench-lic.ppm";
    for (auto _ : state)
    {
        lic.GenLICImage(data.flowFieldSize.x, data.flowFieldSize.y, data.orgnvectField2d.data(),
                        file.c_str());
    }
    state.SetLabel(label(lic));
    std::filesystem::remove(file);
}

// Zonal jets and a wave in v on a 2.5 degree global grid, land as zero vectors.
std::vector<float2> globalWinds()
{
    const int w = 144, h = 73;
    std::vector<float2> field(std::size_t(w) * h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
        {
            const float lat = -90.0f + 2.5f * j, phi = lat * 0.0174533f;
            const bool land = lat < -70.0f || (i > 30 && i < 50 && j > 45 && j < 60);
            field[std::size_t(j) * w + i] =
                land ? makeFloat2(0.0f, 0.0f)
                     : makeFloat2(6.0f * std::cos(3.0f * phi) * std::cos(phi),
                                  2.0f * std::sin(2.0f * 0.0436332f * i) * std::cos(phi));
        }
    return field;
}

void BM_GenLICImageFitted(benchmark::State& state)
{
    const std::vector<float2> field = globalWinds();
    LIC lic(int3{144, 73, 1});
    lic.threadCount = static_cast<unsigned>(state.range(0));
    lic.pixelsPerCell = FieldFit::licPixelsPerCell(144, 73);
    const auto file = std::filesystem::temp_directory_path() / "quorvel-bench-lic-fitted.ppm";
    for (auto _ : state)
        lic.GenLICImage(144, 73, field.data(), file.c_str());
    const unsigned used = lic.threadCount ? lic.threadCount : std::thread::hardware_concurrency();
    state.SetLabel("144 x 73 global winds at " + std::to_string(lic.pixelsPerCell) +
                   " pixels per cell, " + std::to_string(used) + " thread(s)");
    std::filesystem::remove(file);
}
} // namespace

constexpr int kSse2 = static_cast<int>(LIC::Kernel::Sse2);
constexpr int kAvx2 = static_cast<int>(LIC::Kernel::Avx2);
BENCHMARK(BM_FlowImagingLIC)
    ->ArgsProduct({{kSse2, kAvx2}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_GenLICImage)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_GenLICImageFitted)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
