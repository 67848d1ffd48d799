// Colours for FTLE values: a perceptually uniform map (viridis) for one field, and single-hue
// maps from white to dark red and dark blue whose product shows forward and backward together.
#pragma once

#include <array>
#include <vector>

class FtleColourMap
{
public:
    enum class Map
    {
        Viridis,
        Reds,
        Blues
    };
    using Rgb = std::array<unsigned char, 3>;

    // The colour at t in [0, 1]; t is clamped, NaN counts as 0.
    static Rgb colour(Map map, float t);
    // The colour of value within [low, high]; a range without width gives its lower end.
    static Rgb colour(Map map, float value, float low, float high);

    struct Range
    {
        float low;
        float high;
    };
    // Smallest and largest finite value; {0, 0} when there is none.
    static Range range(const std::vector<float>& values);
};
