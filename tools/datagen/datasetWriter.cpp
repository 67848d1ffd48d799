#include "datasetWriter.h"

#include "data/dataManipulate.h"
#include "data/fieldWriter.h"
#include "syntheticFlow.h"

#include <cstdio>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace
{
constexpr int kHurricaneSize = 500;
constexpr int kHurricaneSteps = 48;
constexpr int kEarthquakeSize = 100;
// The unsteady series: 100 x 100, 50 depth levels, 8 time steps (32 MB in all).
constexpr int kSeriesSize = 100;
constexpr int kSeriesDepth = 50;
constexpr int kSeriesSteps = 8;

// The writer wants the output's folder to exist; the generator makes its own tree.
void makeParent(const fs::path& target)
{
    std::error_code ignored;
    fs::create_directories(target.parent_path(), ignored);
}

bool commit(FieldWriter& writer)
{
    if (writer.commit())
        return true;
    std::fprintf(stderr, "quorvel-datagen: %s\n", writer.error().c_str());
    return false;
}
} // namespace

void DatasetWriter::fillHurricane(DataManipulate& data)
{
    data.flowFieldSize = int3{kHurricaneSize, kHurricaneSize, kHurricaneSteps};
    data.winWidth = data.winHeight = kHurricaneSize;
    data.orgnvectField2d.resize(std::size_t(kHurricaneSize) * kHurricaneSize * kHurricaneSteps);
    data.assignPointerto2Ddata();
    for (int t = 0; t < kHurricaneSteps; ++t)
    {
        const SyntheticFlow flow = SyntheticFlow::hurricane(t);
        for (int j = 0; j < kHurricaneSize; ++j)
            for (int i = 0; i < kHurricaneSize; ++i)
                data.orgnvectField2dSlice[t][j][i] = flow.velocity(i, j);
    }
}

bool DatasetWriter::writeHurricaneSlices(const fs::path& file)
{
    DataManipulate data("", "", "", "", false);
    fillHurricane(data);
    makeParent(file);
    FieldWriter writer(FieldWriter::Format::Slice, file, data.flowFieldSize);
    for (int t = 0; t < kHurricaneSteps; ++t)
        writer.writeStep(data.orgnvectField2dSlice[t][0]);
    return commit(writer);
}

bool DatasetWriter::writeEarthquakeSteady(const fs::path& stem)
{
    const SyntheticFlow flow = SyntheticFlow::earthquake();
    std::vector<float2> samples;
    samples.reserve(std::size_t(kEarthquakeSize) * kEarthquakeSize);
    for (int j = 0; j < kEarthquakeSize; ++j)
        for (int i = 0; i < kEarthquakeSize; ++i)
            samples.push_back(flow.velocity(i, j));
    makeParent(stem);
    FieldWriter writer(FieldWriter::Format::Steady, stem,
                       int3{kEarthquakeSize, kEarthquakeSize, 1});
    writer.writeStep(samples.data());
    return commit(writer);
}

// Depth level s weakens the storm with height, as slices of a 3-D simulation would.
bool DatasetWriter::writeHurricaneUnsteady(const fs::path& folder)
{
    makeParent(folder);
    FieldWriter writer(FieldWriter::Format::Unsteady, folder,
                       int3{kSeriesSize, kSeriesSize, kSeriesSteps}, kSeriesDepth);
    const double scale = double(kHurricaneSize) / kSeriesSize;
    const std::size_t n = std::size_t(kSeriesSize) * kSeriesSize;
    std::vector<float2> step(n * kSeriesDepth);
    for (int t = 0; t < kSeriesSteps; ++t)
    {
        for (int s = 0; s < kSeriesDepth; ++s)
        {
            const SyntheticFlow flow = SyntheticFlow::hurricane(t * 6.0, 1.0 - 0.012 * s);
            for (int j = 0; j < kSeriesSize; ++j)
                for (int i = 0; i < kSeriesSize; ++i)
                {
                    const float2 vel = flow.velocity(i * scale, j * scale);
                    step[s * n + std::size_t(j) * kSeriesSize + i] =
                        makeFloat2(vel.x / float(scale), vel.y / float(scale));
                }
        }
        writer.writeStep(step.data());
    }
    return commit(writer);
}
