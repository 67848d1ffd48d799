// Opens the field a batch job names, with the job's --u, --v, --level and --scale options, while
// the loaders' messages go to standard error: standard output holds the job's results.
#pragma once

#include "netcdf/fieldOpener.h"

#include <set>
#include <string>

class BatchArguments;

class FieldInput : public FieldOpener
{
public:
    // Time steps first ... last (last < 0: all from first on) of the field at path; notes go to
    // err.
    FieldInput(const std::string& path, const BatchArguments& args, std::ostream& err, int first,
               int last);

    // A job's own options and the field options above, which every job reading a FIELD takes.
    static std::set<std::string> withFieldOptions(std::set<std::string> options);
    // The NetCDF options shared with import.
    static NetcdfField::Selection selection(const BatchArguments& args, bool levelsMayBeAll);
    static double scale(NetcdfField& netcdf, const BatchArguments& args, std::ostream& err,
                        int first, int last);
};
