#include "netcdf/progress.h"

#include <cstdio>
#include <unistd.h>

Progress::Progress(std::string what, int count)
    : label(std::move(what)), total(count), enabled(count > 1 && isatty(STDERR_FILENO) == 1)
{
}

Progress::~Progress()
{
    if (shown)
        std::fputc('\n', stderr);
}

void Progress::show(int done)
{
    if (!enabled)
        return;
    std::fprintf(stderr, "\r%s: %d of %d", label.c_str(), done, total);
    std::fflush(stderr);
    shown = true;
}
