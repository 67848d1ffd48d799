#include "tracing/tracing.h"
#include "tracingFields.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace
{
// v(i, j, t) = (i + 1, j + 100 t): linear in space, so bilinear samples are exact.
DataManipulate rampField(int3 size)
{
    return makeField(size, [](int i, int j, int t)
                     { return makeFloat2(float(i + 1), float(j + 100 * t)); });
}
} // namespace

TEST(Integrator, SamplingDomainIsHalfOpenAndUntouchedOutside)
{
    DataManipulate data = rampField({10, 8, 1});
    Tracing tracer(data.flowFieldSize, 0);
    float2*** field = data.orgnvectField2dSlice.data();
    float2 vec = makeFloat2(-7, -7);
    EXPECT_FALSE(tracer.interpolateVect(makeFloat2(9, 0), 0, vec, data.flowFieldSize, field));
    EXPECT_FALSE(tracer.interpolateVect(makeFloat2(-0.5f, 3), 0, vec, data.flowFieldSize, field));
    EXPECT_FALSE(tracer.interpolateVect(makeFloat2(3, 7), 0, vec, data.flowFieldSize, field));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(tracer.interpolateVect(makeFloat2(nan, 1), 0, vec, data.flowFieldSize, field));
    EXPECT_FALSE(tracer.interpolateVect(makeFloat2(1e30f, 1), 0, vec, data.flowFieldSize, field));
    EXPECT_TRUE(vec == makeFloat2(-7, -7));

    ASSERT_TRUE(tracer.interpolateVect(makeFloat2(8.999f, 0), 0, vec, data.flowFieldSize, field));
    EXPECT_NEAR(vec.x, 9.999f, 1e-4f);
    ASSERT_TRUE(tracer.interpolateVect(makeFloat2(2.25f, 3.5f), 0, vec, data.flowFieldSize, field));
    EXPECT_NEAR(vec.x, 3.25f, 1e-6f);
    EXPECT_NEAR(vec.y, 3.5f, 1e-6f);
    EXPECT_FALSE(tracer.interpolateVect(makeFloat2(1, 1), 0, vec, data.flowFieldSize, nullptr));
}

TEST(Integrator, TimeBlendsTwoStepsExceptInTheLastInterval)
{
    DataManipulate data = rampField({6, 6, 3});
    Tracing tracer(data.flowFieldSize, 0);
    float2*** field = data.orgnvectField2dSlice.data();
    float2 vec{};
    ASSERT_TRUE(tracer.interpolateVect(makeFloat2(1, 1), 1.0f, vec, data.flowFieldSize, field));
    EXPECT_FLOAT_EQ(vec.y, 101.0f);
    ASSERT_TRUE(tracer.interpolateVect(makeFloat2(1, 1), 0.25f, vec, data.flowFieldSize, field));
    EXPECT_NEAR(vec.y, 26.0f, 1e-4f);
    ASSERT_TRUE(tracer.interpolateVect(makeFloat2(1, 1), 2.75f, vec, data.flowFieldSize, field));
    EXPECT_FLOAT_EQ(vec.y, 201.0f);
    // Times outside the field's steps are refused rather than read past the slice table.
    EXPECT_FALSE(tracer.interpolateVect(makeFloat2(1, 1), 3.0f, vec, data.flowFieldSize, field));
    EXPECT_FALSE(tracer.interpolateVect(makeFloat2(1, 1), -0.5f, vec, data.flowFieldSize, field));
}

TEST(Integrator, WeakFieldStopsButStillReportsTheSample)
{
    DataManipulate data = uniformField({5, 5, 1}, makeFloat2(0.005f, 0));
    Tracing tracer(data.flowFieldSize, 0);
    float2*** field = data.orgnvectField2dSlice.data();
    float2 vec{};
    EXPECT_FALSE(tracer.interpolateVect(makeFloat2(1, 1), 0, vec, data.flowFieldSize, field));
    EXPECT_FLOAT_EQ(vec.x, 0.005f);

    DataManipulate zero = uniformField({5, 5, 1}, makeFloat2(0, 0));
    float2 pos = makeFloat2(2, 2);
    EXPECT_FALSE(tracer.RK4(pos, 0, 1, zero.flowFieldSize, zero.orgnvectField2dSlice.data()));
    EXPECT_TRUE(pos == makeFloat2(2, 2));
}

TEST(Integrator, StepLengthFollowsTheSettingAndDirection)
{
    DataManipulate data = uniformField({20, 5, 1}, makeFloat2(1, 0));
    Tracing tracer(data.flowFieldSize, 0);
    float2*** field = data.orgnvectField2dSlice.data();
    float2 pos = makeFloat2(10, 2);
    tracer.uiIntvTracStp = 1;
    ASSERT_TRUE(tracer.RK4(pos, 0, 1, data.flowFieldSize, field));
    EXPECT_NEAR(pos.x, 10.1f, 1e-5f);
    tracer.uiIntvTracStp = 3;
    pos = makeFloat2(10, 2);
    ASSERT_TRUE(tracer.RK4(pos, 0, -1, data.flowFieldSize, field));
    EXPECT_NEAR(pos.x, 9.7f, 1e-5f);
    EXPECT_FLOAT_EQ(pos.y, 2.0f);

    // A step whose later samples leave the domain fails and keeps the position.
    pos = makeFloat2(18.95f, 2);
    tracer.uiIntvTracStp = 1;
    EXPECT_FALSE(tracer.RK4(pos, 0, 1, data.flowFieldSize, field));
    EXPECT_FLOAT_EQ(pos.x, 18.95f);
}

TEST(Integrator, FourthOrderStepOnARotation)
{
    // On a rigid rotation one RK4 step stays on the circle to fifth order.
    DataManipulate data = rotationField({41, 41, 1}, 20, 20, 1.0f);
    Tracing tracer(data.flowFieldSize, 0);
    float2 pos = makeFloat2(30, 20);
    ASSERT_TRUE(tracer.RK4(pos, 0, 1, data.flowFieldSize, data.orgnvectField2dSlice.data()));
    EXPECT_NEAR(std::hypot(pos.x - 20, pos.y - 20), 10.0f, 1e-4f);
    EXPECT_NEAR(pos.y - 20, 10 * std::sin(0.1f), 1e-4f);
}
