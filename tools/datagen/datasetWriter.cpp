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
// The unsteady series: 500 x 500, 50 depth levels, 8 time steps. Only every tenth level
// (9, 19, ..., 49) carries data; the others are holes in sparse files, which read as zeros,
// so the 800 MB of volumes take 80 MB on disk.
constexpr int kSeriesSize = 500;
constexpr int kSeriesDepth = 50;
constexpr int kSeriesSteps = 8;
constexpr int kSeriesLevelStride = 10;
// The last level carries data, so every file has its full length.
static_assert(kSeriesDepth % kSeriesLevelStride == 0);

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

// The storm strengthens downwards, to full strength at the deepest level, which the view
// reads first.
bool DatasetWriter::writeHurricaneUnsteady(const fs::path& folder)
{
    makeParent(folder);
    FieldWriter writer(FieldWriter::Format::Unsteady, folder,
                       int3{kSeriesSize, kSeriesSize, kSeriesSteps}, kSeriesDepth);
    const std::size_t n = std::size_t(kSeriesSize) * kSeriesSize;
    // The levels left zero become the holes.
    std::vector<float2> step(n * kSeriesDepth, makeFloat2(0.0f, 0.0f));
    for (int t = 0; t < kSeriesSteps; ++t)
    {
        for (int s = kSeriesLevelStride - 1; s < kSeriesDepth; s += kSeriesLevelStride)
        {
            const SyntheticFlow flow =
                SyntheticFlow::hurricane(t * 6.0, 1.0 - 0.012 * (kSeriesDepth - 1 - s));
            for (int j = 0; j < kSeriesSize; ++j)
                for (int i = 0; i < kSeriesSize; ++i)
                    step[s * n + std::size_t(j) * kSeriesSize + i] = flow.velocity(i, j);
        }
        writer.writeStep(step.data());
    }
    return commit(writer);
}
