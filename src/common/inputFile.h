// Looks a file up before anything is read from it or allocated for it: whether it is a
// regular file that can be opened, how many bytes it holds, and otherwise why not, in the
// words of the call that failed ("No such file or directory", "Is a directory", ...).
#pragma once

#include <cstdint>
#include <string>

class InputFile
{
public:
    explicit InputFile(const std::string& path);

    bool usable() const { return problem.empty(); }

    std::int64_t size = 0;
    std::string problem; // empty when the file can be read
};
