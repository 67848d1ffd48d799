#include "common/typeOperations.h"

#include <gtest/gtest.h>
#include <limits>

TEST(VectorEquality, NanNeverEqualsAndSignedZerosDo)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float2 a = makeFloat2(nan, 1.0f);
    EXPECT_FALSE(a == a);
    EXPECT_TRUE(a != a);
    EXPECT_TRUE(makeFloat2(0.0f, -0.0f) == makeFloat2(-0.0f, 0.0f));
    EXPECT_FALSE(makeFloat3(1, 2, 3) == makeFloat3(1, 2, 4));
}

TEST(VectorArithmetic, CrossAndDotProducts)
{
    const float3 x = makeFloat3(1, 0, 0), y = makeFloat3(0, 1, 0);
    EXPECT_TRUE(cross(x, y) == makeFloat3(0, 0, 1));
    const float3 v = makeFloat3(2.5f, -1.0f, 7.0f);
    EXPECT_TRUE(cross(v, v) == makeFloat3(0, 0, 0));
    EXPECT_FLOAT_EQ(makeFloat2(3, 4) * makeFloat2(3, 4), 25.0f);
    EXPECT_FLOAT_EQ(v * x, 2.5f);
}

TEST(VectorArithmetic, ScaleSumDifferenceAndColourOrder)
{
    EXPECT_TRUE(2.0f * makeFloat2(1.5f, -2.0f) == makeFloat2(3.0f, -4.0f));
    EXPECT_TRUE(makeFloat2(1, 2) + makeFloat2(3, 4) == makeFloat2(4, 6));
    EXPECT_TRUE(makeFloat3(1, 2, 3) - makeFloat3(3, 2, 1) == makeFloat3(-2, 0, 2));
    const float4 c = makeFloat4(0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_EQ(c.x, 0.1f);
    EXPECT_EQ(c.w, 0.4f);
}
