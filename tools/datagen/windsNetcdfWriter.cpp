#include "datasetWriter.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <netcdf.h>
#include <numbers>
#include <vector>

namespace
{
// A global 2.5-degree grid, latitudes from the north as many reanalyses store them, one step a
// month.
constexpr int kLon = 144;
constexpr int kLat = 73;
constexpr int kMonths = 12;
constexpr float kFill = -9999.0f;

struct Ellipse
{
    double lon, lat, halfLon, halfLat;
};

// Rough continents, so the winds have land (fill values) to go round.
bool isLand(double lon, double lat)
{
    const Ellipse land[] = {{20, 5, 28, 32},
                            {100, 48, 65, 20},
                            {265, 45, 38, 20},
                            {298, -15, 16, 25},
                            {134, -25, 18, 11}};
    if (lat < -72)
        return true;
    for (const Ellipse& e : land)
    {
        const double dx = std::remainder(lon - e.lon, 360.0) / e.halfLon;
        const double dy = (lat - e.lat) / e.halfLat;
        if (dx * dx + dy * dy < 1.0)
            return true;
    }
    return false;
}

// Trade winds, westerlies and polar easterlies that shift with the season, with a travelling
// wave that gives them meridional flow, in m/s.
void wind(double lon, double lat, int month, float& u, float& v)
{
    const double rad = std::numbers::pi / 180.0;
    const double season = std::sin(2.0 * std::numbers::pi * month / kMonths);
    const double phi = (lat - 5.0 * season) * rad;
    const double wave = std::sin(4.0 * lon * rad - 0.5 * month);
    u = float(-7.0 * std::cos(3.0 * phi) * std::cos(phi) + 3.0 * std::sin(2.0 * phi) * wave);
    v = float(4.0 * std::cos(phi) * std::cos(4.0 * lon * rad - 0.5 * month) * std::sin(2.0 * phi));
}

bool check(int status, const std::filesystem::path& file)
{
    if (status != NC_NOERR)
        std::fprintf(stderr, "quorvel-datagen: cannot write %s: %s\n", file.c_str(),
                     nc_strerror(status));
    return status == NC_NOERR;
}

int defineAxis(int id, const char* name, int dim, const char* units)
{
    int var = -1;
    nc_def_var(id, name, NC_FLOAT, 1, &dim, &var);
    nc_put_att_text(id, var, "units", std::strlen(units), units);
    return var;
}
} // namespace

bool DatasetWriter::writeWindsNetcdf(const std::filesystem::path& file)
{
    int id = -1;
    if (!check(nc_create(file.c_str(), NC_CLOBBER, &id), file))
        return false;
    int dims[3];
    nc_def_dim(id, "time", kMonths, &dims[0]);
    nc_def_dim(id, "lat", kLat, &dims[1]);
    nc_def_dim(id, "lon", kLon, &dims[2]);
    const int time = defineAxis(id, "time", dims[0], "days since 2001-01-01");
    const int lat = defineAxis(id, "lat", dims[1], "degrees_north");
    const int lon = defineAxis(id, "lon", dims[2], "degrees_east");
    int uv[2];
    const char* names[2][2] = {{"uwnd", "eastward_wind"}, {"vwnd", "northward_wind"}};
    for (int c = 0; c < 2; ++c)
    {
        nc_def_var(id, names[c][0], NC_FLOAT, 3, dims, &uv[c]);
        nc_put_att_text(id, uv[c], "standard_name", std::strlen(names[c][1]), names[c][1]);
        nc_put_att_text(id, uv[c], "units", 3, "m/s");
        nc_put_att_float(id, uv[c], "_FillValue", NC_FLOAT, 1, &kFill);
    }
    nc_enddef(id);
    std::vector<float> axis;
    for (int k = 0; k < kMonths; ++k)
        axis.push_back(float(k * 365.0 / 12.0));
    nc_put_var_float(id, time, axis.data());
    axis.clear();
    for (int j = 0; j < kLat; ++j)
        axis.push_back(90.0f - 2.5f * j);
    nc_put_var_float(id, lat, axis.data());
    axis.clear();
    for (int i = 0; i < kLon; ++i)
        axis.push_back(2.5f * i);
    nc_put_var_float(id, lon, axis.data());
    std::vector<float> u, v;
    for (int t = 0; t < kMonths; ++t)
        for (int j = 0; j < kLat; ++j)
            for (int i = 0; i < kLon; ++i)
            {
                const double x = 2.5 * i, y = 90.0 - 2.5 * j;
                float a = kFill, b = kFill;
                if (!isLand(x, y))
                    wind(x, y, t, a, b);
                u.push_back(a);
                v.push_back(b);
            }
    const bool ok = check(nc_put_var_float(id, uv[0], u.data()), file) &&
                    check(nc_put_var_float(id, uv[1], v.data()), file);
    return check(nc_close(id), file) && ok;
}
