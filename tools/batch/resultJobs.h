// The jobs that compute results from a field without the window: the LIC image of a time step
// (lic), its critical points (critpnt) or their tracks over time steps (critpnt --track) and
// field-lines traced from seeds (trace). Each calls the core exactly as the view does, so its
// results are the view's.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ResultJobs
{
// words: the command's arguments after its name; results go to out, notes to err.
void lic(const std::vector<std::string>& words, std::ostream& err);
void critpnt(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
void trace(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
} // namespace ResultJobs
