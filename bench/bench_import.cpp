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

// The field as a NetCDF wind: u and v over (time, lat, lon) with CF attributes, in m s-1.
void writeWindNetcdf(const std::string& path, const DataManipulate& field)
{
    const int3 size = field.flowFieldSize;
    NetcdfFile file(path, NC_CLOBBER | NC_64BIT_OFFSET);
    const int dims[] = {file.dimension("time", size_t(size.z)),
                        file.dimension("lat", size_t(size.y)),
                        file.dimension("lon", size_t(size.x))};
    const int lat = file.variable("lat", NC_FLOAT, {dims[1]});
    const int lon = file.variable("lon", NC_FLOAT, {dims[2]});
    file.text(lat, "units", "degrees_north");
    file.text(lon, "units", "degrees_east");
    const int u = file.variable("uwnd", NC_FLOAT, {dims[0], dims[1], dims[2]});
    const int v = file.variable("vwnd", NC_FLOAT, {dims[0], dims[1], dims[2]});
    file.text(u, "standard_name", "eastward_wind");
    file.text(v, "standard_name", "northward_wind");
    for (const int var : {u, v})
        file.text(var, "units", "m s-1");
    std::vector<double> axis(size_t(size.y));
    for (int j = 0; j < size.y; ++j)
        axis[size_t(j)] = 10.0 + 0.1 * j;
    file.put(lat, axis);
    axis.resize(size_t(size.x));
    for (int i = 0; i < size.x; ++i)
        axis[size_t(i)] = -80.0 + 0.1 * i;
    file.put(lon, axis);
    std::vector<double> component(field.orgnvectField2d.size());
    for (const int var : {u, v})
    {
        for (size_t k = 0; k < component.size(); ++k)
            component[k] = var == u ? field.orgnvectField2d[k].x : field.orgnvectField2d[k].y;
        file.put(var, component);
    }
}

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
