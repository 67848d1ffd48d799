#include "tracing/pointGrid.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"
#include "tracingFields.h"

#include <cmath>
#include <memory>
#include <random>

namespace
{
struct StreamlineTest : testing::Test
{
    void use(DataManipulate&& data)
    {
        field = std::move(data);
        tracer = std::make_unique<Tracing>(field.flowFieldSize, 0);
    }
    void control(Tracing& t, float threshold)
    {
        t.bDistctrl = true;
        t.uiDistCtrl = threshold;
    }
    void trace(float2 seed, int line, Tracing* t = nullptr, TracedLines* store = nullptr)
    {
        store = store ? store : lines.get();
        (t ? t : tracer.get())
            ->strmlTracing(seed, field.flowFieldSize, field.orgnvectField2dSlice.data(), store,
                           nullptr, nullptr, line, store->currNumpnt);
    }
    const flowlineInfo& rec(int line) const { return lines->streamlineIndxArray[line]; }
    const float2& point(int k) const { return lines->pointArray[k]; }
    const float2& lastPoint(int line) const
    {
        return point(rec(line).startIdx + rec(line).numPoint);
    }

    DataManipulate field{"", "", "", "", false};
    std::unique_ptr<Tracing> tracer;
    std::unique_ptr<TracedLines> lines = std::make_unique<TracedLines>();
};
} // namespace

TEST_F(StreamlineTest, UniformFieldSpacingAndSeedOutside)
{
    use(uniformField({50, 20, 1}, makeFloat2(1, 0)));
    lines->currNumpnt = 7;
    trace(makeFloat2(49.5f, 10), 2);
    EXPECT_TRUE(rec(2).startIdx == 7 && rec(2).seedIdx == 7 && rec(2).numPoint == 0);
    EXPECT_EQ(lines->currNumpnt, 8);
    EXPECT_EQ(lines->streamlineNum, 3);

    trace(makeFloat2(20, 10), 0);
    EXPECT_EQ(lines->currNumpnt, 8 + rec(0).numPoint + 1);
    EXPECT_TRUE(point(rec(0).seedIdx) == makeFloat2(20, 10));
    // Backward points are reversed: x rises by about six steps of 0.1 from end to end.
    for (int k = rec(0).startIdx; k < rec(0).startIdx + rec(0).numPoint; ++k)
        ASSERT_NEAR(point(k + 1).x - point(k).x, 0.55f, 0.051f) << k;
    EXPECT_LT(point(rec(0).startIdx).x, 0.6f);
    EXPECT_GT(lastPoint(0).x, 48.3f);
}

TEST_F(StreamlineTest, DistanceControlCutsLines)
{
    // Above the first spacing both halves end on their first candidate, near their own seed.
    use(uniformField({50, 20, 1}, makeFloat2(1, 0)));
    control(*tracer, 0.7f);
    trace(makeFloat2(20, 10), 0);
    EXPECT_EQ(rec(0).numPoint, 0);

    // Lines converge on y = 20: a line seeded above it stops where it comes within 0.4.
    use(makeField({150, 40, 1},
                  [](int, int j, int) { return makeFloat2(1, -0.05f * (float(j) - 20)); }));
    lines->currNumpnt = 0;
    control(*tracer, 0.4f);
    trace(makeFloat2(10, 20), 0);
    const int firstEnd = lines->currNumpnt;
    trace(makeFloat2(10, 30), 1);
    const float2 last = lastPoint(1);
    EXPECT_GT(last.x, 60.0f);
    EXPECT_LT(last.x, 90.0f);
    for (int k = rec(1).startIdx; k <= rec(1).startIdx + rec(1).numPoint; ++k)
        ASSERT_TRUE(tracer->distanceControl(lines->pointArray.data(), firstEnd, point(k)));
    float2 pos = last;
    while (std::hypot(pos.x - last.x, pos.y - last.y) <= 0.5f)
        ASSERT_TRUE(tracer->RK4(pos, 0, 1, field.flowFieldSize, field.orgnvectField2dSlice.data()));
    EXPECT_FALSE(tracer->distanceControl(lines->pointArray.data(), firstEnd, pos));
}

TEST_F(StreamlineTest, IndexFollowsStoresRewrittenBetweenLines)
{
    // A store rewritten behind the tracer's back gives the same line as a fresh tracer does.
    use(rotationField({60, 60, 1}, 30, 30, 0.2f));
    control(*tracer, 0.8f);
    trace(makeFloat2(30, 40), 0);
    trace(makeFloat2(30, 45), 1);
    for (int k = 0; k < lines->currNumpnt; ++k)
        lines->pointArray[k] = lines->pointArray[k] + makeFloat2(0, 3);
    Tracing fresh(field.flowFieldSize, 0);
    control(fresh, 0.8f);
    auto copy = std::make_unique<TracedLines>(*lines);
    trace(makeFloat2(30, 50), 2, &fresh, copy.get());
    trace(makeFloat2(30, 50), 2);
    ASSERT_EQ(lines->currNumpnt, copy->currNumpnt);
    for (int k = rec(2).startIdx; k < lines->currNumpnt; ++k)
        ASSERT_TRUE(point(k) == copy->pointArray[k]);
}

TEST_F(StreamlineTest, ClosedOrbitsEnd)
{
    use(rotationField({60, 60, 1}, 30, 30, 0.5f));
    // A small orbit never gets 0.5 from its seed: the step bound ends each half.
    trace(makeFloat2(30.2f, 30), 0);
    EXPECT_EQ(rec(0).numPoint, 0);
    // A large one runs round until each half holds 1000 points...
    trace(makeFloat2(40, 30), 1);
    EXPECT_EQ(rec(1).numPoint, 1999);
    EXPECT_EQ(rec(1).seedIdx - rec(1).startIdx, 999);
    // ...or, with distance control, until the halves meet after about one round.
    control(*tracer, 0.4f);
    lines->currNumpnt = 0;
    trace(makeFloat2(40, 30), 0);
    EXPECT_GT(rec(0).numPoint, 50);
    EXPECT_LT(rec(0).numPoint, 75);
}

TEST_F(StreamlineTest, FullStoreTruncatesOrRefuses)
{
    use(uniformField({50, 20, 1}, makeFloat2(1, 0)));
    lines->currNumpnt = TracedLines::kMaxPoints - 5;
    trace(makeFloat2(20, 10), 0);
    EXPECT_EQ(lines->currNumpnt, TracedLines::kMaxPoints);
    EXPECT_EQ(rec(0).numPoint, 4);
    const std::string out = printed(
        [&]
        {
            trace(makeFloat2(20, 10), 1);
            lines->currNumpnt = 0;
            trace(makeFloat2(20, 10), TracedLines::kMaxLines);
        });
    EXPECT_PRED2(mentions, out, "Streamline refused");
    EXPECT_EQ(lines->streamlineNum, 1);
    EXPECT_EQ(lines->currNumpnt, 0);
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
        std::vector<float2> points;
        for (int k = 0; k < 3000; ++k)
        {
            points.push_back(k % 97 ? makeFloat2(coord(gen), coord(gen)) : makeFloat2(NAN, 1));
            grid.insert(points.back());
        }
        grid.removeLast(500);
        points.resize(2500);
        // Half the queries sit next to stored points, near the threshold.
        for (int q = 0; q < 3000; ++q)
        {
            const float2 pos = q % 2 ? makeFloat2(coord(gen), coord(gen))
                                     : points[std::size_t(q) % points.size()] +
                                           makeFloat2(threshold * 0.7f, threshold * 0.7f);
            ASSERT_EQ(grid.anyCloserThan(pos), !scan.distanceControl(points.data(), 2500, pos));
        }
    }
}
