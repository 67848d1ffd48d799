#include "ftle/ftleColourMap.h"

#include <cmath>

namespace
{
constexpr int kStops = 9;
using Stops = FtleColourMap::Rgb[kStops];

// Evenly spaced samples of each map; in between the colour is interpolated linearly.
constexpr Stops kViridis = {{68, 1, 84},    {72, 40, 120},  {62, 73, 137},
                            {49, 104, 142}, {38, 130, 142}, {31, 158, 137},
                            {53, 183, 121}, {110, 206, 88}, {253, 231, 37}};
constexpr Stops kReds = {{255, 245, 240}, {254, 224, 210}, {252, 187, 161},
                         {252, 146, 114}, {251, 106, 74},  {239, 59, 44},
                         {203, 24, 29},   {165, 15, 21},   {103, 0, 13}};
constexpr Stops kBlues = {{247, 251, 255}, {222, 235, 247}, {198, 219, 239},
                          {158, 202, 225}, {107, 174, 214}, {66, 146, 198},
                          {33, 113, 181},  {8, 81, 156},    {8, 48, 107}};
} // namespace

FtleColourMap::Rgb FtleColourMap::colour(Map map, float t)
{
    const Stops& stops = map == Map::Viridis ? kViridis : map == Map::Reds ? kReds : kBlues;
    const float x = t > 0.0f ? (t < 1.0f ? t * (kStops - 1) : float(kStops - 1)) : 0.0f;
    const int k = x < float(kStops - 1) ? int(x) : kStops - 2;
    const float f = x - float(k);
    Rgb rgb;
    for (int c = 0; c < 3; ++c)
        rgb[c] = static_cast<unsigned char>(
            std::lround((1.0f - f) * float(stops[k][c]) + f * float(stops[k + 1][c])));
    return rgb;
}

FtleColourMap::Rgb FtleColourMap::colour(Map map, float value, float low, float high)
{
    return colour(map, high > low ? (value - low) / (high - low) : 0.0f);
}

FtleColourMap::Range FtleColourMap::range(const std::vector<float>& values)
{
    Range r{INFINITY, -INFINITY};
    for (const float v : values)
        if (std::isfinite(v))
        {
            r.low = v < r.low ? v : r.low;
            r.high = v > r.high ? v : r.high;
        }
    return r.low <= r.high ? r : Range{0.0f, 0.0f};
}
