// A realistic global wind field in NetCDF: a 2.5 degree grid (144 x 73), longitudes 0 to
// 357.5, latitudes from 90 down to -90, u and v as packed shorts, land as _FillValue, monthly
// steps. Jets and trades vary with latitude and season; two continents and a polar cap.
#pragma once

#include "netcdfFile.h"

#include <cmath>
#include <utility>
#include <vector>

namespace GlobalWinds
{
constexpr int kLon = 144;
constexpr int kLat = 73;
constexpr short kFill = -32767;
constexpr double kScale = 0.01;

inline bool isLand(double lon, double lat)
{
    const double a = (lon - 100.0) / 40.0, b = (lat - 40.0) / 25.0;
    const double c = (lon - 300.0) / 20.0, d = (lat + 10.0) / 30.0;
    return lat < -70.0 || a * a + b * b < 1.0 || c * c + d * d < 1.0;
}

// Packed u (comp 0) or v at grid indices; latitude row r counts from the north.
inline short packed(int comp, int t, int r, int i)
{
    const double pi = 3.14159265358979, lon = 2.5 * i, lat = 90.0 - 2.5 * r;
    if (isLand(lon, lat))
        return kFill;
    const double season = std::sin(2.0 * pi * t / 12.0), phi = lat * pi / 180.0;
    const double u = 12.0 * std::cos(3.0 * phi) * std::cos(phi) + 2.0 * season;
    const double v = 4.0 * std::sin(2.0 * lon * pi / 180.0 + season) * std::cos(phi);
    return short(std::lround((comp ? v : u) / kScale));
}

inline void write(const std::string& path, int steps)
{
    NetcdfFile file(path, NC_NETCDF4 | NC_CLOBBER);
    const int dims[] = {file.dimension("time", steps), file.dimension("lat", kLat),
                        file.dimension("lon", kLon)};
    const char* axes[3][2] = {
        {"time", "days since 2000-01-01"}, {"lat", "degrees_north"}, {"lon", "degrees_east"}};
    // Every definition comes before the first values.
    std::vector<std::pair<int, std::vector<double>>> pending;
    for (int d = 0; d < 3; ++d)
    {
        const int var = file.variable(axes[d][0], NC_DOUBLE, {dims[d]});
        file.text(var, "units", axes[d][1]);
        std::vector<double> axis;
        for (int k = 0; k < (d == 0 ? steps : d == 1 ? kLat : kLon); ++k)
            axis.push_back(d == 0 ? 30.0 * k : d == 1 ? 90.0 - 2.5 * k : 2.5 * k);
        pending.emplace_back(var, axis);
    }
    for (int comp = 0; comp < 2; ++comp)
    {
        const int var = file.variable(comp ? "v" : "u", NC_SHORT, {dims[0], dims[1], dims[2]});
        file.text(var, "standard_name", comp ? "northward_wind" : "eastward_wind");
        file.number(var, "scale_factor", NC_DOUBLE, kScale);
        file.number(var, "_FillValue", NC_SHORT, kFill);
        std::vector<double> raw;
        for (int t = 0; t < steps; ++t)
            for (int r = 0; r < kLat; ++r)
                for (int i = 0; i < kLon; ++i)
                    raw.push_back(packed(comp, t, r, i));
        pending.emplace_back(var, raw);
    }
    for (const auto& [var, values] : pending)
        file.put(var, values);
}
} // namespace GlobalWinds
