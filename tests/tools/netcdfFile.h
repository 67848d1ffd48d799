// Writes small NetCDF files with the C library, in classic or netCDF-4 format: dimensions,
// variables, attributes and values. Any library error is thrown.
#pragma once

#include "data/dataManipulate.h"

#include <netcdf.h>
#include <stdexcept>
#include <string>
#include <vector>

class NetcdfFile
{
public:
    NetcdfFile(const std::string& path, int mode) { check(nc_create(path.c_str(), mode, &id)); }
    ~NetcdfFile() { close(); }
    NetcdfFile(const NetcdfFile&) = delete;
    NetcdfFile& operator=(const NetcdfFile&) = delete;

    int dimension(const char* name, size_t length)
    {
        int dim = -1;
        check(nc_def_dim(id, name, length, &dim));
        return dim;
    }
    int variable(const char* name, nc_type type, const std::vector<int>& dims)
    {
        int var = -1;
        check(nc_def_var(id, name, type, int(dims.size()), dims.data(), &var));
        return var;
    }
    void text(int var, const char* name, const std::string& value)
    {
        check(nc_put_att_text(id, var, name, value.size(), value.c_str()));
    }
    void number(int var, const char* name, nc_type type, double value)
    {
        check(nc_put_att_double(id, var, name, type, 1, &value));
    }
    // Values in the variable's own order; the first call ends the definitions.
    void put(int var, const std::vector<double>& values)
    {
        defined();
        check(nc_put_var_double(id, var, values.data()));
    }
    void putFloats(int var, const size_t* start, const size_t* count, const float* values)
    {
        defined();
        check(nc_put_vara_float(id, var, start, count, values));
    }
    void close()
    {
        if (id >= 0)
            nc_close(id);
        id = -1;
    }

private:
    static void check(int status)
    {
        if (status != NC_NOERR)
            throw std::runtime_error(nc_strerror(status));
    }
    void defined()
    {
        if (!inData)
            check(nc_enddef(id));
        inData = true;
    }

    int id = -1;
    bool inData = false;
};

// A field as a NetCDF wind: u and v over (time, lat, lon) with CF attributes, in m s-1.
inline void writeWindNetcdf(const std::string& path, const DataManipulate& field)
{
    const int3 size = field.flowFieldSize;
    NetcdfFile file(path, NC_CLOBBER | NC_64BIT_OFFSET);
    const int dims[] = {file.dimension("time", size_t(size.z)),
                        file.dimension("lat", size_t(size.y)),
                        file.dimension("lon", size_t(size.x))};
    const int lat = file.variable("lat", NC_FLOAT, {dims[1]});
    const int lon = file.variable("lon", NC_FLOAT, {dims[2]});
    file.text(lat, "units", "degrees_north");
    file.text(lon, "units", "degrees_east");
    const int u = file.variable("uwnd", NC_FLOAT, {dims[0], dims[1], dims[2]});
    const int v = file.variable("vwnd", NC_FLOAT, {dims[0], dims[1], dims[2]});
    file.text(u, "standard_name", "eastward_wind");
    file.text(v, "standard_name", "northward_wind");
    for (const int var : {u, v})
        file.text(var, "units", "m s-1");
    std::vector<double> axis(size_t(size.y));
    for (int j = 0; j < size.y; ++j)
        axis[size_t(j)] = 10.0 + 0.1 * j;
    file.put(lat, axis);
    axis.resize(size_t(size.x));
    for (int i = 0; i < size.x; ++i)
        axis[size_t(i)] = -80.0 + 0.1 * i;
    file.put(lon, axis);
    std::vector<float> component(size_t(size.x) * size_t(size.y));
    for (int t = 0; t < size.z; ++t)
        for (const int var : {u, v})
        {
            const float2* samples = field.orgnvectField2dSlice[t][0];
            for (size_t k = 0; k < component.size(); ++k)
                component[k] = var == u ? samples[k].x : samples[k].y;
            const size_t start[] = {size_t(t), 0, 0};
            const size_t count[] = {1, size_t(size.y), size_t(size.x)};
            file.putFloats(var, start, count, component.data());
        }
}
