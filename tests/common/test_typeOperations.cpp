#include "common/printLine.h"
#include "common/typeOperations.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

// Exact IEEE comparison: NaN never matches, -0 matches 0.
TEST(VectorTypes, EqualityIsExactAndCrossIsRightHanded)
{
    const float2 nan = makeFloat2(NAN, 1.0f);
    EXPECT_FALSE(nan == nan);
    EXPECT_TRUE(nan != nan);
    EXPECT_TRUE(makeFloat2(0.0f, -0.0f) == makeFloat2(-0.0f, 0.0f));
    EXPECT_FALSE(makeFloat3(1, 2, 3) == makeFloat3(1, 2, 4));
    EXPECT_TRUE(cross(makeFloat3(1, 0, 0), makeFloat3(0, 1, 0)) == makeFloat3(0, 0, 1));
}

// A message reaches its file at once, so it is not lost when the program then ends.
TEST(PrintLine, NothingWaitsInABuffer)
{
    std::fflush(stdout);
    std::FILE* file = std::tmpfile();
    const int saved = dup(1);
    dup2(fileno(file), 1);
    printLine("%d of %s", 3, "x");
    std::string text(16, '\0');
    text.resize(std::size_t(std::max<ssize_t>(pread(fileno(file), text.data(), text.size(), 0), 0)));
    dup2(saved, 1);
    close(saved);
    std::fclose(file);
    EXPECT_EQ(text, "3 of x\n");
}
