#include "studyMaterial.h"

#include "exam/normalisedPosition.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <vector>

namespace fs = std::filesystem;

namespace
{
// Where the location questions expect the repelling node and the saddle, normalised.
const float2 kLocateNode{0.6712f, 0.375f};
const float2 kLocateSaddle{0.1462f, 0.3825f};

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

bool writeSteady(const fs::path& stem, const std::function<float2(double, double)>& velocity,
                 int size)
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
            const float2 v = velocity(i, j);
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

// Exactly two zeros, on the line through the two answers: with s along x and t the offset
// from that line, u = a(s - sN)(s - sS) + t(b + d(s - m)) and v = t(c + e(s - m)^2). v
// vanishes only on the line, where u has its roots at the node and the saddle; the Jacobian
// there has the eigenvalues a(sN - sS) and c + e(sN - m)^2 at the node, both positive, and
// a(sS - sN) < 0 < c + e(sS - m)^2 at the saddle. The mixed terms keep both components from
// being bilinear-free, which a cell search needs.
float2 StudyMaterial::locateVelocity(double x, double y)
{
    const int3 size{kLocateSize, kLocateSize, 1};
    const float2 node = fieldFromNormalised(kLocateNode, size);
    const float2 saddle = fieldFromNormalised(kLocateSaddle, size);
    const double slope = (double(node.y) - saddle.y) / (double(node.x) - saddle.x);
    const double t = y - (saddle.y + slope * (x - saddle.x));
    const double a = 0.001, b = 0.1, c = 0.05, d = 0.002, e = 2e-5, m = 45.0;
    const double u = a * (x - node.x) * (x - saddle.x) + t * (b + d * (x - m));
    const double v = t * (c + e * (x - m) * (x - m));
    return makeFloat2(float(u), float(v));
}

bool StudyMaterial::write(const fs::path& folder)
{
    std::error_code error;
    fs::create_directories(folder, error);
    const SyntheticFlow classify = classifyFlow();
    return writeSteady(
               folder / "hurricane_z49_t0",
               [&](double x, double y) { return classify.velocity(x, y); }, kClassifySize) &&
           writeSteady(folder / "syn0001_100", locateVelocity, kLocateSize) &&
           writePictures(folder);
}
