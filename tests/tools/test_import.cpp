#include "../data/fieldFiles.h"
#include "batchFailure.h"
#include "data/dataManipulate.h"
#include "fieldImport.h"
#include "netcdfFile.h"

#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace
{
namespace fs = std::filesystem;

constexpr int kSteps = 3, kLevels = 2, kRows = 4, kColumns = 5;

struct ImportCase
{
    const char* name;
    int mode;
    const char* layout; // dimension order: t time, z level, y, x
    const char* names[2];
    const char* standardName; // of u; v gets the matching northward name
    bool descending;
    bool packed;
    bool missing;
    std::vector<std::string> options;
    int firstStep;
    int level;
};

double raw(int c, int t, int z, int y, int x)
{
    return c == 0 ? 1 + x + 10 * y + 100 * t + 1000 * z : 2 * x - 3 * y + 50 * t - 7 * z - 20;
}

const double kPacking[2][2] = {{0.01, 5.0}, {0.02, -3.0}}; // scale_factor, add_offset
const double kFill = -999.0, kMissing = 1e20;

bool isMissingSample(const ImportCase& c, int component, int t, int z, int y, int x)
{
    return c.missing && z == 0 &&
           (component == 0 ? t == 0 && y == 1 && x == 2 : t == 1 && y == 0 && x == 0);
}

// The dimensions of a 4-D file carry model names and are told apart by their attributes only.
void writeField(const std::string& path, const ImportCase& c)
{
    NetcdfFile file(path, c.mode | NC_CLOBBER);
    const std::string layout = c.layout;
    const bool fourD = layout.size() == 4;
    std::vector<int> dims, coords;
    std::vector<char> roles;
    for (const char role : layout)
    {
        const char* names = fourD ? "Time bottom_top south_north west_east" : "time - lat lon";
        std::istringstream words(names);
        std::string name;
        for (int k = 0; k <= int(std::string("tzyx").find(role)); ++k)
            words >> name;
        const size_t length = role == 't'   ? kSteps
                              : role == 'z' ? kLevels
                              : role == 'y' ? kRows
                                            : kColumns;
        dims.push_back(file.dimension(name.c_str(), length));
        coords.push_back(file.variable(name.c_str(), NC_DOUBLE, {dims.back()}));
        roles.push_back(role);
        const int cv = coords.back();
        if (role == 't')
            file.text(cv, "units", "hours since 2000-01-01");
        if (role == 'z')
            file.text(cv, "positive", "down");
        if (role == 'y')
            fourD ? file.text(cv, "axis", "Y") : file.text(cv, "units", "degrees_north");
        if (role == 'x')
            fourD ? file.text(cv, "axis", "X") : file.text(cv, "units", "degrees_east");
    }
    int vars[2];
    for (int comp = 0; comp < 2; ++comp)
    {
        vars[comp] = file.variable(c.names[comp], c.packed ? NC_SHORT : NC_FLOAT, dims);
        if (c.standardName)
            file.text(vars[comp], "standard_name",
                      comp == 0 ? c.standardName : "sea_water_y_velocity");
        if (c.packed)
        {
            file.number(vars[comp], "scale_factor", NC_DOUBLE, kPacking[comp][0]);
            file.number(vars[comp], "add_offset", NC_DOUBLE, kPacking[comp][1]);
        }
    }
    if (c.missing)
    {
        file.number(vars[0], "_FillValue", NC_FLOAT, kFill);
        file.number(vars[1], "missing_value", NC_FLOAT, kMissing);
    }
    for (std::size_t d = 0; d < dims.size(); ++d)
    {
        std::vector<double> axis(roles[d] == 't'   ? kSteps
                                 : roles[d] == 'z' ? kLevels
                                 : roles[d] == 'y' ? kRows
                                                   : kColumns);
        for (std::size_t k = 0; k < axis.size(); ++k)
            axis[k] = roles[d] == 'y' && c.descending ? double(axis.size() - 1 - k) : double(k);
        file.put(coords[d], axis);
    }
    // Values in the variable's own dimension order; file row r holds y index r.
    for (int comp = 0; comp < 2; ++comp)
    {
        std::vector<double> values;
        int index[4] = {0, 0, 0, 0}; // t, z, y, x
        const std::function<void(std::size_t)> fill = [&](std::size_t d)
        {
            if (d == roles.size())
            {
                const int row = c.descending ? kRows - 1 - index[2] : index[2];
                const bool gone = isMissingSample(c, comp, index[0], index[1], row, index[3]);
                values.push_back(gone ? (comp == 0 ? kFill : kMissing)
                                      : raw(comp, index[0], index[1], row, index[3]));
                return;
            }
            const int slot = int(std::string("tzyx").find(roles[d]));
            const int length = slot == 0   ? kSteps
                               : slot == 1 ? kLevels
                               : slot == 2 ? kRows
                                           : kColumns;
            for (index[slot] = 0; index[slot] < length; ++index[slot])
                fill(d + 1);
        };
        fill(0);
        file.put(vars[comp], values);
    }
}

float2 expected(const ImportCase& c, int t, int y, int x)
{
    float v[2];
    for (int comp = 0; comp < 2; ++comp)
    {
        if (isMissingSample(c, 0, t, c.level, y, x) || isMissingSample(c, 1, t, c.level, y, x))
            return makeFloat2(0.0f, 0.0f);
        const double value = raw(comp, t, c.level, y, x);
        v[comp] = c.packed ? float((value * kPacking[comp][0] + kPacking[comp][1]) * 0.5)
                           : float((value * 1.0 + 0.0) * 0.5);
    }
    return makeFloat2(v[0], v[1]);
}

// Opens the written field with the project's loader, as the data tabs do.
bool load(const FieldFiles& files, const std::string& output, DataManipulate& data)
{
    QString lic;
    if (output == "--slice")
        return data.readVectorDataSlice(files.path("out/field.dat").toLocal8Bit().constData());
    if (output == "--steady")
    {
        data =
            DataManipulate(files.path("out/field.txt"), files.path("out/field.dat"), "", "", true);
        return data.readVectFile(true, lic);
    }
    data = DataManipulate("", "", files.path("out/series/header.txt"),
                          files.path("out/series/Uf/Uf01.dat"), false);
    data.uiUnstdySlicId = 0;
    return data.readVectFile(false, lic);
}

class Import : public ::testing::TestWithParam<ImportCase>
{
};
} // namespace

TEST_P(Import, SamplesMatchTheFileAndTheLoaderOpensThem)
{
    const ImportCase& c = GetParam();
    FieldFiles files;
    fs::create_directories(files.root / "out");
    writeField(files.path("in.nc").toStdString(), c);
    std::vector<std::string> words = {files.path("in.nc").toStdString(), "--scale", "0.5"};
    words.insert(words.end(), c.options.begin(), c.options.end() - 1);
    const std::string output = c.options.back();
    const char* target = output == "--slice"    ? "out/field.dat"
                         : output == "--steady" ? "out/field"
                                                : "out/series";
    words.push_back(output);
    words.push_back(files.path(target).toStdString());
    std::ostringstream err;
    FieldImport::run(words, err);
    if (c.missing)
    {
        EXPECT_NE(err.str().find("2 of 60 samples missing, set to zero"), std::string::npos)
            << err.str();
    }

    DataManipulate data("", "", "", "", false);
    ASSERT_TRUE(load(files, output, data));
    ASSERT_EQ(data.flowFieldSize.x, kColumns);
    ASSERT_EQ(data.flowFieldSize.y, kRows);
    for (int s = 0; s < data.flowFieldSize.z; ++s)
        for (int y = 0; y < kRows; ++y)
            for (int x = 0; x < kColumns; ++x)
            {
                const float2 want = expected(c, c.firstStep + s, y, x);
                EXPECT_EQ(data.orgnvectField2dSlice[s][y][x].x, want.x)
                    << s << ' ' << y << ' ' << x;
                EXPECT_EQ(data.orgnvectField2dSlice[s][y][x].y, want.y)
                    << s << ' ' << y << ' ' << x;
            }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, Import,
    ::testing::Values(
        ImportCase{"ClassicTimeLatLon",
                   0,
                   "tyx",
                   {"U", "V"},
                   nullptr,
                   false,
                   false,
                   false,
                   {"--slice"},
                   0,
                   0},
        ImportCase{"Netcdf4TimeLevelYX",
                   NC_NETCDF4,
                   "tzyx",
                   {"ucomp", "vcomp"},
                   "sea_water_x_velocity",
                   false,
                   false,
                   false,
                   {"--level", "1", "--series"},
                   0,
                   1},
        ImportCase{"DescendingLatitude",
                   0,
                   "tyx",
                   {"u", "v"},
                   nullptr,
                   true,
                   false,
                   false,
                   {"--times", "2", "--steady"},
                   2,
                   0},
        ImportCase{"PackedLonLatTime",
                   NC_NETCDF4,
                   "xyt",
                   {"wind_u", "wind_v"},
                   nullptr,
                   false,
                   true,
                   false,
                   {"--u", "wind_u", "--v", "wind_v", "--times", "1:2", "--slice"},
                   1,
                   0},
        ImportCase{
            "MissingValues", 0, "tyx", {"u", "v"}, nullptr, false, false, true, {"--slice"}, 0, 0}),
    [](const auto& row) { return std::string(row.param.name); });

namespace
{
struct BadInput
{
    const char* file;
    std::vector<std::string> options;
    int code;
    const char* message;
};

class ImportRefuses : public ::testing::TestWithParam<BadInput>
{
};
} // namespace

// Each refusal names what is wrong and leaves no file behind, not even a partial one.
TEST_P(ImportRefuses, WithAMessageAndNoOutput)
{
    const BadInput& bad = GetParam();
    FieldFiles files;
    fs::create_directories(files.root / "out");
    writeField(files.path("good.nc").toStdString(),
               ImportCase{"", 0, "tyx", {"u", "v"}, nullptr, false, false, false, {}, 0, 0});
    {
        NetcdfFile shapes(files.path("shapes.nc").toStdString(), NC_CLOBBER);
        const int t = shapes.dimension("time", 2), y = shapes.dimension("lat", 3);
        shapes.variable("u", NC_FLOAT, {t, y, shapes.dimension("lon", 4)});
        shapes.variable("v", NC_FLOAT, {t, y, shapes.dimension("lon2", 5)});
        NetcdfFile curvilinear(files.path("curvilinear.nc").toStdString(), NC_CLOBBER | NC_NETCDF4);
        const int dims[] = {curvilinear.dimension("time", 2), curvilinear.dimension("y", 3),
                            curvilinear.dimension("x", 4)};
        for (const char* name : {"lat", "lon"})
            curvilinear.text(curvilinear.variable(name, NC_FLOAT, {dims[1], dims[2]}), "units",
                             name[1] == 'a' ? "degrees_north" : "degrees_east");
        for (const char* name : {"u", "v"})
            curvilinear.text(curvilinear.variable(name, NC_FLOAT, {dims[0], dims[1], dims[2]}),
                             "coordinates", "lon lat");
    }
    std::vector<char> good(fs::file_size(files.root / "good.nc"));
    std::ifstream(files.root / "good.nc", std::ios::binary)
        .read(good.data(), std::streamsize(good.size()));
    good.resize(good.size() - 4); // the last float
    files.binary("truncated.nc", good);
    files.text("text.nc", "time,u,v\n0,1,2\n");

    std::vector<std::string> words = {files.path(bad.file).toStdString()};
    for (const std::string& option : bad.options)
        words.push_back(option.rfind("out/", 0) == 0 ? files.path(option).toStdString() : option);
    std::ostringstream err;
    try
    {
        FieldImport::run(words, err);
        ADD_FAILURE() << "accepted";
    }
    catch (const BatchFailure& failure)
    {
        EXPECT_EQ(failure.exitCode, bad.code);
        EXPECT_NE(std::string(failure.what()).find(bad.message), std::string::npos)
            << failure.what();
    }
    EXPECT_TRUE(fs::is_empty(files.root / "out"));
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, ImportRefuses,
    ::testing::Values(
        BadInput{
            "good.nc",
            {"--u", "wind", "--slice", "out/f.dat"},
            1,
            "no variable 'wind'; its variables: time(time), lat(lat), lon(lon), u(time, lat, lon)"},
        BadInput{"shapes.nc", {"--slice", "out/f.dat"}, 1, "'u' and 'v' differ in shape"},
        BadInput{
            "curvilinear.nc", {"--series", "out/s"}, 1, "curvilinear grid (2-D coordinate 'lon')"},
        BadInput{"truncated.nc", {"--slice", "out/f.dat"}, 1, "truncated.nc: truncated"},
        BadInput{"text.nc", {"--steady", "out/f"}, 1, "text.nc: not a NetCDF file"},
        BadInput{"good.nc",
                 {"--times", "1:3", "--slice", "out/f.dat"},
                 1,
                 "time step 3 out of range: the field has 3 time step(s)"},
        BadInput{"good.nc", {"--level", "1", "--slice", "out/f.dat"}, 1, "level 1 out of range"},
        BadInput{"good.nc",
                 {"--times", "0:1", "--steady", "out/f"},
                 2,
                 "--steady writes one time step"}));
