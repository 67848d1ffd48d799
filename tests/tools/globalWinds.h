// A realistic global wind field in NetCDF: a 2.5 degree grid (144 x 73) unless another size is
// given, longitudes 0 up to 360, latitudes from 90 down to -90, u and v as packed shorts, land
// as _FillValue, monthly steps. Jets and trades vary with latitude and season; two continents
// and a polar cap. Written one time step at a time, so large grids need little memory.
#pragma once

#include "netcdfFile.h"

#include <cmath>
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

// Packed u (comp 0) or v at a place and time step.
inline short packed(int comp, int t, double lon, double lat)
{
    const double pi = 3.14159265358979;
    if (isLand(lon, lat))
        return kFill;
    const double season = std::sin(2.0 * pi * t / 12.0), phi = lat * pi / 180.0;
    const double u = 12.0 * std::cos(3.0 * phi) * std::cos(phi) + 2.0 * season;
    const double v = 4.0 * std::sin(2.0 * lon * pi / 180.0 + season) * std::cos(phi);
    return short(std::lround((comp ? v : u) / kScale));
}

inline void write(const std::string& path, int steps, int nLon = kLon, int nLat = kLat)
{
    const double lonStep = 360.0 / nLon, latStep = 180.0 / (nLat - 1);
    NetcdfFile file(path, NC_NETCDF4 | NC_CLOBBER);
    const int lengths[] = {steps, nLat, nLon};
    const char* axes[3][2] = {
        {"time", "days since 2000-01-01"}, {"lat", "degrees_north"}, {"lon", "degrees_east"}};
    int dims[3], axisVars[3], uv[2];
    for (int d = 0; d < 3; ++d)
        dims[d] = file.dimension(axes[d][0], size_t(lengths[d]));
    for (int d = 0; d < 3; ++d)
    {
        axisVars[d] = file.variable(axes[d][0], NC_DOUBLE, {dims[d]});
        file.text(axisVars[d], "units", axes[d][1]);
    }
    for (int comp = 0; comp < 2; ++comp)
    {
        uv[comp] = file.variable(comp ? "v" : "u", NC_SHORT, {dims[0], dims[1], dims[2]});
        file.text(uv[comp], "standard_name", comp ? "northward_wind" : "eastward_wind");
        file.number(uv[comp], "scale_factor", NC_DOUBLE, kScale);
        file.number(uv[comp], "_FillValue", NC_SHORT, kFill);
    }
    // Every definition comes before the first values.
    for (int d = 0; d < 3; ++d)
    {
        std::vector<double> axis;
        for (int k = 0; k < lengths[d]; ++k)
            axis.push_back(d == 0 ? 30.0 * k : d == 1 ? 90.0 - latStep * k : lonStep * k);
        file.put(axisVars[d], axis);
    }
    std::vector<double> raw;
    for (int t = 0; t < steps; ++t)
        for (int comp = 0; comp < 2; ++comp)
        {
            raw.clear();
            for (int r = 0; r < nLat; ++r)
                for (int i = 0; i < nLon; ++i)
                    raw.push_back(packed(comp, t, lonStep * i, 90.0 - latStep * r));
            file.putStep(uv[comp], size_t(t), size_t(nLat), size_t(nLon), raw);
        }
}
} // namespace GlobalWinds
