#include "tracing/tracing.h"
#include "tracingFields.h"

#include <cmath>

TEST(Integrator, SamplingRefusalsAndRungeKuttaStep)
{
    // v = (i + 1, j + 100 t) is linear in space, so bilinear samples are exact.
    DataManipulate data = makeField({10, 8, 3}, [](int i, int j, int t)
                                    { return makeFloat2(float(i + 1), float(j + 100 * t)); });
    Tracing tracer(data.flowFieldSize, 0);
    float2*** field = data.orgnvectField2dSlice.data();
    float2 vec = makeFloat2(-7, -7);
    // Outside the domain, NaN, huge, or at times past the slice table.
    const std::pair<float2, float> refused[] = {{{9, 0}, 0},    {{-0.5f, 3}, 0}, {{3, 7}, 0},
                                                {{NAN, 1}, 0},  {{1e30f, 1}, 0}, {{1, 1}, 3.0f},
                                                {{1, 1}, -0.5f}};
    for (const auto& [pos, t] : refused)
        EXPECT_FALSE(tracer.interpolateVect(pos, t, vec, data.flowFieldSize, field)) << pos.x;
    EXPECT_EQ(vec, makeFloat2(-7, -7));
    // Times between steps blend them; the last interval uses the last step alone.
    const std::tuple<float2, float, float2> sampled[] = {{{8.999f, 0}, 0, {9.999f, 0}},
                                                         {{2.25f, 3.5f}, 1, {3.25f, 103.5f}},
                                                         {{1, 1}, 0.25f, {2, 26}},
                                                         {{1, 1}, 2.75f, {2, 201}}};
    for (const auto& [pos, t, expected] : sampled)
    {
        ASSERT_TRUE(tracer.interpolateVect(pos, t, vec, data.flowFieldSize, field)) << pos.x;
        EXPECT_TRUE(std::abs(vec.x - expected.x) < 1e-4f && std::abs(vec.y - expected.y) < 1e-4f);
    }
    // Slower than the threshold: refused, and the integrator does not move.
    DataManipulate weak = uniformField({5, 5, 1}, makeFloat2(0.005f, 0));
    float2 pos = makeFloat2(2, 2);
    EXPECT_FALSE(tracer.RK4(pos, 0, 1, weak.flowFieldSize, weak.orgnvectField2dSlice.data()));
    EXPECT_EQ(pos, makeFloat2(2, 2));
    // Three backward steps of 0.1 on a rigid rotation stay on the circle to fifth order.
    DataManipulate rotation = rotationField({41, 41, 1}, 20, 20, 1.0f);
    tracer.uiIntvTracStp = 3;
    pos = makeFloat2(30, 20);
    ASSERT_TRUE(
        tracer.RK4(pos, 0, -1, rotation.flowFieldSize, rotation.orgnvectField2dSlice.data()));
    EXPECT_NEAR(std::hypot(pos.x - 20, pos.y - 20), 10.0f, 1e-4f);
    EXPECT_NEAR(pos.y - 20, -10 * std::sin(0.3f), 1e-3f);
}
