// Why a batch job stopped: bad input (exit code 1) or bad usage (exit code 2), with a message
// that names the file, variable or value at fault.
#pragma once

#include <stdexcept>
#include <string>

struct BatchFailure : std::runtime_error
{
    BatchFailure(int code, const std::string& message) : std::runtime_error(message), exitCode(code)
    {
    }
    static BatchFailure badInput(const std::string& message) { return BatchFailure(1, message); }
    static BatchFailure badUsage(const std::string& message) { return BatchFailure(2, message); }

    int exitCode;
};
