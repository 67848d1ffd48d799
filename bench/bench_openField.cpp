// Opening a global 0.25-degree wind file (1440 x 721, 24 time steps, packed shorts, land as
// fill values) the window's way -- the choice of variables, the memory check and the whole
// field read at the import's default scale -- against quorvel-batch import writing it as a
// slice file. The aim is an opening within 1.5 times the import's time.
#include "app/fieldRequest.h"
#include "fieldImport.h"
#include "globalWinds.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <sstream>

namespace
{
namespace fs = std::filesystem;

const fs::path kFolder = fs::temp_directory_path() / "quorvel-bench-open";

const std::string& windsFile()
{
    static const std::string path = []
    {
        fs::create_directories(kFolder);
        const std::string file = (kFolder / "winds.nc").string();
        GlobalWinds::write(file, 24, 1440, 721);
        return file;
    }();
    return path;
}

void BM_WindowOpensTheFile(benchmark::State& state)
{
    const std::string& path = windsFile();
    const auto refuse = [](const FieldRequest::Candidates&, NetcdfField::Selection&)
    { return false; };
    for (auto _ : state)
    {
        std::ostringstream notes;
        const std::optional<FieldOpener::Options> options = FieldRequest::options(path, refuse);
        FieldOpener opened(path, *options, notes, 0, -1);
        benchmark::DoNotOptimize(opened.data.orgnvectField2d.data());
    }
    state.SetLabel("1440 x 721 x 24, into the field the view shows");
}

void BM_ImportWritesTheFile(benchmark::State& state)
{
    const std::vector<std::string> words = {windsFile(), "--slice",
                                            (kFolder / "imported.dat").string()};
    for (auto _ : state)
    {
        std::ostringstream notes;
        FieldImport::run(words, notes);
    }
    state.SetLabel("1440 x 721 x 24, quorvel-batch import --slice");
}
} // namespace

BENCHMARK(BM_WindowOpensTheFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportWritesTheFile)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(kFolder, ignored);
}
