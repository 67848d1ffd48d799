// Critical points of a field as a new user brings it in: winds on a global 2.5 degree grid,
// latitude descending, packed in shorts, land marked with _FillValue.
#include "../data/fieldFiles.h"
#include "common/testFields.h"
#include "data/noDataMask.h"
#include "fieldImport.h"
#include "netcdfFile.h"

#include <cmath>
#include <sstream>

namespace
{
constexpr int kLon = 144, kLat = 73;
constexpr double kFill = -32767;

// Jets, waves and eddies over the sea; three continents and Antarctica.
double wind(int comp, double lon, double lat)
{
    const double l = lon * M_PI / 180, p = lat * M_PI / 180;
    const double continents[][4] = {{20, 10, 30, 40}, {260, 40, 35, 20}, {130, -25, 20, 12}};
    for (const auto& c : continents)
        if (std::hypot((lon - c[0]) / c[2], (lat - c[1]) / c[3]) < 1 || lat < -70)
            return kFill;
    const double u = 12 * std::sin(2 * p) * std::cos(p) + 7 * std::sin(3 * l + 1.3 * p) +
                     4 * std::cos(5 * l - 4 * p);
    const double v = 9 * std::cos(4 * l - 0.7 * p) * std::cos(p) + 5 * std::sin(2 * p + 2 * l) -
                     3 * std::sin(7 * p);
    return std::round((comp ? v : u) * 100); // scale_factor 0.01
}

void writeWinds(const std::string& path)
{
    NetcdfFile file(path, NC_CLOBBER | NC_NETCDF4);
    const std::vector<int> dims = {file.dimension("time", 1), file.dimension("lat", kLat),
                                   file.dimension("lon", kLon)};
    const int lat = file.variable("lat", NC_DOUBLE, {dims[1]});
    const int lon = file.variable("lon", NC_DOUBLE, {dims[2]});
    file.text(lat, "units", "degrees_north");
    file.text(lon, "units", "degrees_east");
    const int vars[2] = {file.variable("uwnd", NC_SHORT, dims),
                         file.variable("vwnd", NC_SHORT, dims)};
    for (const int var : vars)
    {
        file.number(var, "scale_factor", NC_DOUBLE, 0.01);
        file.number(var, "_FillValue", NC_SHORT, kFill);
    }
    std::vector<double> lats, lons, values[2];
    for (int j = 0; j < kLat; ++j)
        lats.push_back(90 - 2.5 * j);
    for (int i = 0; i < kLon; ++i)
        lons.push_back(2.5 * i);
    for (int k = 0; k < 2 * kLat * kLon; ++k)
        values[k % 2].push_back(wind(k % 2, lons[k / 2 % kLon], lats[k / 2 / kLon]));
    file.put(lat, lats);
    file.put(lon, lons);
    file.put(vars[0], values[0]);
    file.put(vars[1], values[1]);
}
} // namespace

// No point in a cell beside land, no zero found twice, and each focus or node attracts or
// repels as the Jacobian's trace says.
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
    float2** f = data.orgnvectField2dSlice[0];
    const NoDataMask noData(f, kLon, kLat);
    EXPECT_GT(noData.count, 500);
    CritpntDetect detect;
    detect.genAllCritpntData(f, 36.0f, &data.flowFieldSize);
    EXPECT_GT(detect.allPntCnt, 10);
    const float2* all = detect.critpoints->allCritical;
    for (int n = 0; n < detect.allPntCnt; ++n)
    {
        EXPECT_FALSE(noData.cellTouchesNoData(std::min(int(all[n].x), kLon - 2),
                                              std::min(int(all[n].y), kLat - 2)))
            << all[n].x << ", " << all[n].y;
        for (int m = 0; m < n; ++m)
            EXPECT_GE(std::hypot(all[n].x - all[m].x, all[n].y - all[m].y), 0.05f) << all[n].x;
    }
    // Repelling focus, attracting focus, center, repelling node, attracting node, saddle.
    const float signs[] = {1, -1, 0, 1, -1, 0};
    const auto byType = pointsByType(detect);
    for (int type = 0; type < 6; ++type)
        for (const float2& p : signs[type] != 0 ? byType[type] : std::vector<float2>{})
        {
            detect.computeJacobianMatrix2D(f, p);
            EXPECT_GT((detect.jacobMatrix[0] + detect.jacobMatrix[3]) * signs[type], 0.0f)
                << type << " at " << p.x << ", " << p.y;
        }
}
