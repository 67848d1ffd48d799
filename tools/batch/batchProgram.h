// quorvel-batch: one command per job (import, lic, critpnt, trace, render). Runs a command and
// turns its outcome into the exit code: 0 success, 1 bad input, 2 bad usage (with the usage).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace BatchProgram
{
// words: the command line without the program name.
int run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
extern const char* const kUsage;
} // namespace BatchProgram
