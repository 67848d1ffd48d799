// Importing the default 500 x 500 x 48 field from a NetCDF file into a binary slice file, against
// the generator writing the same field as a slice file: the aim is an import within twice the
// generator's time. Import is measured with the default scale (which reads the file twice) and
// with a given one.
#include "data/dataManipulate.h"
#include "datasetWriter.h"
#include "fieldImport.h"
#include "netcdfFile.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <sstream>

namespace
{
namespace fs = std::filesystem;

const fs::path kFolder = fs::temp_directory_path() / "quorvel-bench-import";

void BM_GeneratorWritesTheField(benchmark::State& state)
{
    fs::create_directories(kFolder);
    for (auto _ : state)
        benchmark::DoNotOptimize(DatasetWriter::writeHurricaneSlices(kFolder / "generated.dat"));
    state.SetLabel("default field, 500 x 500 x 48, slice file");
}

void BM_ImportWritesTheField(benchmark::State& state)
{
    fs::create_directories(kFolder);
    const std::string input = (kFolder / "hurricane.nc").string();
    {
        DataManipulate field("", "", "", "", false);
        DatasetWriter::fillHurricane(field);
        writeWindNetcdf(input, field);
    }
    std::vector<std::string> words = {input, "--slice", (kFolder / "imported.dat").string()};
    if (state.range(0) == 1)
        words.insert(words.end(), {"--scale", "1"});
    for (auto _ : state)
    {
        std::ostringstream notes;
        FieldImport::run(words, notes);
    }
    state.SetLabel(state.range(0) == 1 ? "NetCDF, 500 x 500 x 48, --scale given"
                                       : "NetCDF, 500 x 500 x 48, default scale");
}
} // namespace

BENCHMARK(BM_GeneratorWritesTheField)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportWritesTheField)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(kFolder, ignored);
}
