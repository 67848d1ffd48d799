// Loading a binary slice file of the default size (500 x 500 samples, 48 steps, 96 MB).
#include "data/dataManipulate.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <vector>

namespace
{
std::filesystem::path writeDefaultSizedSlice()
{
    const int3 size{500, 500, 48};
    const auto file = std::filesystem::temp_directory_path() / "quorvel-bench-slice.dat";
    std::vector<float2> samples(std::size_t(size.x) * size.y * size.z, makeFloat2(1, 2));
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&size), sizeof size);
    out.write(reinterpret_cast<const char*>(samples.data()), samples.size() * sizeof(float2));
    return file;
}

void BM_ReadVectorDataSlice(benchmark::State& state)
{
    const auto file = writeDefaultSizedSlice();
    for (auto _ : state)
    {
        DataManipulate data("", "", "", "", false);
        benchmark::DoNotOptimize(data.readVectorDataSlice(file.c_str()));
    }
    state.SetLabel("500 x 500 x 48 binary slice file");
    state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(file));
    std::filesystem::remove(file);
}
} // namespace

BENCHMARK(BM_ReadVectorDataSlice)->Unit(benchmark::kMillisecond);
