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
// The unsteady series: 100 x 100, 50 depth levels, 8 time steps (32 MB in all).
constexpr int kSeriesSize = 100;
constexpr int kSeriesDepth = 50;
constexpr int kSeriesSteps = 8;

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

// Depth level s weakens the storm with height, as slices of a 3-D simulation would.
bool DatasetWriter::writeHurricaneUnsteady(const fs::path& folder)
{
    const fs::path header = folder / "header.txt";
    std::ofstream hdr = openOut(header);
    hdr << "3 1 " << kSeriesSize << ' ' << kSeriesSize << ' ' << kSeriesDepth << ' ' << kSeriesSteps
        << '\n';
    if (!report(bool(hdr), header))
        return false;
    const double scale = double(kHurricaneSize) / kSeriesSize;
    std::vector<float> u(std::size_t(kSeriesSize) * kSeriesSize), v(u.size());
    for (int t = 0; t < kSeriesSteps; ++t)
    {
        char name[16];
        std::snprintf(name, sizeof name, "%02d.dat", t + 1);
        const fs::path fileU = folder / "Uf" / (std::string("Uf") + name);
        const fs::path fileV = folder / "Vf" / (std::string("Vf") + name);
        std::ofstream outU = openOut(fileU), outV = openOut(fileV);
        for (int s = 0; s < kSeriesDepth; ++s)
        {
            const SyntheticFlow flow = SyntheticFlow::hurricane(t * 6.0, 1.0 - 0.012 * s);
            for (int j = 0; j < kSeriesSize; ++j)
                for (int i = 0; i < kSeriesSize; ++i)
                {
                    const float2 vel = flow.velocity(i * scale, j * scale);
                    u[std::size_t(j) * kSeriesSize + i] = vel.x / float(scale);
                    v[std::size_t(j) * kSeriesSize + i] = vel.y / float(scale);
                }
            writeAll(outU, u);
            writeAll(outV, v);
        }
        if (!report(bool(outU), fileU) || !report(bool(outV), fileV))
            return false;
    }
    return true;
}
