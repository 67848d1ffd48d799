// Critical points of a field as a new user brings it in: global monthly-mean-like winds on a
// 2.5 degree grid, latitude descending, packed in shorts, land marked with _FillValue.
#include "../data/fieldFiles.h"
#include "common/testFields.h"
#include "data/noDataMask.h"
#include "fieldImport.h"
#include "netcdfFile.h"

#include <cmath>
#include <sstream>

namespace
{
constexpr int kLon = 144, kLat = 73, kSteps = 2;
constexpr double kFill = -32767, kScale = 0.01, kOffset = 0.5;

bool land(double lon, double lat)
{
    const double continents[][4] = {{20, 10, 30, 40}, {260, 40, 35, 20}, {130, -25, 20, 12}};
    for (const auto& c : continents)
        if (std::pow((lon - c[0]) / c[2], 2) + std::pow((lat - c[1]) / c[3], 2) < 1)
            return true;
    return lat < -70;
}

// Zonal jets, planetary waves and eddies, drifting from step to step.
double wind(int comp, double lon, double lat, int t)
{
    const double l = lon * M_PI / 180, p = lat * M_PI / 180;
    return comp == 0 ? 12 * std::sin(2 * p) * std::cos(p) + 7 * std::sin(3 * l + 1.3 * p + t) +
                           4 * std::cos(5 * l - 4 * p)
                     : 9 * std::cos(4 * l - 0.7 * p - 0.5 * t) * std::cos(p) +
                           5 * std::sin(2 * p + 2 * l) - 3 * std::sin(7 * p);
}

void writeWinds(const std::string& path)
{
    NetcdfFile file(path, NC_CLOBBER | NC_NETCDF4);
    const std::vector<int> dims = {file.dimension("time", kSteps), file.dimension("lat", kLat),
                                   file.dimension("lon", kLon)};
    const int time = file.variable("time", NC_DOUBLE, {dims[0]});
    const int lat = file.variable("lat", NC_DOUBLE, {dims[1]});
    const int lon = file.variable("lon", NC_DOUBLE, {dims[2]});
    file.text(time, "units", "hours since 2000-01-01");
    file.text(lat, "units", "degrees_north");
    file.text(lon, "units", "degrees_east");
    int vars[2];
    for (int comp = 0; comp < 2; ++comp)
    {
        vars[comp] = file.variable(comp ? "vwnd" : "uwnd", NC_SHORT, dims);
        file.text(vars[comp], "standard_name", comp ? "northward_wind" : "eastward_wind");
        file.number(vars[comp], "scale_factor", NC_DOUBLE, kScale);
        file.number(vars[comp], "add_offset", NC_DOUBLE, kOffset);
        file.number(vars[comp], "_FillValue", NC_SHORT, kFill);
    }
    std::vector<double> values[2], lats, lons;
    for (int j = 0; j < kLat; ++j)
        lats.push_back(90 - 2.5 * j);
    for (int i = 0; i < kLon; ++i)
        lons.push_back(2.5 * i);
    for (int t = 0; t < kSteps; ++t)
        for (const double y : lats)
            for (const double x : lons)
                for (int comp = 0; comp < 2; ++comp)
                    values[comp].push_back(
                        land(x, y) ? kFill : std::round((wind(comp, x, y, t) - kOffset) / kScale));
    file.put(time, {0, 720});
    file.put(lat, lats);
    file.put(lon, lons);
    file.put(vars[0], values[0]);
    file.put(vars[1], values[1]);
}
} // namespace

// On every step: no point in a cell beside land, no zero found twice, and each focus or node
// attracts or repels as the Jacobian's trace says.
TEST(ImportedField, CriticalPointsAreSoundOnAGlobalGridWithLand)
{
    FieldFiles files;
    writeWinds(files.path("winds.nc").toStdString());
    std::ostringstream err;
    FieldImport::run(
        {files.path("winds.nc").toStdString(), "--slice", files.path("winds.dat").toStdString()},
        err);
    DataManipulate data("", "", "", "", false);
    ASSERT_TRUE(data.readVectorDataSlice(files.path("winds.dat").toLocal8Bit().constData()))
        << err.str();
    ASSERT_EQ(data.flowFieldSize.x, kLon);
    ASSERT_EQ(data.flowFieldSize.y, kLat);
    ASSERT_EQ(data.flowFieldSize.z, kSteps);
    for (int t = 0; t < kSteps; ++t)
    {
        SCOPED_TRACE(t);
        float2** f = data.orgnvectField2dSlice[t];
        const NoDataMask noData(f, kLon, kLat);
        EXPECT_GT(noData.count, 500);
        CritpntDetect detect;
        detect.genAllCritpntData(f, 36.0f, &data.flowFieldSize);
        EXPECT_GT(detect.allPntCnt, 10);
        const critpntArray& found = *detect.critpoints;
        for (int n = 0; n < detect.allPntCnt; ++n)
        {
            const float2 p = found.allCritical[n];
            EXPECT_FALSE(noData.cellTouchesNoData(std::min(int(p.x), kLon - 2),
                                                  std::min(int(p.y), kLat - 2)))
                << p.x << ", " << p.y;
            for (int m = 0; m < n; ++m)
                EXPECT_GE(std::hypot(p.x - found.allCritical[m].x, p.y - found.allCritical[m].y),
                          0.05f)
                    << p.x << ", " << p.y;
        }
        // Repelling focus, attracting focus, center, repelling node, attracting node, saddle.
        const float signs[] = {1, -1, 0, 1, -1, 0};
        const auto byType = pointsByType(detect);
        for (int type = 0; type < 6; ++type)
            for (const float2& p : signs[type] != 0 ? byType[type] : std::vector<float2>{})
            {
                detect.computeJacobianMatrix2D(f, p);
                const float trace = detect.jacobMatrix[0] + detect.jacobMatrix[3];
                EXPECT_GT(trace * signs[type], 0.0f) << type << " at " << p.x << ", " << p.y;
            }
    }
}
