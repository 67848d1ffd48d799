#include "tracing/tracing.h"
#include "tracingFields.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(Integrator, SamplingDomainTimeBlendAndWeakField)
{
    // v = (i + 1, j + 100 t) is linear in space, so bilinear samples are exact.
    DataManipulate data = makeField({10, 8, 3}, [](int i, int j, int t)
                                    { return makeFloat2(float(i + 1), float(j + 100 * t)); });
    const Tracing tracer(data.flowFieldSize, 0);
    float2*** field = data.orgnvectField2dSlice.data();
    const int3 size = data.flowFieldSize;
    float2 vec = makeFloat2(-7, -7);
    for (const float2 out : {makeFloat2(9, 0), makeFloat2(-0.5f, 3), makeFloat2(3, 7),
                             makeFloat2(std::nanf(""), 1), makeFloat2(1e30f, 1)})
        EXPECT_FALSE(tracer.interpolateVect(out, 0, vec, size, field));
    // Times outside the steps are refused rather than read past the slice table.
    EXPECT_FALSE(tracer.interpolateVect(makeFloat2(1, 1), 3.0f, vec, size, field));
    EXPECT_FALSE(tracer.interpolateVect(makeFloat2(1, 1), -0.5f, vec, size, field));
    EXPECT_TRUE(vec == makeFloat2(-7, -7));

    ASSERT_TRUE(tracer.interpolateVect(makeFloat2(8.999f, 0), 0, vec, size, field));
    EXPECT_NEAR(vec.x, 9.999f, 1e-4f);
    ASSERT_TRUE(tracer.interpolateVect(makeFloat2(2.25f, 3.5f), 1.0f, vec, size, field));
    EXPECT_NEAR(vec.x, 3.25f, 1e-6f);
    EXPECT_FLOAT_EQ(vec.y, 103.5f);
    ASSERT_TRUE(tracer.interpolateVect(makeFloat2(1, 1), 0.25f, vec, size, field));
    EXPECT_NEAR(vec.y, 26.0f, 1e-4f);
    ASSERT_TRUE(tracer.interpolateVect(makeFloat2(1, 1), 2.75f, vec, size, field));
    EXPECT_FLOAT_EQ(vec.y, 201.0f); // the last interval uses the last step alone

    DataManipulate weak = uniformField({5, 5, 1}, makeFloat2(0.005f, 0));
    EXPECT_FALSE(tracer.interpolateVect(makeFloat2(1, 1), 0, vec, weak.flowFieldSize,
                                        weak.orgnvectField2dSlice.data()));
    EXPECT_FLOAT_EQ(vec.x, 0.005f);
    float2 pos = makeFloat2(2, 2);
    EXPECT_FALSE(tracer.RK4(pos, 0, 1, weak.flowFieldSize, weak.orgnvectField2dSlice.data()));
    EXPECT_TRUE(pos == makeFloat2(2, 2));
}

TEST(Integrator, RungeKuttaStep)
{
    DataManipulate data = uniformField({20, 5, 1}, makeFloat2(1, 0));
    Tracing tracer(data.flowFieldSize, 0);
    float2*** field = data.orgnvectField2dSlice.data();
    tracer.uiIntvTracStp = 3;
    float2 pos = makeFloat2(10, 2);
    ASSERT_TRUE(tracer.RK4(pos, 0, -1, data.flowFieldSize, field));
    EXPECT_NEAR(pos.x, 9.7f, 1e-5f);
    // A step whose later samples leave the domain fails and keeps the position.
    tracer.uiIntvTracStp = 1;
    pos = makeFloat2(18.95f, 2);
    EXPECT_FALSE(tracer.RK4(pos, 0, 1, data.flowFieldSize, field));
    EXPECT_FLOAT_EQ(pos.x, 18.95f);

    // On a rigid rotation a fourth-order step stays on the circle to fifth order.
    DataManipulate rotation = rotationField({41, 41, 1}, 20, 20, 1.0f);
    pos = makeFloat2(30, 20);
    ASSERT_TRUE(
        tracer.RK4(pos, 0, 1, rotation.flowFieldSize, rotation.orgnvectField2dSlice.data()));
    EXPECT_NEAR(std::hypot(pos.x - 20, pos.y - 20), 10.0f, 1e-4f);
    EXPECT_NEAR(pos.y - 20, 10 * std::sin(0.1f), 1e-4f);
}
