// A realistic global wind file: a regular longitude-latitude grid over the whole globe
// (longitudes 0 to 360 east, latitude descending from the north pole), u and v as packed
// shorts with scale_factor and add_offset, land as _FillValue, and drifting cyclones in the
// westerlies, one field per time step.
#pragma once

#include "netcdfFile.h"

#include <cmath>

// True over the test's continent: a block of land in the tropics and the polar caps.
inline bool globalWindsLand(double lon, double lat)
{
    return (lon >= 60.0 && lon <= 120.0 && lat >= -30.0 && lat <= 30.0) || std::abs(lat) > 80.0;
}

inline void writeGlobalWinds(const std::string& path, int width, int height, int steps)
{
    constexpr double kScale = 0.01, kOffset = 0.0, kFill = -32767.0;
    NetcdfFile file(path, NC_CLOBBER | NC_NETCDF4);
    const int dims[] = {file.dimension("time", size_t(steps)),
                        file.dimension("lat", size_t(height)),
                        file.dimension("lon", size_t(width))};
    const int lat = file.variable("lat", NC_DOUBLE, {dims[1]});
    const int lon = file.variable("lon", NC_DOUBLE, {dims[2]});
    file.text(lat, "units", "degrees_north");
    file.text(lon, "units", "degrees_east");
    int uv[2];
    for (int c = 0; c < 2; ++c)
    {
        uv[c] = file.variable(c ? "vwnd" : "uwnd", NC_SHORT, {dims[0], dims[1], dims[2]});
        file.text(uv[c], "units", "m s-1");
        file.number(uv[c], "scale_factor", NC_DOUBLE, kScale);
        file.number(uv[c], "add_offset", NC_DOUBLE, kOffset);
        file.number(uv[c], "_FillValue", NC_SHORT, kFill);
    }
    const double step = 360.0 / width, rowStep = 180.0 / (height - 1);
    std::vector<double> axis(static_cast<size_t>(height));
    for (int j = 0; j < height; ++j)
        axis[size_t(j)] = 90.0 - rowStep * j;
    file.put(lat, axis);
    axis.resize(size_t(width));
    for (int i = 0; i < width; ++i)
        axis[size_t(i)] = step * i;
    file.put(lon, axis);
    std::vector<double> values[2];
    for (int t = 0; t < steps; ++t)
    {
        for (auto& component : values)
            component.clear();
        for (int j = 0; j < height; ++j)
            for (int i = 0; i < width; ++i)
            {
                const double x = step * i, y = 90.0 - rowStep * j;
                // Two cyclones drifting east, in a westerly jet.
                double u = 15.0 * std::cos(y * M_PI / 90.0) + 2.0, v = 0.0;
                for (const double centre : {41.3 + 3.0 * t, 221.3 + 3.0 * t})
                {
                    const double dx = std::remainder(x - centre, 360.0), dy = y - 44.1;
                    const double gauss = std::exp(-(dx * dx + dy * dy) / 200.0);
                    u += -25.0 * dy / 10.0 * gauss;
                    v += 25.0 * dx / 10.0 * gauss;
                }
                const bool land = globalWindsLand(x, y);
                values[0].push_back(land ? kFill : std::round((u - kOffset) / kScale));
                values[1].push_back(land ? kFill : std::round((v - kOffset) / kScale));
            }
        for (int c = 0; c < 2; ++c)
            file.putStep(uv[c], size_t(t), size_t(height), size_t(width), values[c]);
    }
}
