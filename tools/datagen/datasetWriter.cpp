#include "datasetWriter.h"

#include "data/dataManipulate.h"
#include "syntheticFlow.h"

#include <cstdio>
#include <fstream>
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

template <typename T> bool writeAll(std::ofstream& out, const std::vector<T>& values)
{
    out.write(reinterpret_cast<const char*>(values.data()),
              std::streamsize(values.size() * sizeof(T)));
    return bool(out);
}

std::ofstream openOut(const fs::path& file)
{
    fs::create_directories(file.parent_path());
    return std::ofstream(file, std::ios::binary | std::ios::trunc);
}

bool report(bool ok, const fs::path& file)
{
    if (!ok)
        std::fprintf(stderr, "quorvel-datagen: cannot write %s\n", file.c_str());
    return ok;
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
    std::ofstream out = openOut(file);
    out.write(reinterpret_cast<const char*>(&data.flowFieldSize), sizeof data.flowFieldSize);
    return report(writeAll(out, data.orgnvectField2d), file);
}

bool DatasetWriter::writeEarthquakeSteady(const fs::path& header, const fs::path& data)
{
    std::ofstream hdr = openOut(header);
    hdr << kEarthquakeSize << ' ' << kEarthquakeSize << " 1\n";
    std::ofstream out = openOut(data);
    const SyntheticFlow flow = SyntheticFlow::earthquake();
    std::vector<float3> records;
    records.reserve(std::size_t(kEarthquakeSize) * kEarthquakeSize);
    for (int j = 0; j < kEarthquakeSize; ++j)
        for (int i = 0; i < kEarthquakeSize; ++i)
        {
            const float2 v = flow.velocity(i, j);
            records.push_back(makeFloat3(v.x, v.y, 0.0f));
        }
    return report(bool(hdr), header) && report(writeAll(out, records), data);
}

// The storm strengthens downwards, to full strength at the deepest level, which the view
// reads first.
bool DatasetWriter::writeHurricaneUnsteady(const fs::path& folder)
{
    const fs::path header = folder / "header.txt";
    std::ofstream hdr = openOut(header);
    hdr << "3 1 " << kSeriesSize << ' ' << kSeriesSize << ' ' << kSeriesDepth << ' ' << kSeriesSteps
        << '\n';
    if (!report(bool(hdr), header))
        return false;
    const std::size_t levelValues = std::size_t(kSeriesSize) * kSeriesSize;
    std::vector<float> u(levelValues), v(levelValues);
    for (int t = 0; t < kSeriesSteps; ++t)
    {
        char name[16];
        std::snprintf(name, sizeof name, "%02d.dat", t + 1);
        const fs::path fileU = folder / "Uf" / (std::string("Uf") + name);
        const fs::path fileV = folder / "Vf" / (std::string("Vf") + name);
        std::ofstream outU = openOut(fileU), outV = openOut(fileV);
        for (int s = kSeriesLevelStride - 1; s < kSeriesDepth; s += kSeriesLevelStride)
        {
            const SyntheticFlow flow =
                SyntheticFlow::hurricane(t * 6.0, 1.0 - 0.012 * (kSeriesDepth - 1 - s));
            for (int j = 0; j < kSeriesSize; ++j)
                for (int i = 0; i < kSeriesSize; ++i)
                {
                    const float2 vel = flow.velocity(i, j);
                    u[std::size_t(j) * kSeriesSize + i] = vel.x;
                    v[std::size_t(j) * kSeriesSize + i] = vel.y;
                }
            // Seeking past the end leaves the levels in between as holes.
            const std::streamoff offset = std::streamoff(s) * levelValues * sizeof(float);
            outU.seekp(offset);
            outV.seekp(offset);
            writeAll(outU, u);
            writeAll(outV, v);
        }
        if (!report(bool(outU), fileU) || !report(bool(outV), fileV))
            return false;
    }
    return true;
}
