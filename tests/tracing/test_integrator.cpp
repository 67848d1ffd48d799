#include "common/testFields.h"
#include "tracing/tracing.h"

#include <cmath>
#include <tuple>

// Refused samples (outside the domain, NaN, huge, past the slice table) leave the vector;
// times between steps weight the later step by their fraction, the last interval uses the
// last step alone.
TEST(Integrator, SamplingSpeedThresholdAndRungeKuttaStep)
{
    // v = (i + 1, j + 100 t) is linear in space, so bilinear samples are exact.
    DataManipulate data = makeField({10, 8, 3}, [](int i, int j, int t)
                                    { return makeFloat2(float(i + 1), float(j + 100 * t)); });
    Tracing tracer(data.flowFieldSize, 0);
    const std::tuple<float2, float, float2> cases[] = {
        {{8.999f, 0}, 0, {9.999f, 0}}, {{2.25f, 3.5f}, 1, {3.25f, 103.5f}},
        {{1, 1}, 0.25f, {2, 26}},      {{1, 1}, 1.75f, {2, 176}},
        {{1, 1}, 2.75f, {2, 201}},     {{9, 0}, 0, {NAN, 0}},
        {{-0.5f, 3}, 0, {NAN, 0}},     {{3, 7}, 0, {NAN, 0}},
        {{NAN, 1}, 0, {NAN, 0}},       {{1e30f, 1}, 0, {NAN, 0}},
        {{1, 1}, 3.0f, {NAN, 0}},      {{1, 1}, -0.5f, {NAN, 0}},
        {{1, 1}, NAN, {NAN, 0}}}; // NaN: refused
    for (const auto& [pos, t, expected] : cases)
    {
        float2 vec = makeFloat2(-7, -7);
        const bool bInside = !std::isnan(expected.x);
        EXPECT_EQ(tracer.interpolateVect(pos, t, vec, data.flowFieldSize,
                                         data.orgnvectField2dSlice.data()),
                  bInside)
            << pos.x << ", " << pos.y << " at " << t;
        EXPECT_NEAR(vec.x, bInside ? expected.x : -7, 1e-4f) << pos.x << " at " << t;
        EXPECT_NEAR(vec.y, bInside ? expected.y : -7, 1e-4f) << pos.x << " at " << t;
    }
    // A vector is fast enough when its length, as a float, is at least 0.01: the root-free test
    // decides as the root does, also for lengths that round to 0.01. A slow field refuses the step
    // and leaves the point; three backward steps of 0.1 on a rigid rotation stay on the circle.
    float a = 0.006f;
    for (int k = 0; k < 8; ++k, a = std::nextafter(a, 0.0f))
    {
        DataManipulate weak = uniformField({5, 5, 1}, makeFloat2(a, 0.008f));
        float2 pos = makeFloat2(2, 2);
        const bool bFast = std::sqrt(a * a + 0.008f * 0.008f) >= 0.01f;
        EXPECT_EQ(Tracing(weak.flowFieldSize, 0)
                      .RK4(pos, 0, 1, weak.flowFieldSize, weak.orgnvectField2dSlice.data()),
                  bFast)
            << a;
        EXPECT_EQ(pos == makeFloat2(2, 2), !bFast) << a;
    }
    DataManipulate rotation = rotationField({41, 41, 1}, 20, 20, 1.0f);
    tracer.uiIntvTracStp = 3;
    float2 pos = makeFloat2(30, 20);
    ASSERT_TRUE(
        tracer.RK4(pos, 0, -1, rotation.flowFieldSize, rotation.orgnvectField2dSlice.data()));
    EXPECT_NEAR(std::hypot(pos.x - 20, pos.y - 20), 10.0f, 1e-4f);
    EXPECT_NEAR(pos.y - 20, -10 * std::sin(0.3f), 1e-3f);
}
