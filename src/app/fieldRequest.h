// The options the window opens a file with: for NetCDF, u and v found as the import finds
// them, the user asked through a chooser when the file names no velocity or has several
// levels; and the refusal, before anything is read, of a file too large for the memory here.
#pragma once

#include "netcdf/fieldOpener.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class FieldRequest
{
public:
    // What the user may choose from: u and v among variables (when not empty), a level below
    // levels (when above 1); u and v hold what the file itself gives.
    struct Candidates
    {
        std::vector<std::string> variables;
        int levels = 1;
        std::string u;
        std::string v;
    };
    // Fills the selection from the candidates; false when the user cancels.
    using Chooser = std::function<bool(const Candidates&, NetcdfField::Selection&)>;

    // Nothing when the user cancelled; throws a FieldFailure when the file is refused.
    static std::optional<FieldOpener::Options> options(const std::string& path,
                                                       const Chooser& choose);
    // The samples a field may hold: the loader's limit, within half the machine's memory.
    static std::int64_t sampleLimit();

private:
    static void refuseOversized(const std::string& path, const NetcdfField& field);
};
