// A realistic global wind field in NetCDF: a 2.5 degree grid (144 x 73), longitudes 0 to
// 357.5, latitudes from 90 down to -90, u and v as packed shorts, land (two continents and a
// polar cap) as _FillValue, one step a month.
#pragma once

#include "netcdfFile.h"

#include <cmath>

inline void writeGlobalWinds(const std::string& path, int steps)
{
    NetcdfFile file(path, NC_NETCDF4 | NC_CLOBBER);
    const char* names[3][2] = {
        {"time", "days since 2000-01-01"}, {"lat", "degrees_north"}, {"lon", "degrees_east"}};
    const int lengths[3] = {steps, 73, 144};
    std::vector<int> dims;
    std::vector<std::pair<int, std::vector<double>>> values; // all after the definitions
    for (int d = 0; d < 3; ++d)
    {
        dims.push_back(file.dimension(names[d][0], lengths[d]));
        values.push_back({file.variable(names[d][0], NC_DOUBLE, {dims[d]}), {}});
        file.text(values.back().first, "units", names[d][1]);
        for (int k = 0; k < lengths[d]; ++k)
            values.back().second.push_back(d == 0 ? 30.0 * k : d == 1 ? 90.0 - 2.5 * k : 2.5 * k);
    }
    for (const char* name : {"u", "v"})
    {
        values.push_back({file.variable(name, NC_SHORT, dims), {}});
        file.number(values.back().first, "scale_factor", NC_DOUBLE, 0.01);
        file.number(values.back().first, "_FillValue", NC_SHORT, -32767);
        for (int t = 0; t < steps; ++t)
            for (double lat = 90.0; lat > -90.1; lat -= 2.5)
                for (double lon = 0.0; lon < 359.0; lon += 2.5)
                {
                    const double a = (lon - 100) / 40, b = (lat - 40) / 25, c = (lon - 300) / 20,
                                 d = (lat + 10) / 30, phi = lat * M_PI / 180, s = std::sin(t * 0.5);
                    const bool land = lat < -70 || a * a + b * b < 1 || c * c + d * d < 1;
                    const double u = 12 * std::cos(3 * phi) * std::cos(phi) + 2 * s + 0.5;
                    const double v = 4 * std::sin(lon * M_PI / 90 + s) * std::cos(phi);
                    values.back().second.push_back(land ? -32767
                                                        : std::round(100 * (*name == 'u' ? u : v)));
                }
    }
    for (const auto& [var, numbers] : values)
        file.put(var, numbers);
}
