// The FTLE job: finite-time Lyapunov exponents of a field from a start time over a duration,
// forward or backward, written as a table of seeds (.csv) or a colour-mapped image (.png).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace FtleJob
{
// words: the command's arguments after its name; notes go to err.
void run(const std::vector<std::string>& words, std::ostream& err);
} // namespace FtleJob
