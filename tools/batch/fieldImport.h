// The import job: reads the velocity components of a NetCDF file one time step at a time,
// converts them to grid units per time step and writes them as a steady field, an unsteady
// series or a binary slice file, which the loader and the data tabs open unchanged.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace FieldImport
{
struct StepRange
{
    int first = 0;
    int last = -1; // -1: to the end
};

// "A:B" (both included) or "A", as --times gives it.
StepRange parseTimes(const std::string& text);

// words: the command's arguments after "import".
void run(const std::vector<std::string>& words, std::ostream& err);
} // namespace FieldImport
