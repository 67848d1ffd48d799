#include "../data/fieldFiles.h"
#include "batchFailure.h"
#include "common/testFields.h"
#include "data/dataManipulate.h"
#include "fieldImport.h"
#include "interruption.h"
#include "netcdfFile.h"

#include <cmath>
#include <csignal>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace
{
namespace fs = std::filesystem;

const std::string kRoles = "tzyx"; // time, level, y, x
const int kLengths[] = {3, 2, 4, 5};
const double kPacking[2][2] = {{0.01, 5.0}, {0.02, -3.0}}; // scale_factor, add_offset

struct ImportCase
{
    const char* name;
    int mode;
    const char* layout; // the variables' dimensions, in order
    // d: descending y; p: packed shorts; m: missing values; s: found by standard name;
    // n: named by --u and --v
    const char* traits;
    std::vector<std::string> options; // the last one chooses the output
    int firstStep;
    int level;
    bool has(char trait) const { return std::strchr(traits, trait) != nullptr; }
};

double raw(int c, const int* at) // at: t, z, y, x
{
    return c == 0 ? 1 + at[3] + 10 * at[2] + 100 * at[0] + 1000 * at[1]
                  : 2 * at[3] - 3 * at[2] + 50 * at[0] - 7 * at[1] - 20;
}

// u is missing at (t 0, y 1, x 2), v at (t 1, y 0, x 0), both on level 0.
bool missing(const ImportCase& c, int comp, const int* at)
{
    const int where[2][3] = {{0, 1, 2}, {1, 0, 0}};
    return c.has('m') && at[1] == 0 && at[0] == where[comp][0] && at[2] == where[comp][1] &&
           at[3] == where[comp][2];
}

// The 4-D files carry model names for their dimensions, told apart by attributes alone.
void writeField(const std::string& path, const ImportCase& c)
{
    NetcdfFile file(path, c.mode | NC_CLOBBER);
    const bool fourD = std::strlen(c.layout) == 4;
    const char* names[2][4] = {{"time", "level", "lat", "lon"},
                               {"Time", "bottom_top", "south_north", "west_east"}};
    std::vector<int> dims, roles;
    // Classic files take their values only after every definition.
    std::vector<std::pair<int, std::vector<double>>> pending;
    for (const char* r = c.layout; *r; ++r)
    {
        const int role = int(kRoles.find(*r));
        roles.push_back(role);
        dims.push_back(file.dimension(names[fourD][role], kLengths[role]));
        const int cv = file.variable(names[fourD][role], NC_DOUBLE, {dims.back()});
        const char* attributes[4][2] = {{"units", "hours since 2000-01-01"},
                                        {"positive", "down"},
                                        {fourD ? "axis" : "units", fourD ? "Y" : "degrees_north"},
                                        {fourD ? "axis" : "units", fourD ? "X" : "degrees_east"}};
        file.text(cv, attributes[role][0], attributes[role][1]);
        std::vector<double> axis(kLengths[role]);
        for (std::size_t k = 0; k < axis.size(); ++k)
            axis[k] = role == 2 && c.has('d') ? double(axis.size() - 1 - k) : double(k);
        pending.emplace_back(cv, axis);
    }
    const char* varNames[3][2] = {{"U", "V"}, {"ucomp", "vcomp"}, {"wind_u", "wind_v"}};
    const int naming = c.has('s') ? 1 : c.has('n') ? 2 : 0;
    for (int comp = 0; comp < 2; ++comp)
    {
        const int var =
            file.variable(varNames[naming][comp], c.has('p') ? NC_SHORT : NC_FLOAT, dims);
        if (c.has('s'))
            file.text(var, "standard_name", comp ? "sea_water_y_velocity" : "sea_water_x_velocity");
        if (c.has('p'))
        {
            file.number(var, "scale_factor", NC_DOUBLE, kPacking[comp][0]);
            file.number(var, "add_offset", NC_DOUBLE, kPacking[comp][1]);
        }
        if (c.has('m'))
            file.number(var, comp ? "missing_value" : "_FillValue", NC_FLOAT, comp ? 1e20 : -999);
        // Values in the variable's own order; file row r holds y index r.
        std::vector<double> values;
        std::size_t total = 1;
        for (const int role : roles)
            total *= std::size_t(kLengths[role]);
        for (std::size_t k = 0; k < total; ++k)
        {
            int at[4] = {0, 0, 0, 0};
            for (std::size_t rest = k, d = roles.size(); d-- > 0; rest /= kLengths[roles[d]])
                at[roles[d]] = int(rest % kLengths[roles[d]]);
            if (c.has('d'))
                at[2] = kLengths[2] - 1 - at[2];
            values.push_back(missing(c, comp, at) ? (comp ? 1e20 : -999) : raw(comp, at));
        }
        pending.emplace_back(var, values);
    }
    for (const auto& [var, values] : pending)
        file.put(var, values);
}

float expected(const ImportCase& c, int comp, const int* at)
{
    if (missing(c, 0, at) || missing(c, 1, at))
        return 0.0f;
    const double scale = c.has('p') ? kPacking[comp][0] : 1.0;
    const double offset = c.has('p') ? kPacking[comp][1] : 0.0;
    return float((raw(comp, at) * scale + offset) * 0.5);
}

// Opens the written field with the project's loader, as the data tabs do.
bool load(const FieldFiles& files, const std::string& output, DataManipulate& data)
{
    QString lic;
    if (output == "--slice")
        return data.readVectorDataSlice(files.path("out/field.dat").toLocal8Bit().constData());
    const bool steady = output == "--steady";
    data = DataManipulate(files.path("out/field.txt"), files.path("out/field.dat"),
                          files.path("out/field/header.txt"), files.path("out/field/Uf/Uf01.dat"),
                          steady);
    data.uiUnstdySlicId = 0;
    return data.readVectFile(steady, lic);
}
} // namespace

// Samples arrive unpacked, north up and scaled, missing ones as zero, in files the loader opens.
TEST(Import, SamplesMatchTheFileAndTheLoaderOpensThem)
{
    const ImportCase cases[] = {
        {"ClassicTimeLatLon", 0, "tyx", "", {"--slice"}, 0, 0},
        {"Netcdf4TimeLevelYX", NC_NETCDF4, "tzyx", "s", {"--level", "1", "--series"}, 0, 1},
        {"DescendingLatitude", 0, "tyx", "d", {"--times", "2", "--steady"}, 2, 0},
        {"PackedLonLatTime",
         NC_NETCDF4,
         "xyt",
         "pn",
         {"--u", "wind_u", "--v", "wind_v", "--times", "1:2", "--slice"},
         1,
         0},
        {"MissingValues", 0, "tyx", "m", {"--slice"}, 0, 0}};
    for (const ImportCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        FieldFiles files;
        fs::create_directories(files.root / "out");
        writeField(files.path("in.nc").toStdString(), c);
        std::vector<std::string> words = {files.path("in.nc").toStdString(), "--scale", "0.5",
                                          "--verbose"};
        words.insert(words.end(), c.options.begin(), c.options.end());
        const std::string output = c.options.back();
        words.push_back(
            files.path(output == "--slice" ? "out/field.dat" : "out/field").toStdString());
        std::ostringstream err;
        FieldImport::run(words, err);
        EXPECT_EQ(err.str().find("2 of 60 samples missing, set to zero") != std::string::npos,
                  c.has('m'));
        DataManipulate data("", "", "", "", false);
        ASSERT_TRUE(load(files, output, data));
        ASSERT_EQ(data.flowFieldSize.x, kLengths[3]);
        ASSERT_EQ(data.flowFieldSize.y, kLengths[2]);
        ASSERT_EQ(data.flowFieldSize.z, c.has('p') ? 2 : output == "--steady" ? 1 : 3);
        for (int s = 0; s < data.flowFieldSize.z; ++s)
            for (int y = 0; y < kLengths[2]; ++y)
                for (int x = 0; x < kLengths[3]; ++x)
                {
                    const int at[4] = {c.firstStep + s, c.level, y, x};
                    const float2 v = data.orgnvectField2dSlice[s][y][x];
                    EXPECT_EQ(v.x, expected(c, 0, at)) << s << y << x;
                    EXPECT_EQ(v.y, expected(c, 1, at)) << s << y << x;
                }
    }
}

// A netCDF-4 file with u and v over dimensions (name, length) and no data, unless values are
// given; each variable is then changed by the edit.
static void sketch(const FieldFiles& files, const std::string& name,
                   const std::vector<std::pair<const char*, size_t>>& dimensions,
                   const std::function<void(NetcdfFile&, int u, int v)>& edit = {},
                   nc_type type = NC_FLOAT)
{
    NetcdfFile file(files.path(name).toStdString(), NC_CLOBBER | NC_NETCDF4);
    std::vector<int> dims;
    for (const auto& [dimension, length] : dimensions)
        dims.push_back(file.dimension(dimension, length));
    const int u = file.variable("u", type, dims), v = file.variable("v", type, dims);
    if (edit)
        edit(file, u, v);
}

// Imports file with the options (out/... under the folder) expecting a refusal with the code and
// message that leaves nothing in out/, not even a partial file.
static void expectRefused(const FieldFiles& files, const std::string& file,
                          const std::vector<std::string>& options, int code,
                          const std::string& message)
{
    fs::create_directories(files.root / "out");
    std::vector<std::string> words = {files.path(file.c_str()).toStdString()};
    for (const std::string& option : options)
        words.push_back(option.rfind("out/", 0) == 0 ? files.path(option).toStdString() : option);
    std::ostringstream err;
    try
    {
        FieldImport::run(words, err);
        ADD_FAILURE() << message << ": accepted";
    }
    catch (const BatchFailure& failure)
    {
        EXPECT_EQ(failure.exitCode, code) << message;
        EXPECT_PRED2(mentions, failure.what(), message.c_str());
    }
    EXPECT_TRUE(fs::is_empty(files.root / "out")) << message;
}

// Each refusal names what is wrong and leaves no file behind, not even a partial one.
TEST(Import, BadInputIsRefusedWithAMessageAndNoOutput)
{
    FieldFiles files;
    writeField(files.path("good.nc").toStdString(), ImportCase{"", 0, "tyx", "", {}, 0, 0});
    const std::string good = files.bytes("good.nc");
    files.binary("truncated.nc", good.substr(0, good.size() - 4)); // the last float
    std::string flipped = good;
    flipped[12] ^= 1; // the library answers this header with a system error
    files.binary("flipped.nc", flipped);
    files.text("text.nc", "time,u,v\n0,1,2\n");
    fs::create_directories(files.root / "folder.nc");
    mkfifo(files.path("fifo.nc").toLocal8Bit().constData(), 0600);
    const size_t g = size_t(1) << 30, side = size_t(1) << 14;
    sketch(files, "huge.nc", {{"lev", g}, {"lat", g}, {"lon", g}});
    sketch(files, "limit.nc", {{"time", 1}, {"lat", side}, {"lon", side}});
    sketch(files, "past.nc", {{"time", 1}, {"lat", side}, {"lon", side + 1}});
    sketch(files, "empty.nc", {{"time", NC_UNLIMITED}, {"lat", 2}, {"lon", 2}});
    sketch(files, "nodata.nc", {{"time", 2}, {"lat", 2}, {"lon", 2}});
    sketch(files, "million.nc", {{"time", 1000000}, {"lat", 64}, {"lon", 64}});
    sketch(files, "5d.nc", {{"a", 1}, {"b", 1}, {"time", 1}, {"lat", 2}, {"lon", 2}});
    sketch(files, "lat.nc", {{"time", 1}, {"lat", 3}, {"lon", 2}},
           [](NetcdfFile& f, int, int) {
               f.put(f.variable("lat", NC_DOUBLE, {1}), {10.0, 30.0, 20.0});
           });
    const std::pair<const char*, std::function<void(NetcdfFile&, int, int)>> attributes[] = {
        {"zero.nc", [](NetcdfFile& f, int u, int) { f.number(u, "scale_factor", NC_FLOAT, 0); }},
        {"nan.nc", [](NetcdfFile& f, int u, int) { f.number(u, "scale_factor", NC_FLOAT, NAN); }},
        {"textscale.nc", [](NetcdfFile& f, int u, int) { f.text(u, "scale_factor", "0.1"); }},
        {"vector.nc",
         [](NetcdfFile& f, int u, int) {
             f.numbers(u, "scale_factor", NC_FLOAT, {0.1, 0.2});
         }},
        {"textmissing.nc", [](NetcdfFile& f, int, int v) { f.text(v, "missing_value", "-999"); }}};
    for (const auto& [name, edit] : attributes)
        sketch(files, name, {{"time", 1}, {"lat", 2}, {"lon", 2}}, edit);
    {
        NetcdfFile shapes(files.path("shapes.nc").toStdString(), NC_CLOBBER);
        const int t = shapes.dimension("time", 2), y = shapes.dimension("lat", 3);
        shapes.variable("u", NC_FLOAT, {t, y, shapes.dimension("lon", 4)});
        shapes.variable("v", NC_FLOAT, {t, y, shapes.dimension("lon2", 5)});
        NetcdfFile curved(files.path("curved.nc").toStdString(), NC_CLOBBER | NC_NETCDF4);
        const std::vector<int> dims = {curved.dimension("time", 2), curved.dimension("y", 3),
                                       curved.dimension("x", 4)};
        curved.text(curved.variable("lat", NC_FLOAT, {dims[1], dims[2]}), "units", "degrees_north");
        for (const char* name : {"u", "v"})
            curved.text(curved.variable(name, NC_FLOAT, dims), "coordinates", "lat");
    }
    const std::tuple<const char*, std::vector<std::string>, int, std::string> cases[] = {
        {"good.nc", {"--u", "wind", "--slice", "out/f.dat"}, 1, "no variable 'wind'; its"},
        {"shapes.nc", {"--slice", "out/f.dat"}, 1, "'u' and 'v' differ in shape"},
        {"curved.nc", {"--series", "out/s"}, 1, "curvilinear grid (2-D coordinate 'lat')"},
        {"truncated.nc", {"--slice", "out/f.dat"}, 1, "truncated.nc: truncated"},
        {"text.nc", {"--steady", "out/f"}, 1, "text.nc: not a NetCDF file"},
        {"good.nc", {"--times", "1:3", "--slice", "out/f.dat"}, 1, "time step 3 out of range"},
        {"good.nc", {"--level", "1", "--slice", "out/f.dat"}, 1, "level 1 out of range"},
        {"good.nc", {"--times", "0:1", "--steady", "out/f"}, 2, "--steady writes one time step"},
        {"good.nc", {"--times", "1:0", "--slice", "out/f.dat"}, 2, "the last step comes before"},
        {"good.nc", {"--series", "out/no/s"}, 1, "the folder " + files.root.string() + "/out/no "},
        {"flipped.nc", {"--slice", "out/f.dat"}, 1, "NetCDF file (its header is damaged)"},
        {"folder.nc", {"--slice", "out/f.dat"}, 1, "folder.nc: Is a directory"},
        {"fifo.nc", {"--slice", "out/f.dat"}, 1, "fifo.nc: Not a regular file"},
        {"huge.nc", {"--level", "all", "--series", "out/s"}, 1, "too many samples per time step"},
        {"limit.nc", {"--times", "1", "--slice", "out/f.dat"}, 1, "time step 1 out of range"},
        {"past.nc", {"--slice", "out/f.dat"}, 1, "too many samples per time step"},
        {"empty.nc", {"--slice", "out/f.dat"}, 1, "dimension 'time' has 0 entries"},
        {"5d.nc", {"--slice", "out/f.dat"}, 1, "'u' has 5 dimensions"},
        {"nodata.nc", {"--slice", "out/f.dat"}, 1, "hold no data in the time steps read"},
        {"nodata.nc", {"--scale", "1", "--series", "out/s/"}, 1, "hold no data"},
        {"million.nc", {"--times", "7", "--steady", "out/f"}, 1, "hold no data"},
        {"lat.nc", {"--slice", "out/f.dat"}, 1, "coordinate 'lat' of 'u' is not monotonic"},
        {"zero.nc", {"--slice", "out/f.dat"}, 1, "'scale_factor' of 'u' is 0"},
        {"nan.nc", {"--slice", "out/f.dat"}, 1, "'scale_factor' of 'u' is not a finite number"},
        {"textscale.nc", {"--slice", "out/f.dat"}, 1, "'scale_factor' of 'u' is text"},
        {"vector.nc", {"--slice", "out/f.dat"}, 1, "'scale_factor' of 'u' holds 2 values"},
        {"textmissing.nc", {"--slice", "out/f.dat"}, 1, "'missing_value' of 'v' is text"}};
    for (const auto& [file, options, code, message] : cases)
        expectRefused(files, file, options, code, message);
}

// Without --scale, the speed at the 95th percentile becomes the default field's 7.32: here
// the 19th of the speeds 1 ... 20, to within the half-percent its histogram resolves.
TEST(Import, DefaultScaleMapsThe95thPercentileSpeed)
{
    FieldFiles files;
    {
        NetcdfFile file(files.path("ramp.nc").toStdString(), NC_CLOBBER);
        const std::vector<int> dims = {file.dimension("time", 1), file.dimension("lat", 1),
                                       file.dimension("lon", 20)};
        const int u = file.variable("u", NC_FLOAT, dims), v = file.variable("v", NC_FLOAT, dims);
        std::vector<double> speeds(20);
        for (int k = 0; k < 20; ++k)
            speeds[k] = k + 1;
        file.put(u, speeds);
        file.put(v, std::vector<double>(20, 0.0));
    }
    std::ostringstream err;
    FieldImport::run(
        {files.path("ramp.nc").toStdString(), "--slice", files.path("o.dat").toStdString()}, err);
    DataManipulate data("", "", "", "", false);
    ASSERT_TRUE(data.readVectorDataSlice(files.path("o.dat").toLocal8Bit().constData()));
    EXPECT_NEAR(data.orgnvectField2dSlice[0][0][18].x, 7.32f, 0.035f) << err.str();
}

// u(lat, lon) and v(lon, lat_v) with lat_v and lon descending: each is read by its own
// dimensions and coordinates, north up and east right. Out of the valid range, the type's
// default fill and a missing value of another type are all missing. Units that differ are
// warned about.
TEST(Import, EachComponentIsReadByItsOwnDimensionsAndMissingValues)
{
    FieldFiles files;
    {
        NetcdfFile file(files.path("in.nc").toStdString(), NC_CLOBBER | NC_NETCDF4);
        const int lat = file.dimension("lat", 2), latV = file.dimension("lat_v", 2),
                  lon = file.dimension("lon", 3);
        const int u = file.variable("u", NC_SHORT, {lat, lon});
        const int v = file.variable("v", NC_FLOAT, {lon, latV});
        file.number(u, "scale_factor", NC_DOUBLE, 0.5);
        file.numbers(u, "valid_range", NC_SHORT, {-10000, 10000});
        file.number(v, "missing_value", NC_DOUBLE, 1e20);
        file.text(u, "units", "m/s");
        const int latVar = file.variable("lat_v", NC_FLOAT, {latV});
        file.text(latVar, "units", "degrees_north");
        file.put(latVar, {5, -5});
        file.put(file.variable("lat", NC_FLOAT, {lat}), {-5, 5});
        file.put(file.variable("lon", NC_FLOAT, {lon}), {20, 10, 0});
        file.put(u, {20000, 2, 3, 4, NC_FILL_SHORT, 6}); // u[lat][lon]
        file.put(v, {10, 20, 30, 40, 1e20, 60});         // v[lon][lat_v]
    }
    const std::string out = files.path("o.dat").toStdString();
    std::ostringstream err;
    testing::internal::CaptureStderr();
    FieldImport::run(
        {files.path("in.nc").toStdString(), "--scale", "1", "--slice", out, "--verbose"}, err);
    EXPECT_PRED2(mentions, testing::internal::GetCapturedStderr(), "'u' is in 'm/s' but 'v' in ''");
    EXPECT_PRED2(mentions, err.str(), "3 of 6 samples missing");
    DataManipulate data("", "", "", "", false);
    ASSERT_TRUE(data.readVectorDataSlice(out.c_str()));
    // Sample (i, j): i from the west, j from the south.
    const float expected[2][3][2] = {{{1.5, 60}, {1, 40}, {0, 0}}, {{0, 0}, {0, 0}, {2, 10}}};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_EQ(data.orgnvectField2dSlice[0][j][i].x, expected[j][i][0]) << i << j;
            EXPECT_EQ(data.orgnvectField2dSlice[0][j][i].y, expected[j][i][1]) << i << j;
        }
}

// A signal during an import ends it by its exit code and removes what it had written.
TEST(Import, InterruptedImportLeavesNothing)
{
    FieldFiles files;
    writeField(files.path("in.nc").toStdString(), ImportCase{"", 0, "tyx", "", {}, 0, 0});
    const Interruption interruption;
    std::raise(SIGTERM);
    expectRefused(files, "in.nc", {"--series", "out/s"}, 128 + SIGTERM, "SIGTERM");
}
