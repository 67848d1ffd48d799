#include "common/commandLine.h"

#include <cstdio>
#include <cstring>

int CommandLine::helpAsked(int argc, const char* const* argv, const char* usage)
{
    for (int k = 1; k < argc; ++k)
        if (std::strcmp(argv[k], "--help") == 0 || std::strcmp(argv[k], "-h") == 0)
        {
            std::fputs(usage, stdout);
            return 0;
        }
    return -1;
}

int CommandLine::unknownOption(int argc, const char* const* argv, const char* usage)
{
    for (int k = 1; k < argc; ++k)
        if (argv[k][0] == '-')
        {
            std::fprintf(stderr, "%s: unknown option %s\n%s", argv[0], argv[k], usage);
            return 2;
        }
    return -1;
}
