#include "netcdf/netcdfField.h"

#include "common/inputFile.h"
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
#include <optional>
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

bool hasAttribute(int ncid, int varid, const char* name)
{
    return nc_inq_attid(ncid, varid, name, nullptr) == NC_NOERR;
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

// A value as a variable of the type stores it: a float attribute compared with float data must
// be rounded to float first, or 1e20 never matches the 1.00000002e20 the data holds.
double inType(nc_type type, double value)
{
    switch (type)
    {
    case NC_FLOAT:
        return double(float(value));
    case NC_DOUBLE:
        return value;
    default:
        return std::nearbyint(value);
    }
}

// The library's fill for unwritten samples of an integer or floating-point type. Bytes have
// none by convention: every byte value may be data.
std::optional<double> defaultFill(nc_type type)
{
    switch (type)
    {
    case NC_SHORT:
        return NC_FILL_SHORT;
    case NC_USHORT:
        return NC_FILL_USHORT;
    case NC_INT:
        return NC_FILL_INT;
    case NC_UINT:
        return NC_FILL_UINT;
    case NC_INT64:
        return double(NC_FILL_INT64);
    case NC_UINT64:
        return double(NC_FILL_UINT64);
    case NC_FLOAT:
        return double(NC_FILL_FLOAT);
    case NC_DOUBLE:
        return NC_FILL_DOUBLE;
    default:
        return std::nullopt;
    }
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
        // Saturates instead of wrapping: a header declaring more than any file holds is
        // refused as truncated.
        std::uintmax_t data = typeSize(ncid, type);
        for (const int dim : dims)
        {
            const std::uintmax_t length = dimLen(ncid, dim);
            data = length != 0 && data > UINTMAX_MAX / 8 / length ? UINTMAX_MAX / 8 : data * length;
        }
        // A lone record variable is stored unpadded.
        bytes += !dims.empty() && dims[0] == unlimited ? data : padded(data);
        bytes = std::min(bytes, UINTMAX_MAX / 8);
    }
    return bytes;
}
} // namespace

NetcdfField::NetcdfField(const std::string& file, const Selection& selection)
    : path(file), level(selection.level), allLevels(selection.allLevels)
{
    const InputFile input(path);
    if (!input.usable())
        throw FieldFailure::badInput(path + ": " + input.problem);
    if (!looksLikeNetcdf(path))
        throw FieldFailure::badInput(path + ": not a NetCDF file (it does not start with a " +
                                     "NetCDF or HDF5 signature)");
    const int status = nc_open(path.c_str(), NC_NOWRITE, &ncid);
    if (status != NC_NOERR)
    {
        ncid = -1;
        // Positive codes are system errors the library met while decoding a damaged header;
        // their own texts ("Argument list too long") would mislead.
        throw FieldFailure::badInput(
            path + ": not a readable NetCDF file (" +
            (status > 0 ? std::string("its header is damaged") : std::string(nc_strerror(status))) +
            ")");
    }
    refuseTruncated();
    findVariables(selection);
    findLayout(0);
    findLayout(1);
    refuseDifferentGrids();
    orient(0);
    orient(1);
    refuseCurvilinear();
    readPacking(0);
    readPacking(1);
    velocityUnits = attText(ncid, varid[0], "units");
    const std::string unitsV = attText(ncid, varid[1], "units");
    if (velocityUnits != unitsV)
        notices.push_back("'" + names[0] + "' is in '" + velocityUnits + "' but '" + names[1] +
                          "' in '" + unitsV + "': are they the two components of one velocity?");
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
        nc_inq_vartype(ncid, varid[c], &types[c]);
        if (types[c] == NC_CHAR || types[c] == NC_STRING || types[c] > NC_STRING)
            fail("variable '" + names[c] + "' does not hold numbers");
    }
}

// The roles of one variable's own dimensions: u and v may order or name theirs differently.
void NetcdfField::findLayout(int c)
{
    Layout& layout = layouts[c];
    layout.dims = varDims(ncid, varid[c]);
    const int rank = int(layout.dims.size());
    if (rank < 2 || rank > 4)
        fail("'" + names[c] + "' has " + std::to_string(rank) +
             " dimensions; (time, level, y, x) holds at most four and at least two");
    std::vector<int> unknown;
    for (int p = 0; p < rank; ++p)
    {
        const int role = roleFromCoordinate(ncid, layout.dims[p]);
        if (role < 0)
            unknown.push_back(p);
        else if (layout.dimOfRole[role] >= 0)
            fail("cannot tell the dimensions of '" + names[c] + "': both '" +
                 dimName(ncid, layout.dims[layout.dimOfRole[role]]) + "' and '" +
                 dimName(ncid, layout.dims[p]) + "' look like the same axis");
        else
            layout.dimOfRole[role] = p;
    }
    // Dimensions nothing tells about take the free roles in the usual (time, level, y, x)
    // order; a level is assumed only when four dimensions need it, then a time.
    std::vector<int> free;
    for (int role = 0; role < kRoles; ++role)
        if (layout.dimOfRole[role] < 0)
            free.push_back(role);
    for (const int optional : {int(kLevel), int(kTime)})
        if (free.size() > unknown.size())
            free.erase(std::remove(free.begin(), free.end(), optional), free.end());
    for (std::size_t k = 0; k < unknown.size() && k < free.size(); ++k)
        layout.dimOfRole[free[k]] = unknown[k];
    if (layout.dimOfRole[kY] < 0 || layout.dimOfRole[kX] < 0)
        fail("cannot tell the y and x dimensions of '" + names[c] + "'");
    for (int role = 0; role < kRoles; ++role)
        if (layout.dimOfRole[role] >= 0)
        {
            const int dim = layout.dims[layout.dimOfRole[role]];
            const size_t length = dimLen(ncid, dim);
            if (length == 0 || length > size_t(1) << 30)
                fail("dimension '" + dimName(ncid, dim) + "' has " + std::to_string(length) +
                     " entries");
            layout.length[role] = int(length);
        }
}

std::string NetcdfField::shape(int c) const
{
    const char* const roleNames[] = {"time", "level", "y", "x"};
    std::string text = names[c] + "(";
    for (int role = 0; role < kRoles; ++role)
        if (layouts[c].dimOfRole[role] >= 0)
            text += std::string(text.back() == '(' ? "" : ", ") + roleNames[role] + " '" +
                    dimName(ncid, layouts[c].dims[layouts[c].dimOfRole[role]]) + "' " +
                    std::to_string(layouts[c].length[role]);
    return text + ")";
}

void NetcdfField::refuseDifferentGrids()
{
    for (int role = 0; role < kRoles; ++role)
        if (layouts[0].length[role] != layouts[1].length[role])
            fail("'" + names[0] + "' and '" + names[1] +
                 "' differ in shape and cannot be put on one grid: " + shape(0) + " against " +
                 shape(1));
    std::copy(std::begin(layouts[0].length), std::end(layouts[0].length), dimLength);
    // Each factor is at most 2^30, so no partial product overflows.
    const std::int64_t plane = std::int64_t(width()) * height();
    if (plane > DataManipulate::kMaxSamples || plane * levels() > DataManipulate::kMaxSamples)
        fail("'" + names[0] + "' holds too many samples per time step");
    if (!allLevels && (level < 0 || level >= dimLength[kLevel]))
        fail("level " + std::to_string(level) + " out of range: '" + names[0] + "' has " +
             std::to_string(dimLength[kLevel]) + " level(s), 0 to " +
             std::to_string(dimLength[kLevel] - 1));
}

// North up and east right: a descending y or x coordinate is read from its far end. A
// coordinate that neither rises nor falls throughout has no order to put the samples in.
void NetcdfField::orient(int c)
{
    Layout& layout = layouts[c];
    for (const int role : {int(kY), int(kX)})
    {
        const int dim = layout.dims[layout.dimOfRole[role]];
        const std::string name = dimName(ncid, dim);
        int cv = -1;
        const size_t length = size_t(layout.length[role]);
        if (length < 2 || nc_inq_varid(ncid, name.c_str(), &cv) != NC_NOERR ||
            varRank(ncid, cv) != 1 || varDims(ncid, cv)[0] != dim)
            continue;
        int direction = 0;
        double previous = 0.0;
        std::vector<double> values;
        for (size_t start = 0; start < length; start += kBlockSamples)
        {
            const size_t count = std::min<size_t>(kBlockSamples, length - start);
            values.resize(count);
            if (nc_get_vara_double(ncid, cv, &start, &count, values.data()) != NC_NOERR)
                fail("cannot read the coordinate '" + name + "'");
            for (size_t k = 0; k < count; ++k)
            {
                const double step = values[k] - previous;
                const int sign = step > 0 ? 1 : step < 0 ? -1 : 0;
                if (start + k > 0 && (sign == 0 || (direction != 0 && sign != direction)))
                    fail("the coordinate '" + name + "' of '" + names[c] +
                         "' is not monotonic: its samples have no order");
                if (start + k > 0)
                    direction = sign;
                previous = values[k];
            }
        }
        layout.flip[role] = direction < 0;
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
    const std::vector<int>& dims = layouts[0].dims;
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

// The numbers of attribute name of component c, refused when they are text; with one set, a
// single finite number.
std::vector<double> NetcdfField::numbers(int c, const char* name, bool single) const
{
    nc_type type;
    size_t length = 0;
    if (nc_inq_att(ncid, varid[c], name, &type, &length) != NC_NOERR)
        return {};
    const std::string what = "the attribute '" + std::string(name) + "' of '" + names[c] + "'";
    if (type == NC_CHAR || type == NC_STRING)
        fail(what + " is text, not a number");
    const std::vector<double> values = attNumbers(ncid, varid[c], name);
    if (single && values.size() != 1)
        fail(what + " holds " + std::to_string(values.size()) + " values, not one");
    if (single && !std::isfinite(values[0]))
        fail(what + " is not a finite number");
    return values;
}

void NetcdfField::readPacking(int c)
{
    Packing& p = packing[c];
    const std::vector<double> scale = numbers(c, "scale_factor", true);
    const std::vector<double> offset = numbers(c, "add_offset", true);
    p.scale = scale.empty() ? 1.0 : scale[0];
    p.offset = offset.empty() ? 0.0 : offset[0];
    if (p.scale == 0.0)
        fail("the attribute 'scale_factor' of '" + names[c] +
             "' is 0: every velocity would be the same");
    // Fill, missing and valid bounds are compared with the data as its own type stores them.
    p.missingValues.clear();
    for (const char* name : {"_FillValue", "missing_value"})
        for (const double value : numbers(c, name, false))
            p.missingValues.push_back(inType(types[c], value));
    if (!hasAttribute(ncid, varid[c], "_FillValue"))
        if (const std::optional<double> fill = defaultFill(types[c]))
            p.missingValues.push_back(*fill);
    const std::vector<double> range = numbers(c, "valid_range", false);
    if (!range.empty() && range.size() != 2)
        fail("the attribute 'valid_range' of '" + names[c] + "' holds " +
             std::to_string(range.size()) + " values, not two");
    const std::vector<double> low = numbers(c, "valid_min", true);
    const std::vector<double> high = numbers(c, "valid_max", true);
    p.validMin = !low.empty()    ? inType(types[c], low[0])
                 : range.empty() ? -HUGE_VAL
                                 : inType(types[c], range[0]);
    p.validMax = !high.empty()   ? inType(types[c], high[0])
                 : range.empty() ? HUGE_VAL
                                 : inType(types[c], range[1]);
}

bool NetcdfField::isMissing(int c, double value) const
{
    const Packing& p = packing[c];
    return std::isnan(value) || value < p.validMin || value > p.validMax ||
           std::find(p.missingValues.begin(), p.missingValues.end(), value) !=
               p.missingValues.end();
}

// One hyperslab of component c: step t, level s, file rows [row, row + rows) and columns
// [column, column + columns), into buffer[c]; the strides of y and x in it are returned.
std::pair<std::int64_t, std::int64_t> NetcdfField::readSlab(int c, int t, int s, int row, int rows,
                                                            int column, int columns)
{
    const Layout& layout = layouts[c];
    const int rank = int(layout.dims.size());
    size_t start[4] = {}, count[4] = {};
    const size_t starts[kRoles] = {size_t(t), size_t(allLevels ? s : level), size_t(row),
                                   size_t(column)};
    const size_t counts[kRoles] = {1, 1, size_t(rows), size_t(columns)};
    for (int role = 0; role < kRoles; ++role)
        if (layout.dimOfRole[role] >= 0)
        {
            start[layout.dimOfRole[role]] = starts[role];
            count[layout.dimOfRole[role]] = counts[role];
        }
    std::int64_t stride[4] = {};
    std::int64_t product = 1;
    for (int p = rank - 1; p >= 0; --p)
    {
        stride[p] = product;
        product *= std::int64_t(count[p]);
    }
    buffer[c].resize(std::size_t(product));
    const int status = nc_get_vara_double(ncid, varid[c], start, count, buffer[c].data());
    if (status != NC_NOERR)
        fail("cannot read '" + names[c] + "' at time step " + std::to_string(t) + " (" +
             nc_strerror(status) + ")");
    return {stride[layout.dimOfRole[kY]], stride[layout.dimOfRole[kX]]};
}

void NetcdfField::readBlock(int t, int s, int row, int rows, int column, int columns, double factor,
                            float2* out)
{
    if (t < 0 || t >= steps())
        fail("time step " + std::to_string(t) + " out of range");
    std::pair<std::int64_t, std::int64_t> strides[2];
    for (int c = 0; c < 2; ++c)
    {
        const bool* flip = layouts[c].flip;
        strides[c] = readSlab(c, t, s, flip[kY] ? height() - row - rows : row, rows,
                              flip[kX] ? width() - column - columns : column, columns);
    }
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i, ++out)
        {
            double value[2];
            for (int c = 0; c < 2; ++c)
            {
                const bool* flip = layouts[c].flip;
                value[c] = buffer[c][(flip[kY] ? rows - 1 - j : j) * strides[c].first +
                                     (flip[kX] ? columns - 1 - i : i) * strides[c].second];
            }
            if (isMissing(0, value[0]) || isMissing(1, value[1]))
            {
                *out = makeFloat2(0.0f, 0.0f);
                ++missing;
                continue;
            }
            const double x = (value[0] * packing[0].scale + packing[0].offset) * factor;
            const double y = (value[1] * packing[1].scale + packing[1].offset) * factor;
            if (!(std::abs(x) <= FLT_MAX && std::abs(y) <= FLT_MAX))
                fail("a velocity at time step " + std::to_string(t) +
                     " is beyond what a float holds");
            *out = makeFloat2(float(x), float(y));
        }
    read += std::int64_t(rows) * columns;
}

void NetcdfField::readStepInBlocks(int t, double factor, const BlockSink& take)
{
    const int w = width(), h = height();
    // Whole rows while they fit a block, else one row in pieces.
    const int rowsPerBlock = std::max(1, int(std::min<std::int64_t>(h, kBlockSamples / w)));
    const int columnsPerBlock = int(std::min<std::int64_t>(w, kBlockSamples));
    for (int s = 0; s < levels(); ++s)
        for (int row = 0; row < h; row += rowsPerBlock)
        {
            const int rows = std::min(rowsPerBlock, h - row);
            for (int column = 0; column < w; column += columnsPerBlock)
            {
                const int columns = std::min(columnsPerBlock, w - column);
                block.resize(std::size_t(rows) * columns);
                readBlock(t, s, row, rows, column, columns, factor, block.data());
                take(block.data(), block.size());
            }
        }
}

// The percentile comes from a histogram over the top 16 bits of the speeds' float
// representation, which orders positive floats: 1/128 relative resolution in little memory.
double NetcdfField::defaultScale(int first, int last)
{
    const std::int64_t missingBefore = missing, readBefore = read;
    std::vector<std::uint64_t> bins(std::size_t(1) << 16, 0);
    std::uint64_t total = 0;
    Progress progress("scale", last - first + 1);
    for (int t = first; t <= last; ++t)
    {
        readStepInBlocks(t, 1.0,
                         [&](const float2* values, std::size_t count)
                         {
                             for (std::size_t k = 0; k < count; ++k)
                             {
                                 // In double, so that speeds near the float limit still count.
                                 const double sx = values[k].x, sy = values[k].y;
                                 const float speed =
                                     float(std::min(std::sqrt(sx * sx + sy * sy), double(FLT_MAX)));
                                 if (speed > 0.0f)
                                 {
                                     ++bins[std::bit_cast<std::uint32_t>(speed) >> 16];
                                     ++total;
                                 }
                             }
                         });
        progress.show(t - first + 1);
    }
    const bool noData = missing - missingBefore == read - readBefore;
    missing = missingBefore;
    read = readBefore;
    if (noData)
        refuseNoData();
    speed95 = 0.0;
    if (total == 0)
        return 1.0;
    const std::uint64_t rank95 = (total * 95 + 99) / 100;
    std::uint64_t sum = 0;
    std::uint32_t bin = 0;
    while ((sum += bins[bin]) < rank95)
        ++bin;
    speed95 = std::bit_cast<float>((bin << 16) | 0x8000u);
    return kDefaultFieldSpeed95 / speed95;
}

void NetcdfField::refuseNoData() const
{
    fail("'" + names[0] + "' and '" + names[1] +
         "' hold no data in the time steps read: every sample is missing");
}

void NetcdfField::refuseIfNoData() const
{
    if (missing == read)
        refuseNoData();
}
