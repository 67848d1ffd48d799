// Why opening a field or a batch job stopped: bad input (exit code 1) or bad usage (exit
// code 2), with a message that names the file, variable or value at fault.
#pragma once

#include <stdexcept>
#include <string>

struct FieldFailure : std::runtime_error
{
    FieldFailure(int code, const std::string& message) : std::runtime_error(message), exitCode(code)
    {
    }
    static FieldFailure badInput(const std::string& message) { return FieldFailure(1, message); }
    static FieldFailure badUsage(const std::string& message) { return FieldFailure(2, message); }

    int exitCode;
};
