#include "studyMaterial.h"

#include "exam/normalisedPosition.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace
{
// A feature whose centre is moved until the flow's zero lies exactly at a normalised position.
struct PlacedFeature
{
    float2 target; // normalised
    FlowFeature feature;
};

FlowFeature vortex(double sigma, double omega, double radius)
{
    return FlowFeature{0.0, 0.0, sigma, -omega, omega, sigma, radius};
}

FlowFeature linear(double a, double b, double c, double d, double radius)
{
    return FlowFeature{0.0, 0.0, a, b, c, d, radius};
}

// Newton steps on each feature's centre in turn: the background and the other features'
// tails shift a feature's zero, and moving the centre moves the zero with it.
void placeZeros(SyntheticFlow& flow, const std::vector<PlacedFeature>& placed, int size)
{
    const std::size_t first = flow.features.size();
    std::vector<float2> targets;
    for (const PlacedFeature& p : placed)
    {
        const float2 t = fieldFromNormalised(p.target, int3{size, size, 1});
        targets.push_back(t);
        FlowFeature f = p.feature;
        f.cx = t.x;
        f.cy = t.y;
        flow.features.push_back(f);
    }
    const double h = 1e-3;
    for (int round = 0; round < 20; ++round)
        for (std::size_t k = 0; k < targets.size(); ++k)
        {
            const double x = targets[k].x, y = targets[k].y;
            const float2 v = flow.velocity(x, y);
            const float2 vx1 = flow.velocity(x + h, y), vx0 = flow.velocity(x - h, y);
            const float2 vy1 = flow.velocity(x, y + h), vy0 = flow.velocity(x, y - h);
            const double a = (vx1.x - vx0.x) / (2 * h), c = (vx1.y - vx0.y) / (2 * h);
            const double b = (vy1.x - vy0.x) / (2 * h), d = (vy1.y - vy0.y) / (2 * h);
            const double det = a * d - b * c;
            // The zero sits at target - J^-1 v; shifting the centre by J^-1 v brings it back.
            FlowFeature& f = flow.features[first + k];
            f.cx += (d * v.x - b * v.y) / det;
            f.cy += (a * v.y - c * v.x) / det;
        }
}

bool writeSteady(const fs::path& stem, const SyntheticFlow& flow, int size)
{
    const fs::path header = fs::path(stem).concat(".txt");
    const fs::path data = fs::path(stem).concat(".dat");
    std::ofstream hdr(header, std::ios::trunc);
    hdr << size << ' ' << size << " 1\n";
    std::vector<float3> records;
    records.reserve(std::size_t(size) * size);
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i)
        {
            const float2 v = flow.velocity(i, j);
            records.push_back(makeFloat3(v.x, v.y, 0.0f));
        }
    std::ofstream out(data, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(records.data()),
              std::streamsize(records.size() * sizeof(float3)));
    for (const auto& [file, ok] : {std::pair{header, bool(hdr)}, std::pair{data, bool(out)}})
        if (!ok)
        {
            std::fprintf(stderr, "quorvel-datagen: cannot write %s\n", file.c_str());
            return false;
        }
    return true;
}
} // namespace

// A storm slice: the cyclone's eye and an anticyclone aloft as scenery, and at the six
// positions the classification questions circle, the features their answers name.
SyntheticFlow StudyMaterial::classifyFlow()
{
    SyntheticFlow flow;
    flow.currentX = 0.3;
    flow.currentY = 0.15;
    flow.features = {
        FlowFeature{150.0, 200.0, -0.06, -0.32, 0.32, -0.06, 70.0}, // eye, attracting focus
        FlowFeature{430.0, 110.0, 0.04, 0.2, -0.2, 0.04, 40.0},     // anticyclone
    };
    placeZeros(flow,
               {
                   {{0.768f, 0.568f}, vortex(-0.08, 0.3, 35.0)},            // attracting focus
                   {{0.638f, 0.433f}, linear(0.2, 0.1, 0.1, -0.2, 30.0)},   // saddle
                   {{0.57f, 0.91f}, vortex(0.08, -0.3, 30.0)},              // repelling focus
                   {{0.0375f, 0.9575f}, vortex(-0.1, 0.35, 22.0)},          // attracting focus
                   {{0.311f, 0.879f}, linear(0.25, 0.0, 0.0, -0.2, 28.0)},  // saddle
                   {{0.811f, 0.961f}, linear(-0.2, 0.05, 0.0, 0.25, 25.0)}, // saddle
               },
               kClassifySize);
    return flow;
}

// A synthetic flow with one repelling node and one saddle where the location questions look
// for them, among an attracting focus, an attracting node and a center.
SyntheticFlow StudyMaterial::locateFlow()
{
    SyntheticFlow flow;
    flow.currentX = 0.05;
    flow.currentY = 0.03;
    flow.features = {
        FlowFeature{35.0, 75.0, -0.06, -0.3, 0.3, -0.06, 14.0}, // attracting focus
        FlowFeature{82.0, 82.0, -0.25, 0.0, 0.0, -0.3, 10.0},   // attracting node
        FlowFeature{40.0, 14.0, 0.0, -0.25, 0.25, 0.0, 10.0},   // center
    };
    placeZeros(flow,
               {
                   {{0.6712f, 0.375f}, linear(0.3, 0.0, 0.0, 0.22, 14.0)},    // repelling node
                   {{0.1462f, 0.3825f}, linear(0.25, 0.0, 0.0, -0.25, 12.0)}, // saddle
               },
               kLocateSize);
    return flow;
}

bool StudyMaterial::write(const fs::path& folder)
{
    std::error_code error;
    fs::create_directories(folder, error);
    return writeSteady(folder / "hurricane_z49_t0", classifyFlow(), kClassifySize) &&
           writeSteady(folder / "syn0001_100", locateFlow(), kLocateSize) && writePictures(folder);
}
