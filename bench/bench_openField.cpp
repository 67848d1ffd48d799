// Opening a global 0.25-degree wind file (1440 x 721, 24 time steps, packed shorts, land as
// fill values) the window's way -- the choice of variables, the memory check and the whole
// field read at the import's default scale -- against quorvel-batch import writing it as a
// slice file. The aim is an opening within 1.5 times the import's time.
#include "app/fieldRequest.h"
#include "fieldImport.h"
#include "netcdfFile.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <sstream>

namespace
{
namespace fs = std::filesystem;

const fs::path kFolder = fs::temp_directory_path() / "quorvel-bench-open";

// Jets varying with latitude, waves with longitude; land as fill values: two continents and a
// polar cap. Written a step at a time, so that the writer's memory stays small.
void writeWinds(const std::string& path, int width, int height, int steps)
{
    NetcdfFile file(path, NC_NETCDF4 | NC_CLOBBER);
    const int dims[] = {file.dimension("time", size_t(steps)),
                        file.dimension("lat", size_t(height)),
                        file.dimension("lon", size_t(width))};
    const int lat = file.variable("lat", NC_DOUBLE, {dims[1]});
    const int lon = file.variable("lon", NC_DOUBLE, {dims[2]});
    file.text(lat, "units", "degrees_north");
    file.text(lon, "units", "degrees_east");
    int uv[2];
    for (int c = 0; c < 2; ++c)
    {
        uv[c] = file.variable(c ? "v" : "u", NC_SHORT, {dims[0], dims[1], dims[2]});
        file.text(uv[c], "standard_name", c ? "northward_wind" : "eastward_wind");
        file.number(uv[c], "scale_factor", NC_DOUBLE, 0.01);
        file.number(uv[c], "_FillValue", NC_SHORT, -32767);
    }
    const double lonStep = 360.0 / width, latStep = 180.0 / (height - 1);
    std::vector<double> axis;
    for (int j = 0; j < height; ++j)
        axis.push_back(90.0 - latStep * j);
    file.put(lat, axis);
    axis.clear();
    for (int i = 0; i < width; ++i)
        axis.push_back(lonStep * i);
    file.put(lon, axis);
    std::vector<double> values[2];
    for (int t = 0; t < steps; ++t)
    {
        values[0].clear();
        values[1].clear();
        for (int j = 0; j < height; ++j)
            for (int i = 0; i < width; ++i)
            {
                const double x = lonStep * i, y = 90.0 - latStep * j, phi = y * M_PI / 180.0;
                const double a = (x - 100) / 40, b = (y - 40) / 25, c = (x - 300) / 20,
                             d = (y + 10) / 30, s = std::sin(t * 0.5);
                const bool land = y < -70 || a * a + b * b < 1 || c * c + d * d < 1;
                const double u = 12 * std::cos(3 * phi) * std::cos(phi) + 2 * s + 0.5;
                const double v = 4 * std::sin(x * M_PI / 90 + s) * std::cos(phi);
                values[0].push_back(land ? -32767 : std::round(100 * u));
                values[1].push_back(land ? -32767 : std::round(100 * v));
            }
        for (int c = 0; c < 2; ++c)
            file.putStep(uv[c], size_t(t), size_t(height), size_t(width), values[c]);
    }
}

const std::string& windsFile()
{
    static const std::string path = []
    {
        fs::create_directories(kFolder);
        const std::string file = (kFolder / "winds.nc").string();
        writeWinds(file, 1440, 721, 24);
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
