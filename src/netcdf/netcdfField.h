// Reads the two horizontal velocity components of a NetCDF file (classic or netCDF-4) one time
// step at a time, in blocks: finds the variables and each one's time, level, y and x
// dimensions, unpacks scale_factor/add_offset, turns fill, missing and invalid values into zero
// vectors and puts north up and east right.
// Every problem is thrown as a FieldFailure naming the file, variable or value.
#pragma once

#include "common/typeOperations.h"

#include <cstdint>
#include <functional>
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

    // The samples of one step go to a sink in blocks of at most kBlockSamples, in output order
    // (level after level, rows from the south, x fastest), so that no plane is held whole.
    using BlockSink = std::function<void(const float2* samples, std::size_t count)>;
    static constexpr std::int64_t kBlockSamples = std::int64_t(1) << 22;

    void readStepInBlocks(int t, double factor, const BlockSink& take);
    // The factor that makes the 95th-percentile non-zero speed of steps first ... last equal
    // to the default field's (1 when every speed is zero). Steps in which every sample is
    // missing are refused.
    double defaultScale(int first, int last);
    // The speed the last default scale was taken from; 0 when every speed was zero.
    double percentileSpeed() const { return speed95; }
    // Throws when every sample read so far is missing.
    void refuseIfNoData() const;
    // Doubts about the file worth a warning (u and v in different units).
    const std::vector<std::string>& warnings() const { return notices; }

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
        std::vector<double> missingValues; // in the variable's own type
        double validMin = 0.0;
        double validMax = 0.0;
    };

    // How one variable's dimensions map on the roles: u and v may differ.
    struct Layout
    {
        std::vector<int> dims;
        int dimOfRole[kRoles] = {-1, -1, -1, -1}; // position in the variable's dimensions
        int length[kRoles] = {1, 1, 1, 1};
        bool flip[kRoles] = {false, false, false, false}; // y and x read from the far end
    };

    void refuseTruncated() const;
    void findVariables(const Selection& selection);
    void findLayout(int component);
    void refuseDifferentGrids();
    void orient(int component);
    std::string shape(int component) const;
    void refuseCurvilinear() const;
    std::vector<double> numbers(int component, const char* name, bool single) const;
    void readPacking(int component);
    bool isMissing(int component, double value) const;
    // Reads rows [row, row + rows) counted from the south and columns [column, column + columns)
    // counted from the west of level s of step t, multiplied by factor, x fastest. Missing
    // samples become zero and are counted.
    void readBlock(int t, int s, int row, int rows, int column, int columns, double factor,
                   float2* out);
    std::pair<std::int64_t, std::int64_t> readSlab(int component, int t, int s, int row, int rows,
                                                   int column, int columns);
    std::string variableList() const;
    [[noreturn]] void fail(const std::string& what) const;
    [[noreturn]] void refuseNoData() const;

    std::string path;
    int ncid = -1;
    int varid[2] = {-1, -1};
    std::string names[2];
    std::string velocityUnits;
    int types[2] = {0, 0};
    Layout layouts[2];
    int dimLength[kRoles] = {1, 1, 1, 1};
    int level = 0;
    bool allLevels = false;
    Packing packing[2];
    std::vector<double> buffer[2];
    std::vector<float2> block;
    std::vector<std::string> notices;
    double speed95 = 0.0;
    std::int64_t missing = 0;
    std::int64_t read = 0;
};
