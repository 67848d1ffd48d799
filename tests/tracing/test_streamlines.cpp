#include "tracing/pointGrid.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"
#include "tracingFields.h"

#include <memory>
#include <random>

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
    // Traces into record line, returning the record; points go from currNumpnt on.
    const flowlineInfo& trace(float2 seed, int line)
    {
        tracer->strmlTracing(seed, field.flowFieldSize, field.orgnvectField2dSlice.data(),
                             lines.get(), nullptr, nullptr, line, lines->currNumpnt);
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
    EXPECT_TRUE(outside.startIdx == 7 && outside.seedIdx == 7 && outside.numPoint == 0);
    EXPECT_TRUE(lines->currNumpnt == 8 && lines->streamlineNum == 3);
    const flowlineInfo& r = trace(makeFloat2(20, 10), 0);
    EXPECT_EQ(lines->currNumpnt, 8 + r.numPoint + 1);
    EXPECT_EQ(point(r.seedIdx), makeFloat2(20, 10));
    // Backward points are reversed: x rises by about six steps of 0.1 from end to end.
    for (int k = r.startIdx; k < r.startIdx + r.numPoint; ++k)
        ASSERT_NEAR(point(k + 1).x - point(k).x, 0.55f, 0.051f) << k;
    EXPECT_TRUE(point(r.startIdx).x < 0.6f && point(r.startIdx + r.numPoint).x > 48.3f);
}

TEST_F(StreamlineTest, DistanceControlCutsLines)
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
}

TEST_F(StreamlineTest, IndexFollowsStoresRewrittenBetweenLines)
{
    // A store rewritten behind the tracer's back gives the same line as a fresh tracer does.
    use(rotationField({60, 60, 1}, 30, 30, 0.2f), 0.4f);
    trace(makeFloat2(30, 40), 0);
    trace(makeFloat2(30, 45), 1);
    for (int k = 0; k < lines->currNumpnt; ++k)
        lines->pointArray[k] = lines->pointArray[k] + makeFloat2(0, 5);
    const int start = lines->currNumpnt;
    auto copy = std::make_unique<TracedLines>(*lines);
    trace(makeFloat2(30, 50), 2);
    std::swap(lines, copy);
    use(rotationField({60, 60, 1}, 30, 30, 0.2f), 0.4f);
    trace(makeFloat2(30, 50), 2);
    ASSERT_EQ(lines->currNumpnt, copy->currNumpnt);
    EXPECT_TRUE(std::equal(&point(start), &point(lines->currNumpnt), &copy->pointArray[start]));
}

TEST_F(StreamlineTest, ClosedOrbitsEnd)
{
    use(rotationField({60, 60, 1}, 30, 30, 0.5f));
    // A small orbit never gets 0.5 from its seed: the step bound ends each half.
    EXPECT_EQ(trace(makeFloat2(30.2f, 30), 0).numPoint, 0);
    // A large one runs round until each half holds 1000 points...
    const flowlineInfo& r = trace(makeFloat2(40, 30), 1);
    EXPECT_TRUE(r.numPoint == 1999 && r.seedIdx - r.startIdx == 999);
    // ...or, with distance control, until the halves meet after about one round.
    use(rotationField({60, 60, 1}, 30, 30, 0.5f), 0.4f);
    lines->currNumpnt = 0;
    EXPECT_NEAR(trace(makeFloat2(40, 30), 0).numPoint, 62.5, 12.5);
}

TEST_F(StreamlineTest, FullStoreTruncatesOrRefuses)
{
    use(uniformField({50, 20, 1}, makeFloat2(1, 0)));
    lines->currNumpnt = TracedLines::kMaxPoints - 5;
    EXPECT_EQ(trace(makeFloat2(20, 10), 0).numPoint, 4);
    EXPECT_EQ(lines->currNumpnt, TracedLines::kMaxPoints);
    const std::string out = printed(
        [&]
        {
            trace(makeFloat2(20, 10), 1);
            lines->currNumpnt = 0;
            trace(makeFloat2(20, 10), TracedLines::kMaxLines);
        });
    EXPECT_PRED2(mentions, out, "Streamline refused");
    EXPECT_TRUE(lines->streamlineNum == 1 && lines->currNumpnt == 0);
}

TEST(DistanceControl, GridDecidesExactlyAsTheScan)
{
    std::mt19937 gen(7);
    std::uniform_real_distribution<float> coord(-30.0f, 130.0f);
    for (const float threshold : {0.05f, 0.5f, 1.7f, 40.0f})
    {
        Tracing scan({100, 80, 1}, 0);
        scan.bDistctrl = true;
        scan.uiDistCtrl = threshold;
        PointGrid grid;
        grid.reset({100, 80, 1}, threshold);
        std::vector<float2> points(3000);
        for (int k = 0; k < 3000; ++k)
            grid.insert(points[k] =
                            k % 97 ? makeFloat2(coord(gen), coord(gen)) : makeFloat2(NAN, 1));
        grid.removeLast(500);
        // Half the queries sit next to stored points, near the threshold.
        for (int q = 0; q < 3000; ++q)
        {
            const float2 pos = q % 2 ? makeFloat2(coord(gen), coord(gen))
                                     : points[q % 2500] + 0.7f * makeFloat2(threshold, threshold);
            ASSERT_EQ(grid.anyCloserThan(pos), !scan.distanceControl(points.data(), 2500, pos));
        }
    }
}
