#include "common/testFields.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

#include <cmath>
#include <memory>

namespace
{
struct StreamlineTest : testing::Test
{
    void use(DataManipulate&& data, float distCtrl = 0.0f)
    {
        field = std::move(data);
        tracer = std::make_unique<Tracing>(field.flowFieldSize, 0);
        tracer->bDistctrl = distCtrl > 0.0f;
        tracer->uiDistCtrl = distCtrl;
    }
    // Traces into record line from point count on (the store's own count by default).
    const flowlineInfo& trace(float2 seed, int line, int* count = nullptr)
    {
        tracer->strmlTracing(seed, field.flowFieldSize, field.orgnvectField2dSlice.data(),
                             lines.get(), nullptr, nullptr, line,
                             count ? *count : lines->currNumpnt);
        return lines->streamlineIndxArray[std::min(line, TracedLines::kMaxLines - 1)];
    }
    const float2& point(int k) const { return lines->pointArray[k]; }

    DataManipulate field{"", "", "", "", false};
    std::unique_ptr<Tracing> tracer;
    std::unique_ptr<TracedLines> lines = std::make_unique<TracedLines>();
};
} // namespace

TEST_F(StreamlineTest, UniformFieldSpacingAndSeedOutside)
{
    use(uniformField({50, 20, 1}, makeFloat2(1, 0)));
    lines->currNumpnt = 7;
    const flowlineInfo& outside = trace(makeFloat2(49.5f, 10), 2);
    EXPECT_EQ(outside.startIdx, 7);
    EXPECT_EQ(outside.seedIdx, 7);
    EXPECT_EQ(outside.numPoint, 0);
    EXPECT_EQ(lines->currNumpnt, 8);
    EXPECT_EQ(lines->streamlineNum, 3);
    const flowlineInfo& r = trace(makeFloat2(20, 10), 0);
    EXPECT_EQ(lines->currNumpnt, 8 + r.numPoint + 1);
    EXPECT_EQ(point(r.seedIdx), makeFloat2(20, 10));
    // Backward points are reversed: x rises by about six steps of 0.1 from end to end.
    for (int k = r.startIdx; k < r.startIdx + r.numPoint; ++k)
        ASSERT_NEAR(point(k + 1).x - point(k).x, 0.55f, 0.051f) << k;
    EXPECT_LT(point(r.startIdx).x, 0.6f);
    EXPECT_GT(point(r.startIdx + r.numPoint).x, 48.3f);
}

// Points are stored more than 0.5 apart. Steps of (0.6, 0.8) x 0.5 land at 0.5 and, with y
// lengthened a float at a time, just past it: the root-free test decides as the root does.
TEST_F(StreamlineTest, SpacingAndDistanceThresholdsAreExact)
{
    float vy = 0.8f;
    for (int k = 0; k < 6; ++k, vy = std::nextafter(vy, 1.0f))
    {
        use(uniformField({10, 10, 1}, makeFloat2(0.6f, vy)));
        tracer->uiIntvTracStp = 5;
        float2 step = makeFloat2(0, 0);
        ASSERT_TRUE(
            tracer->RK4(step, 0, 1, field.flowFieldSize, field.orgnvectField2dSlice.data()));
        lines->currNumpnt = 0;
        const flowlineInfo& r = trace(makeFloat2(0, 0), 0); // no backward half from the corner
        ASSERT_EQ(r.seedIdx, 0);
        const bool bFar = std::sqrt(step.x * step.x + step.y * step.y) > 0.5f;
        EXPECT_EQ(point(1) == step, bFar) << k;
    }
    // A point exactly the distance control threshold away is kept, whether the index or the
    // scan decides: steps of exactly 0.5 store points exactly 1 apart.
    for (const bool bScan : {false, true})
    {
        use(uniformField({50, 20, 1}, makeFloat2(1, 0)), 1.0f);
        tracer->uiIntvTracStp = 5;
        // A line written over points the store counts is checked by the scan, against what
        // the store holds at each test: the old point 2, on the line's way, is overwritten
        // before the line gets there.
        lines->currNumpnt = bScan ? 3 : 0;
        lines->pointArray[2] = makeFloat2(15, 10);
        int count = 0;
        const flowlineInfo& r = trace(makeFloat2(20, 10), 0, &count);
        EXPECT_EQ(r.numPoint, 48) << bScan;
        EXPECT_EQ(point(1).x - point(0).x, 1.0f) << bScan;
    }
}

TEST_F(StreamlineTest, DistanceControlAndTheStepBoundEndLines)
{
    // Above the first spacing both halves end on their first candidate, near their own seed.
    use(uniformField({50, 20, 1}, makeFloat2(1, 0)), 0.7f);
    EXPECT_EQ(trace(makeFloat2(20, 10), 0).numPoint, 0);
    // Lines converge on y = 20: a line seeded above it stops where it comes within 0.4.
    use(makeField({150, 40, 1},
                  [](int, int j, int) { return makeFloat2(1, -0.05f * (float(j) - 20)); }),
        0.4f);
    lines->currNumpnt = 0;
    trace(makeFloat2(10, 20), 0);
    const int firstEnd = lines->currNumpnt;
    const flowlineInfo& r = trace(makeFloat2(10, 30), 1);
    EXPECT_NEAR(point(r.startIdx + r.numPoint).x, 75.0f, 15.0f);
    for (int k = r.startIdx; k <= r.startIdx + r.numPoint; ++k)
        ASSERT_TRUE(tracer->distanceControl(lines->pointArray.data(), firstEnd, point(k)));

    // On closed orbits a small one never gets 0.5 from its seed: the step bound ends each half.
    use(rotationField({60, 60, 1}, 30, 30, 0.5f));
    EXPECT_EQ(trace(makeFloat2(30.2f, 30), 0).numPoint, 0);
    // A large one runs round until each half holds 1000 points...
    const flowlineInfo& orbit = trace(makeFloat2(40, 30), 1);
    EXPECT_EQ(orbit.numPoint, 1999);
    EXPECT_EQ(orbit.seedIdx - orbit.startIdx, 999);
    // ...or, with distance control, until the halves meet after about one round.
    use(rotationField({60, 60, 1}, 30, 30, 0.5f), 0.4f);
    lines->currNumpnt = 0;
    EXPECT_NEAR(trace(makeFloat2(40, 30), 0).numPoint, 62.5, 12.5);
}
