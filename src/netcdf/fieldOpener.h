// Loads any field the tool reads into a DataManipulate -- a steady header with its vector file,
// an unsteady header (one level) or a binary slice file through the core's own loaders, a
// NetCDF file through NetcdfField -- and checks the time steps asked for. The window and the
// batch jobs open fields through it; every problem is thrown as a FieldFailure.
#pragma once

#include "data/dataManipulate.h"
#include "netcdf/netcdfField.h"

#include <optional>
#include <ostream>
#include <string>

class FieldOpener
{
public:
    struct Options
    {
        NetcdfField::Selection selection; // u, v and level; NetCDF only but for the level
        bool levelGiven = false;          // a level applies to unsteady headers too
        std::optional<double> scale;      // NetCDF only; unset: the import's default scale
    };

    // Time steps first ... last (last < 0: all from first on) of the field at path. A NetCDF file
    // is read for those steps only, the tool's own formats whole. Notes go to notes.
    FieldOpener(const std::string& path, const Options& options, std::ostream& notes, int first,
                int last);

    // Where time step t of the source lies in data.
    int index(int t) const { return t - firstStep; }

    // The factor that turns the file's velocities into grid units per time step: the given one,
    // or the import's default from steps first ... last; both are noted, and the file's
    // warnings printed on standard error.
    static double scale(NetcdfField& netcdf, std::optional<double> given, std::ostream& notes,
                        int first, int last);
    static void reportMissing(const NetcdfField& netcdf, std::ostream& notes);
    // Refuses first ... last unless it lies within steps time steps of source.
    static void checkSteps(const std::string& source, int steps, int first, int last);

    DataManipulate data{"", "", "", "", false};
    int firstStep = 0;

private:
    void loadHeader(const std::string& path, const Options& options);
    void loadNetcdf(const std::string& path, const Options& options, std::ostream& notes, int first,
                    int last);
};
