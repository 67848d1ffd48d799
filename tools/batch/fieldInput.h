// Loads any field the tool reads into a DataManipulate -- a steady header with its vector file,
// an unsteady header (one level) or a binary slice file through the core's own loaders, a
// NetCDF file through NetcdfField -- and checks the time steps a job asks for.
#pragma once

#include "data/dataManipulate.h"
#include "netcdfField.h"

#include <ostream>
#include <string>

class BatchArguments;

class FieldInput
{
public:
    // Time steps first ... last (last < 0: all from first on) of the field at path. A NetCDF file
    // is read for those steps only, the tool's own formats whole. Reads --u, --v, --level and
    // --scale; notes go to err.
    FieldInput(const std::string& path, const BatchArguments& args, std::ostream& err, int first,
               int last);

    // Where time step t of the source lies in data.
    int index(int t) const { return t - firstStep; }

    // The NetCDF options shared with import.
    static NetcdfField::Selection selection(const BatchArguments& args, bool levelsMayBeAll);
    static double scale(NetcdfField& netcdf, const BatchArguments& args, std::ostream& err);
    static void reportMissing(const NetcdfField& netcdf, std::ostream& err);
    // Refuses first ... last unless it lies within steps time steps of source.
    static void checkSteps(const std::string& source, int steps, int first, int last);

    DataManipulate data{"", "", "", "", false};
    int firstStep = 0;

private:
    void loadHeader(const std::string& path, const BatchArguments& args);
    void loadNetcdf(const std::string& path, const BatchArguments& args, std::ostream& err,
                    int first, int last);
};
