// Writes small NetCDF files with the C library, in classic or netCDF-4 format: dimensions,
// variables, attributes and values. Any library error is thrown.
#pragma once

#include <netcdf.h>
#include <stdexcept>
#include <string>
#include <vector>

class NetcdfFile
{
public:
    NetcdfFile(const std::string& path, int mode) { check(nc_create(path.c_str(), mode, &id)); }
    ~NetcdfFile() { nc_close(id); }
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
    void numbers(int var, const char* name, nc_type type, const std::vector<double>& values)
    {
        check(nc_put_att_double(id, var, name, type, values.size(), values.data()));
    }
    // All of the variable's values, in its own order; the first call ends the definitions.
    void put(int var, const std::vector<double>& values)
    {
        if (!inData)
            check(nc_enddef(id));
        inData = true;
        check(nc_put_var_double(id, var, values.data()));
    }

    // Time step t of a (time, y, x) variable.
    void putStep(int var, size_t t, size_t height, size_t width, const std::vector<double>& values)
    {
        if (!inData)
            check(nc_enddef(id));
        inData = true;
        const size_t start[] = {t, 0, 0}, count[] = {1, height, width};
        check(nc_put_vara_double(id, var, start, count, values.data()));
    }

private:
    static void check(int status)
    {
        if (status != NC_NOERR)
            throw std::runtime_error(nc_strerror(status));
    }

    int id = -1;
    bool inData = false;
};
