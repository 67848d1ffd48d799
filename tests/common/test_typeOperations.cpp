#include "common/printLine.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

// A message reaches its file at once, so it is not lost when the program then ends.
TEST(PrintLine, NothingWaitsInABuffer)
{
    std::fflush(stdout);
    std::FILE* file = std::tmpfile();
    const int saved = dup(1);
    dup2(fileno(file), 1);
    printLine("%d of %s", 3, "x");
    std::string text(16, '\0');
    text.resize(
        std::size_t(std::max<ssize_t>(pread(fileno(file), text.data(), text.size(), 0), 0)));
    dup2(saved, 1);
    close(saved);
    std::fclose(file);
    EXPECT_EQ(text, "3 of x\n");
}
