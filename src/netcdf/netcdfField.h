// Reads the two horizontal velocity components of a NetCDF file (classic or netCDF-4) one time
// step at a time: finds the variables and their time, level, y and x dimensions, unpacks
// scale_factor/add_offset, turns fill and missing values into zero vectors and puts north up.
// Every problem is thrown as a FieldFailure naming the file, variable or value.
#pragma once

#include "common/typeOperations.h"

#include <cstdint>
#include <string>
#include <vector>

class NetcdfField
{
public:
    // The 95th-percentile speed of the default field, in grid units per time step: the default
    // scale makes an imported field about as fast.
    static constexpr double kDefaultFieldSpeed95 = 7.32;

    struct Selection
    {
        std::string u; // empty: found by standard_name or usual name
        std::string v;
        int level = 0;
        bool allLevels = false;
    };

    NetcdfField(const std::string& path, const Selection& selection);
    ~NetcdfField();
    NetcdfField(const NetcdfField&) = delete;
    NetcdfField& operator=(const NetcdfField&) = delete;

    // True when the file starts like a NetCDF file (classic, 64-bit offset, CDF-5 or HDF5).
    static bool looksLikeNetcdf(const std::string& path);
    // The variables of at least two dimensions that hold numbers: the candidates for u and v
    // when the file names neither.
    static std::vector<std::string> fieldVariables(const std::string& path);

    // Reads step t: levels() x height() x width() samples multiplied by factor, level after
    // level, rows from the south, x fastest. Missing samples become zero and are counted.
    void readStep(int t, double factor, std::vector<float2>& samples);
    // The factor that makes the 95th-percentile non-zero speed of all steps equal to the
    // default field's; reads the whole variable once.
    double defaultScale();

    int width() const { return dimLength[kX]; }
    int height() const { return dimLength[kY]; }
    int steps() const { return dimLength[kTime]; }
    int levels() const { return allLevels ? dimLength[kLevel] : 1; }
    int levelCount() const { return dimLength[kLevel]; }
    const std::string& uName() const { return names[0]; }
    const std::string& vName() const { return names[1]; }
    const std::string& units() const { return velocityUnits; }
    std::int64_t missingSamples() const { return missing; }
    std::int64_t samplesRead() const { return read; }

private:
    enum Role
    {
        kTime,
        kLevel,
        kY,
        kX,
        kRoles
    };
    struct Packing
    {
        double scale = 1.0;
        double offset = 0.0;
        std::vector<double> missingValues;
    };

    void refuseTruncated() const;
    void findVariables(const Selection& selection);
    void findDimensions();
    void refuseCurvilinear() const;
    void readPacking(int component);
    bool isMissing(int component, double value) const;
    std::string variableList() const;
    [[noreturn]] void fail(const std::string& what) const;

    std::string path;
    int ncid = -1;
    int varid[2] = {-1, -1};
    std::string names[2];
    std::string velocityUnits;
    int dimOfRole[kRoles] = {-1, -1, -1, -1}; // position in the variable's dimensions
    int dimLength[kRoles] = {1, 1, 1, 1};
    int rank = 0;
    int level = 0;
    bool allLevels = false;
    bool flipY = false;
    Packing packing[2];
    std::vector<double> buffer[2];
    std::int64_t missing = 0;
    std::int64_t read = 0;
};
