#include "data/dataManipulate.h"

#include <cmath>
#include <gtest/gtest.h>

namespace
{
// A W x H x T field with v(i, j, t) = (i + 10 t, j - 10 t).
DataManipulate gridField(int w, int h, int t)
{
    DataManipulate data("", "", "", "", true);
    data.flowFieldSize = {w, h, t};
    data.orgnvectField2d.resize(std::size_t(w) * h * t);
    data.assignPointerto2Ddata();
    for (int s = 0; s < t; ++s)
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                data.orgnvectField2dSlice[s][j][i] = makeFloat2(i + 10.0f * s, j - 10.0f * s);
    return data;
}
} // namespace

TEST(FieldSampling, BilinearSampleIsExactOnSamplesAndAveragesBetween)
{
    const DataManipulate data = gridField(5, 4, 2);
    float2 v{};
    ASSERT_TRUE(data.interpolateVector2D(makeFloat2(2, 1), 1, v));
    EXPECT_TRUE(v == makeFloat2(12, -9));
    ASSERT_TRUE(data.interpolateVector2D(makeFloat2(2.5f, 1.5f), 0, v));
    EXPECT_NEAR(v.x, 2.5f, 1e-6f);
    EXPECT_NEAR(v.y, 1.5f, 1e-6f);
    EXPECT_TRUE(data.makeVec(3, 4) == makeFloat2(3, 4));
}

TEST(FieldSampling, DomainEdgesOfTheSliceSampler)
{
    const DataManipulate data = gridField(5, 4, 1);
    float2 v = makeFloat2(7, 7);
    EXPECT_FALSE(data.interpolateVector2D(makeFloat2(4, 0), 0, v));
    EXPECT_TRUE(v == makeFloat2(7, 7));
    EXPECT_FALSE(data.interpolateVector2D(makeFloat2(1, 1), 1, v));
    // Truncation toward zero lets (-0.5, 0) extrapolate from the first cell.
    ASSERT_TRUE(data.interpolateVector2D(makeFloat2(-0.5f, 0), 0, v));
    EXPECT_NEAR(v.x, -0.5f, 1e-6f);
    const DataManipulate empty("", "", "", "", true);
    EXPECT_FALSE(empty.interpolateVector2D(makeFloat2(0, 0), 0, v));
}

// Positions no int can hold are refused before any conversion.
TEST(FieldSampling, PositionsBeyondIntAreRefused)
{
    const DataManipulate data = gridField(5, 4, 3);
    const float huge = 3e9f;
    for (const float bad : {NAN, huge, -huge, INFINITY})
    {
        float2 v = makeFloat2(7, 7);
        EXPECT_FALSE(data.interpolateVector2D(makeFloat2(bad, 1), 0, v)) << bad;
        EXPECT_FALSE(data.interpolateVector2D(makeFloat2(1, bad), 0, v)) << bad;
        EXPECT_FALSE(data.interpolateVector(makeFloat2(bad, 1), 0.5f, v)) << bad;
        EXPECT_FALSE(data.interpolateVector(makeFloat2(1, 1), bad, v)) << bad;
        EXPECT_EQ(v, makeFloat2(7, 7));
    }
}

TEST(FieldSampling, SpaceTimeSamplerNeedsTheNextStep)
{
    float2 v{};
    EXPECT_FALSE(gridField(5, 4, 1).interpolateVector(makeFloat2(1, 1), 0.0f, v));
    const DataManipulate data = gridField(5, 4, 3);
    ASSERT_TRUE(data.interpolateVector(makeFloat2(1, 1), 1.5f, v));
    EXPECT_NEAR(v.x, 16.0f, 1e-5f);
    EXPECT_NEAR(v.y, -14.0f, 1e-5f);
    EXPECT_FALSE(data.interpolateVector(makeFloat2(1, 1), 2.0f, v));
}

TEST(FieldSampling, ResamplingClampsToTheInputArray)
{
    // A 3 x 3 input: record (row a, column b) = (a, b, 0).
    std::vector<float3> input;
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b)
            input.push_back(makeFloat3(float(a), float(b), 0));
    const DataManipulate grid = gridField(3, 3, 1);
    std::vector<float3> mapped(9, makeFloat3(-1, -1, -1));
    testing::internal::CaptureStdout();
    EXPECT_TRUE(grid.mapVectorFile(input.data(), mapped.data(), int3{3, 3, 1}));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "mapVectorFile\n");
    for (int k = 0; k < 9; ++k)
    {
        EXPECT_FLOAT_EQ(mapped[k].x, float(k / 3));
        EXPECT_FLOAT_EQ(mapped[k].y, float(k % 3));
    }
    float3 v{};
    EXPECT_TRUE(grid.interpolateVect(makeFloat2(2.5f, 2.5f), 0, v, int3{3, 3, 1}, input.data()));
    EXPECT_FLOAT_EQ(v.x, 2.0f);
    EXPECT_FALSE(grid.interpolateVect(makeFloat2(0, 0), 0, v, int3{3, 3, 1}, input.data()));
}
