#include "netcdf/netcdfField.h"

#include "data/dataManipulate.h"
#include "netcdf/fieldFailure.h"
#include "netcdf/progress.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <netcdf.h>
#include <sstream>

namespace
{
// CF standard names of (eastward, northward) components, then the usual variable names.
const char* const kStandardNames[][2] = {
    {"eastward_wind", "northward_wind"},
    {"sea_water_x_velocity", "sea_water_y_velocity"},
    {"eastward_sea_water_velocity", "northward_sea_water_velocity"},
    {"x_wind", "y_wind"}};
const char* const kUsualNames[][2] = {{"u", "v"}, {"uwnd", "vwnd"}};

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string attText(int ncid, int varid, const char* name)
{
    nc_type type;
    size_t length = 0;
    if (nc_inq_att(ncid, varid, name, &type, &length) != NC_NOERR || type != NC_CHAR)
        return {};
    std::string text(length, '\0');
    nc_get_att_text(ncid, varid, name, text.data());
    return std::string(text.c_str());
}

std::vector<double> attNumbers(int ncid, int varid, const char* name)
{
    nc_type type;
    size_t length = 0;
    if (nc_inq_att(ncid, varid, name, &type, &length) != NC_NOERR || type == NC_CHAR ||
        type == NC_STRING || length == 0)
        return {};
    std::vector<double> values(length);
    nc_get_att_double(ncid, varid, name, values.data());
    return values;
}

// The name a library inquiry (variable or dimension) writes.
std::string named(int (*inquire)(int, int, char*), int ncid, int id)
{
    char name[NC_MAX_NAME + 1] = {};
    inquire(ncid, id, name);
    return name;
}

std::string varName(int ncid, int varid)
{
    return named(nc_inq_varname, ncid, varid);
}

int varRank(int ncid, int varid)
{
    int ndims = 0;
    nc_inq_varndims(ncid, varid, &ndims);
    return ndims;
}

std::vector<int> varDims(int ncid, int varid)
{
    std::vector<int> dims(varRank(ncid, varid));
    nc_inq_vardimid(ncid, varid, dims.data());
    return dims;
}

std::string dimName(int ncid, int dimid)
{
    return named(nc_inq_dimname, ncid, dimid);
}

size_t dimLen(int ncid, int dimid)
{
    size_t length = 0;
    nc_inq_dimlen(ncid, dimid, &length);
    return length;
}

// "degrees_north", "degree_N", "degreesN", ... : the text after the degree word.
std::string degreeDirection(const std::string& units)
{
    std::string rest = lower(units);
    for (const char* word : {"degrees", "degree"})
        if (rest.rfind(word, 0) == 0)
        {
            rest.erase(0, std::strlen(word));
            if (!rest.empty() && rest[0] == '_')
                rest.erase(0, 1);
            return rest;
        }
    return {};
}

bool isLatitudeOrLongitude(int ncid, int varid)
{
    const std::string standard = attText(ncid, varid, "standard_name");
    const std::string direction = degreeDirection(attText(ncid, varid, "units"));
    return standard == "latitude" || standard == "longitude" || direction == "north" ||
           direction == "n" || direction == "east" || direction == "e";
}

// The role a dimension plays, from its coordinate variable's axis, units, positive and
// standard_name attributes, then from its name; -1 when nothing tells.
int roleFromCoordinate(int ncid, int dimid)
{
    const std::string name = dimName(ncid, dimid);
    int cv = -1;
    if (nc_inq_varid(ncid, name.c_str(), &cv) == NC_NOERR && varRank(ncid, cv) == 1 &&
        varDims(ncid, cv)[0] == dimid)
    {
        const std::string axis = lower(attText(ncid, cv, "axis"));
        const char* const axes = "tzyx";
        if (axis.size() == 1 && std::strchr(axes, axis[0]))
            return int(std::strchr(axes, axis[0]) - axes);
        const std::string units = lower(attText(ncid, cv, "units"));
        const std::string direction = degreeDirection(units);
        if (units.find(" since ") != std::string::npos)
            return 0;
        if (direction == "north" || direction == "n")
            return 2;
        if (direction == "east" || direction == "e")
            return 3;
        const char* const pressures[] = {"pa", "hpa", "kpa", "mbar", "millibar", "bar"};
        int type = 0;
        size_t length = 0;
        if (std::find(std::begin(pressures), std::end(pressures), units) != std::end(pressures) ||
            nc_inq_att(ncid, cv, "positive", &type, &length) == NC_NOERR)
            return 1;
        const std::string standard = attText(ncid, cv, "standard_name");
        if (standard == "time")
            return 0;
        if (standard == "latitude" || standard == "projection_y_coordinate")
            return 2;
        if (standard == "longitude" || standard == "projection_x_coordinate")
            return 3;
    }
    const std::string key = lower(name);
    for (const auto& [role, names] :
         {std::pair{0, "|time|t|"}, std::pair{1, "|lev|level|plev|z|depth|height|pressure|"},
          std::pair{2, "|lat|latitude|y|"}, std::pair{3, "|lon|longitude|x|"}})
        if (std::strstr(names, ("|" + key + "|").c_str()))
            return role;
    return -1;
}

std::uintmax_t padded(std::uintmax_t bytes)
{
    return (bytes + 3) / 4 * 4;
}

std::uintmax_t typeSize(int ncid, nc_type type)
{
    size_t bytes = 0;
    nc_inq_type(ncid, type, nullptr, &bytes);
    return bytes;
}

// The size of a classic-format file from what its header declares: the header itself (counted
// field by field as the format lays it out) and every variable's data. Larger alignments a
// writer may choose only add to it, so this is a lower bound.
std::uintmax_t classicFileSize(int ncid, int format)
{
    const std::uintmax_t count = format == NC_FORMAT_CDF5 ? 8 : 4; // nelems, lengths, sizes
    const auto name = [&](const std::string& text) { return count + padded(text.size()); };
    const auto attributes = [&](int varid)
    {
        int natts = 0;
        nc_inq_varnatts(ncid, varid, &natts);
        std::uintmax_t bytes = 4 + count;
        for (int a = 0; a < natts; ++a)
        {
            char attName[NC_MAX_NAME + 1] = {};
            nc_type type;
            size_t length = 0;
            nc_inq_attname(ncid, varid, a, attName);
            nc_inq_att(ncid, varid, attName, &type, &length);
            bytes += name(attName) + 4 + count + padded(length * typeSize(ncid, type));
        }
        return bytes;
    };
    int ndims = 0, nvars = 0, unlimited = -1;
    nc_inq_unlimdim(ncid, &unlimited);
    nc_inq_ndims(ncid, &ndims);
    nc_inq_nvars(ncid, &nvars);
    std::uintmax_t bytes = 4 + count + 4 + count + attributes(NC_GLOBAL) + 4 + count;
    for (int d = 0; d < ndims; ++d)
        bytes += name(dimName(ncid, d)) + count;
    for (int id = 0; id < nvars; ++id)
    {
        nc_type type;
        nc_inq_vartype(ncid, id, &type);
        const std::vector<int> dims = varDims(ncid, id);
        bytes += name(varName(ncid, id)) + count + count * dims.size() + attributes(id) + 4 +
                 count + (format == NC_FORMAT_CLASSIC ? 4 : 8);
        std::uintmax_t data = typeSize(ncid, type);
        for (const int dim : dims)
            data *= dimLen(ncid, dim);
        // A lone record variable is stored unpadded.
        bytes += !dims.empty() && dims[0] == unlimited ? data : padded(data);
    }
    return bytes;
}
} // namespace

NetcdfField::NetcdfField(const std::string& file, const Selection& selection)
    : path(file), level(selection.level), allLevels(selection.allLevels)
{
    if (!std::filesystem::is_regular_file(path))
        throw FieldFailure::badInput(path + ": no such file");
    if (!looksLikeNetcdf(path))
        throw FieldFailure::badInput(path + ": not a NetCDF file");
    const int status = nc_open(path.c_str(), NC_NOWRITE, &ncid);
    if (status != NC_NOERR)
    {
        ncid = -1;
        throw FieldFailure::badInput(path + ": not a readable NetCDF file (" + nc_strerror(status) +
                                     ")");
    }
    refuseTruncated();
    findVariables(selection);
    findDimensions();
    refuseCurvilinear();
    readPacking(0);
    readPacking(1);
    velocityUnits = attText(ncid, varid[0], "units");
}

NetcdfField::~NetcdfField()
{
    if (ncid >= 0)
        nc_close(ncid);
}

bool NetcdfField::looksLikeNetcdf(const std::string& file)
{
    char magic[4] = {};
    std::ifstream(file, std::ios::binary).read(magic, 4);
    return (std::memcmp(magic, "CDF", 3) == 0 &&
            (magic[3] == 1 || magic[3] == 2 || magic[3] == 5)) ||
           std::memcmp(magic, "\x89HDF", 4) == 0;
}

std::vector<std::string> NetcdfField::fieldVariables(const std::string& file)
{
    int id = -1;
    if (!looksLikeNetcdf(file) || nc_open(file.c_str(), NC_NOWRITE, &id) != NC_NOERR)
        return {};
    int count = 0;
    nc_inq_nvars(id, &count);
    std::vector<std::string> found;
    for (int var = 0; var < count; ++var)
    {
        nc_type type;
        nc_inq_vartype(id, var, &type);
        if (varRank(id, var) >= 2 && type != NC_CHAR && type < NC_STRING)
            found.push_back(varName(id, var));
    }
    nc_close(id);
    return found;
}

void NetcdfField::fail(const std::string& what) const
{
    throw FieldFailure::badInput(path + ": " + what);
}

std::string NetcdfField::variableList() const
{
    int count = 0;
    nc_inq_nvars(ncid, &count);
    std::string list;
    for (int id = 0; id < count; ++id)
    {
        list += (id ? ", " : "") + varName(ncid, id) + "(";
        const std::vector<int> dims = varDims(ncid, id);
        for (std::size_t k = 0; k < dims.size(); ++k)
            list += (k ? ", " : "") + dimName(ncid, dims[k]);
        list += ")";
    }
    return list.empty() ? "none" : list;
}

// The classic formats read the missing bytes of a cut-off file as zeros, without an error: a
// file shorter than its header and its variables' data is refused.
void NetcdfField::refuseTruncated() const
{
    int format = 0;
    nc_inq_format(ncid, &format);
    if (format != NC_FORMAT_CLASSIC && format != NC_FORMAT_64BIT_OFFSET && format != NC_FORMAT_CDF5)
        return;
    const std::uintmax_t needed = classicFileSize(ncid, format);
    const std::uintmax_t held = std::filesystem::file_size(path);
    if (held < needed)
        fail("truncated: " + std::to_string(held) + " bytes, but its header and data need " +
             std::to_string(needed));
}

void NetcdfField::findVariables(const Selection& selection)
{
    int count = 0;
    nc_inq_nvars(ncid, &count);
    const std::string given[2] = {selection.u, selection.v};
    for (int c = 0; c < 2; ++c)
    {
        if (!given[c].empty())
        {
            if (nc_inq_varid(ncid, given[c].c_str(), &varid[c]) != NC_NOERR)
                fail("no variable '" + given[c] + "'; its variables: " + variableList());
        }
        for (const auto& pair : kStandardNames)
            for (int id = 0; id < count && varid[c] < 0; ++id)
                if (varRank(ncid, id) >= 2 && attText(ncid, id, "standard_name") == pair[c])
                    varid[c] = id;
        for (const auto& pair : kUsualNames)
            for (int id = 0; id < count && varid[c] < 0; ++id)
                if (varRank(ncid, id) >= 2 && lower(varName(ncid, id)) == pair[c])
                    varid[c] = id;
        if (varid[c] < 0)
            fail(std::string("no ") + (c ? "northward" : "eastward") +
                 " velocity found (give --u and --v); its variables: " + variableList());
        names[c] = varName(ncid, varid[c]);
        nc_type type;
        nc_inq_vartype(ncid, varid[c], &type);
        if (type == NC_CHAR || type == NC_STRING || type > NC_STRING)
            fail("variable '" + names[c] + "' does not hold numbers");
    }
}

void NetcdfField::findDimensions()
{
    const std::vector<int> dims = varDims(ncid, varid[0]);
    const std::vector<int> dimsV = varDims(ncid, varid[1]);
    rank = int(dims.size());
    bool sameShape = dims.size() == dimsV.size();
    for (std::size_t k = 0; sameShape && k < dims.size(); ++k)
        sameShape = dimLen(ncid, dims[k]) == dimLen(ncid, dimsV[k]);
    if (!sameShape)
        fail("'" + names[0] + "' and '" + names[1] + "' differ in shape");
    if (rank < 2 || rank > 4)
        fail("'" + names[0] + "' has " + std::to_string(rank) +
             " dimensions; (time, level, y, x) holds at most four and at least two");
    std::vector<int> unknown;
    for (int p = 0; p < rank; ++p)
    {
        const int role = roleFromCoordinate(ncid, dims[p]);
        if (role < 0)
            unknown.push_back(p);
        else if (dimOfRole[role] >= 0)
            fail("cannot tell the dimensions of '" + names[0] + "': both '" +
                 dimName(ncid, dims[dimOfRole[role]]) + "' and '" + dimName(ncid, dims[p]) +
                 "' look like the same axis");
        else
            dimOfRole[role] = p;
    }
    // Dimensions nothing tells about take the free roles in the usual (time, level, y, x)
    // order; a level is assumed only when four dimensions need it, then a time.
    std::vector<int> free;
    for (int role = 0; role < kRoles; ++role)
        if (dimOfRole[role] < 0)
            free.push_back(role);
    for (const int optional : {int(kLevel), int(kTime)})
        if (free.size() > unknown.size())
            free.erase(std::remove(free.begin(), free.end(), optional), free.end());
    for (std::size_t k = 0; k < unknown.size() && k < free.size(); ++k)
        dimOfRole[free[k]] = unknown[k];
    if (dimOfRole[kY] < 0 || dimOfRole[kX] < 0)
        fail("cannot tell the y and x dimensions of '" + names[0] + "'");
    for (int role = 0; role < kRoles; ++role)
        if (dimOfRole[role] >= 0)
        {
            const size_t length = dimLen(ncid, dims[dimOfRole[role]]);
            if (length == 0 || length > size_t(1) << 30)
                fail("dimension '" + dimName(ncid, dims[dimOfRole[role]]) + "' has " +
                     std::to_string(length) + " entries");
            dimLength[role] = int(length);
        }
    if (std::int64_t(width()) * height() * levels() > DataManipulate::kMaxSamples)
        fail("'" + names[0] + "' holds too many samples per time step");
    if (!allLevels && (level < 0 || level >= dimLength[kLevel]))
        fail("level " + std::to_string(level) + " out of range: '" + names[0] + "' has " +
             std::to_string(dimLength[kLevel]) + " level(s), 0 to " +
             std::to_string(dimLength[kLevel] - 1));
    // North up: a descending latitude or y coordinate is read from its last row.
    int cv = -1;
    const std::string yName = dimName(ncid, dims[dimOfRole[kY]]);
    if (height() >= 2 && nc_inq_varid(ncid, yName.c_str(), &cv) == NC_NOERR &&
        varRank(ncid, cv) == 1)
    {
        double ends[2] = {0.0, 0.0};
        const size_t first = 0, last = size_t(height() - 1), one = 1;
        nc_get_vara_double(ncid, cv, &first, &one, &ends[0]);
        nc_get_vara_double(ncid, cv, &last, &one, &ends[1]);
        flipY = ends[0] > ends[1];
    }
}

void NetcdfField::refuseCurvilinear() const
{
    std::istringstream coordinates(attText(ncid, varid[0], "coordinates"));
    std::string name;
    int cv = -1;
    while (coordinates >> name)
        if (nc_inq_varid(ncid, name.c_str(), &cv) == NC_NOERR && varRank(ncid, cv) >= 2)
            fail("'" + names[0] + "' lies on a curvilinear grid (2-D coordinate '" + name +
                 "'); only grids with 1-D x and y coordinates can be read");
    // Also 2-D latitudes or longitudes over the variable's own dimensions (bounds variables
    // have a dimension of their own and do not count).
    const std::vector<int> dims = varDims(ncid, varid[0]);
    const auto onGrid = [&](int id)
    {
        const std::vector<int> own = varDims(ncid, id);
        return own.size() >= 2 &&
               std::all_of(own.begin(), own.end(),
                           [&](int d)
                           { return std::find(dims.begin(), dims.end(), d) != dims.end(); });
    };
    int count = 0;
    nc_inq_nvars(ncid, &count);
    for (int id = 0; id < count; ++id)
        if (id != varid[0] && id != varid[1] && onGrid(id) && isLatitudeOrLongitude(ncid, id))
            fail("'" + names[0] + "' lies on a curvilinear grid (2-D coordinate '" +
                 varName(ncid, id) + "'); only grids with 1-D x and y coordinates can be read");
}

void NetcdfField::readPacking(int c)
{
    Packing& p = packing[c];
    const std::vector<double> scale = attNumbers(ncid, varid[c], "scale_factor");
    const std::vector<double> offset = attNumbers(ncid, varid[c], "add_offset");
    p.scale = scale.empty() ? 1.0 : scale[0];
    p.offset = offset.empty() ? 0.0 : offset[0];
    p.missingValues = attNumbers(ncid, varid[c], "_FillValue");
    nc_type type;
    nc_inq_vartype(ncid, varid[c], &type);
    // Unwritten floating-point samples hold the library's default fill.
    if (p.missingValues.empty() && (type == NC_FLOAT || type == NC_DOUBLE))
        p.missingValues.push_back(type == NC_FLOAT ? double(NC_FILL_FLOAT) : NC_FILL_DOUBLE);
    for (const double value : attNumbers(ncid, varid[c], "missing_value"))
        p.missingValues.push_back(value);
}

bool NetcdfField::isMissing(int c, double value) const
{
    const std::vector<double>& values = packing[c].missingValues;
    return std::isnan(value) || std::find(values.begin(), values.end(), value) != values.end();
}

void NetcdfField::readStep(int t, double factor, std::vector<float2>& samples)
{
    if (t < 0 || t >= steps())
        fail("time step " + std::to_string(t) + " out of range");
    size_t start[4] = {}, count[4] = {};
    for (int role = 0; role < kRoles; ++role)
    {
        const int p = dimOfRole[role];
        if (p < 0)
            continue;
        start[p] = role == kTime ? size_t(t) : role == kLevel && !allLevels ? size_t(level) : 0;
        count[p] = role == kTime || (role == kLevel && !allLevels) ? 1 : size_t(dimLength[role]);
    }
    std::int64_t stride[kRoles] = {0, 0, 0, 0};
    std::int64_t product = 1;
    for (int p = rank - 1; p >= 0; --p)
    {
        for (int role = 0; role < kRoles; ++role)
            if (dimOfRole[role] == p)
                stride[role] = product;
        product *= std::int64_t(count[p]);
    }
    for (int c = 0; c < 2; ++c)
    {
        buffer[c].resize(std::size_t(product));
        const int status = nc_get_vara_double(ncid, varid[c], start, count, buffer[c].data());
        if (status != NC_NOERR)
            fail("cannot read '" + names[c] + "' at time step " + std::to_string(t) + " (" +
                 nc_strerror(status) + ")");
    }
    const int w = width(), h = height(), l = levels();
    samples.resize(std::size_t(product));
    std::size_t out = 0;
    for (int s = 0; s < l; ++s)
        for (int j = 0; j < h; ++j)
        {
            const int row = flipY ? h - 1 - j : j;
            for (int i = 0; i < w; ++i, ++out)
            {
                const std::int64_t k = s * stride[kLevel] + row * stride[kY] + i * stride[kX];
                const double u = buffer[0][k], v = buffer[1][k];
                if (isMissing(0, u) || isMissing(1, v))
                {
                    samples[out] = makeFloat2(0.0f, 0.0f);
                    ++missing;
                    continue;
                }
                const double x = (u * packing[0].scale + packing[0].offset) * factor;
                const double y = (v * packing[1].scale + packing[1].offset) * factor;
                if (!(std::abs(x) <= FLT_MAX && std::abs(y) <= FLT_MAX))
                    fail("a velocity at time step " + std::to_string(t) +
                         " is beyond what a float holds");
                samples[out] = makeFloat2(float(x), float(y));
            }
        }
    read += std::int64_t(samples.size());
}

// The percentile comes from a histogram over the top 16 bits of the speeds' float
// representation, which orders positive floats: 1/128 relative resolution in little memory.
double NetcdfField::defaultScale()
{
    const std::int64_t missingBefore = missing, readBefore = read;
    std::vector<std::uint64_t> bins(std::size_t(1) << 16, 0);
    std::uint64_t total = 0;
    std::vector<float2> samples;
    Progress progress("scale", steps());
    for (int t = 0; t < steps(); ++t)
    {
        readStep(t, 1.0, samples);
        for (const float2& s : samples)
        {
            const float speed = std::sqrt(s.x * s.x + s.y * s.y);
            if (speed > 0.0f && std::isfinite(speed))
            {
                ++bins[std::bit_cast<std::uint32_t>(speed) >> 16];
                ++total;
            }
        }
        progress.show(t + 1);
    }
    missing = missingBefore;
    read = readBefore;
    if (total == 0)
        return 1.0;
    const std::uint64_t rank95 = (total * 95 + 99) / 100;
    std::uint64_t sum = 0;
    std::uint32_t bin = 0;
    while ((sum += bins[bin]) < rank95)
        ++bin;
    const float speed95 = std::bit_cast<float>((bin << 16) | 0x8000u);
    return kDefaultFieldSpeed95 / speed95;
}
