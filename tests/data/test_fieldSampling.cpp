#include "common/testFields.h"
#include "data/noDataMask.h"

#include <cmath>
#include <tuple>

namespace
{
// v(i, j, t) = (i + 10 t, j - 10 t): linear, so every blend of its samples is exact.
DataManipulate ramp(int3 size)
{
    return makeField(size,
                     [](int i, int j, int t) { return makeFloat2(i + 10.0f * t, j - 10.0f * t); });
}

void expectNear(const float2& v, const float2& expected)
{
    EXPECT_NEAR(v.x, expected.x, 1e-5f);
    EXPECT_NEAR(v.y, expected.y, 1e-5f);
}

constexpr float2 kUntouched{7, 7};
} // namespace

// Positions are truncated toward zero, so (-0.5, 0) extrapolates from the first cell; refused
// positions (NaN and those no int holds among them) leave the result untouched.
TEST(FieldSampling, SliceAndSpaceTimeSamplersBlendInsideTheirDomains)
{
    const DataManipulate data = ramp({5, 4, 3});
    const std::tuple<float2, int, float2> inside[] = {
        {{2, 1}, 1, {12, -9}}, {{2.25f, 1.75f}, 0, {2.25f, 1.75f}}, {{-0.5f, 0}, 0, {-0.5f, 0}}};
    for (const auto& [pos, t, expected] : inside)
    {
        float2 v = kUntouched;
        ASSERT_TRUE(data.interpolateVector2D(pos, t, v)) << pos.x;
        expectNear(v, expected);
    }
    const std::pair<float2, int> outside[] = {{{4, 0}, 0},    {{1, 3}, 0},    {{-1, 0}, 0},
                                              {{1, 1}, 3},    {{1, 1}, -1},   {{NAN, 1}, 0},
                                              {{3e9f, 1}, 0}, {{1, -3e9f}, 0}};
    for (const auto& [pos, t] : outside)
    {
        float2 v = kUntouched;
        EXPECT_FALSE(data.interpolateVector2D(pos, t, v)) << pos.x << ", " << pos.y << ", " << t;
        EXPECT_EQ(v, kUntouched);
    }
    float2 v = kUntouched;
    EXPECT_FALSE(DataManipulate("", "", "", "", true).interpolateVector2D({0, 0}, 0, v));
    // A time between two steps weights the later one by its fraction; the step after must exist.
    v = kUntouched;
    ASSERT_TRUE(data.interpolateVector(makeFloat2(1.5f, 1), 1.25f, v));
    expectNear(v, makeFloat2(14.0f, -11.5f));
    const std::pair<float2, float> outsideInTime[] = {
        {{1, 1}, 2.0f},   {{1, 1}, -1.0f}, {{1, 1}, NAN},    {{1, 1}, 3e9f},
        {{NAN, 1}, 0.5f}, {{4, 1}, 0.5f},  {{1, 3e9f}, 0.5f}};
    for (const auto& [pos, t] : outsideInTime)
    {
        v = kUntouched;
        EXPECT_FALSE(data.interpolateVector(pos, t, v)) << pos.x << ", " << pos.y << ", " << t;
        EXPECT_EQ(v, kUntouched);
    }
    EXPECT_FALSE(ramp({5, 4, 1}).interpolateVector(makeFloat2(1, 1), 0.0f, v));
}

// A zero vector is no-data only beside another zero (diagonals count); an isolated zero is a
// critical point. On a 6 x 4 grid the zeros at (0, 0) and (1, 1) touch diagonally; the zero at
// (4, 1) stands alone.
TEST(FieldSampling, NoDataIsAZeroWithAZeroNeighbour)
{
    DataManipulate data = uniformField({6, 4, 1}, makeFloat2(1, 0));
    for (const auto& [i, j] : {std::pair{0, 0}, {1, 1}, {4, 1}})
        data.orgnvectField2dSlice[0][j][i] = makeFloat2(0, 0);
    const NoDataMask mask(data.orgnvectField2dSlice[0], 6, 4);
    EXPECT_EQ(mask.count, 2);
    EXPECT_TRUE(mask.isNoData(0, 0));
    EXPECT_TRUE(mask.isNoData(1, 1));
    EXPECT_FALSE(mask.isNoData(4, 1));
    EXPECT_FALSE(mask.isNoData(-1, 0));
    EXPECT_TRUE(mask.cellTouchesNoData(1, 0));
    EXPECT_FALSE(mask.cellTouchesNoData(3, 1));
    EXPECT_TRUE(mask.atPosition({1.4f, 0.6f}));
    EXPECT_FALSE(mask.atPosition({4.0f, 1.0f}));
    EXPECT_FALSE(mask.atPosition({NAN, 0.0f}));
}
