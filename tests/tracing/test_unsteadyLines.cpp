#include "common/testFields.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

#include <memory>

namespace
{
// Drift to the right, turning upwards as time goes on: v = (0.5, 0.02 t).
DataManipulate drift =
    makeField({200, 100, 48}, [](int, int, int t) { return makeFloat2(0.5f, 0.02f * float(t)); });
float2*** const slices = drift.orgnvectField2dSlice.data();

float2 pathline(Tracing& t, TracedLines& store, float2 seed, int start, float end, int line)
{
    return t.pthlTracing(seed, t.pthlTraceTimeIntv, start, end, drift.flowFieldSize, slices, &store,
                         line, store.currNumpnt);
}

struct UnsteadyTest : testing::Test
{
    void timelines(float2* rake, int numSeed, float interval)
    {
        tracer.uiStrkParticleTimeIntv = interval;
        tracer.timelTracing(rake, numSeed, drift.flowFieldSize, slices, lines.get(),
                            lines->currNumpnt);
    }
    Tracing tracer{drift.flowFieldSize, 0};
    std::unique_ptr<TracedLines> lines = std::make_unique<TracedLines>();
};
} // namespace

TEST_F(UnsteadyTest, PathlinesAndStreaklineParticles)
{
    lines->currNumpnt = 3;
    const float2 end = pathline(tracer, *lines, makeFloat2(10, 10), 0, 48.0f, 1);
    const flowlineInfo& rec = lines->pathlineIndxArray[1];
    EXPECT_EQ(rec.startIdx, 3);
    EXPECT_EQ(rec.seedIdx, 3);
    EXPECT_EQ(lines->pathlineNum, 2);
    EXPECT_NEAR(rec.numPoint, 480, 1);
    EXPECT_EQ(lines->currNumpnt, 3 + rec.numPoint + 1);
    EXPECT_EQ(end, lines->pointArray[rec.startIdx + rec.numPoint]);
    EXPECT_NEAR(end.x, 34.0f, 0.1f);
    // Released outside the domain or at the end time: the seed alone.
    for (const auto& [seed, start] : {std::pair{makeFloat2(-1, 10), 0}, {makeFloat2(5, 5), 48}})
    {
        EXPECT_EQ(pathline(tracer, *lines, seed, start, 48.0f, 0), seed);
        EXPECT_EQ(lines->pathlineIndxArray[0].numPoint, 0);
    }
    // Time that stands still never reaches the end: the point budget ends the line.
    Tracing still(drift.flowFieldSize, 0);
    still.pthlTraceTimeIntv = 0.0f;
    pathline(still, *lines, makeFloat2(10, 10), 0, 48.0f, 0);
    EXPECT_EQ(lines->pathlineIndxArray[0].numPoint, 1999);
    // A particle released every time step, oldest first, 49 in all; the youngest on the seed.
    lines->currNumpnt = 0;
    const float2 seed = makeFloat2(10, 10);
    tracer.buildStreakline(seed, drift.flowFieldSize, slices, lines.get());
    const flowlineInfo& streak = lines->streaklineIndxArray[0];
    EXPECT_EQ(streak.numPoint, 49);
    EXPECT_EQ(streak.seedIdx, 48);
    EXPECT_EQ(lines->currNumpnt, 49);
    EXPECT_EQ(lines->streaklineNum, 1);
    EXPECT_EQ(lines->pointArray[48], seed);
    EXPECT_NEAR(lines->pointArray[0].x, 34.0f, 0.1f);
    for (int k = 0; k < 48; ++k)
        EXPECT_GT(lines->pointArray[k].x, lines->pointArray[k + 1].x);
    // A particle released at time 0 with an end time of 10 moves in steps 0 ... 9 only.
    float2 early = seed;
    tracer.strklTracing(early, 1.0f, 10, 0.0f, drift.flowFieldSize, slices, lines.get());
    EXPECT_NEAR(lines->pointArray[49].x, 10.5f, 0.01f);
    // A time interval of zero never reaches the end time: the step bound ends the particle.
    float2 start = seed;
    tracer.strklTracing(start, 0.0f, 48, 0.0f, drift.flowFieldSize, slices, lines.get());
    EXPECT_NEAR(lines->pointArray[50].x, 10.0f + 0.05f * Tracing::kMaxParticleSteps, 0.02f);
}

// Timeline j holds where pathlines traced until time j end. Seeds on the right leave the
// domain early, so the pathlines differ in length.
TEST_F(UnsteadyTest, TimelinesTheirCountsAndRefusals)
{
    float2 rake[10];
    for (int i = 0; i < 10; ++i)
        rake[i] = makeFloat2(150.0f + 5.0f * float(i), 10);
    lines->currNumpnt = 100;
    timelines(rake, 10, 1.0f);
    ASSERT_EQ(lines->timelineNum, 48);
    auto scratch = std::make_unique<TracedLines>();
    for (int j = 0; j < 48; ++j)
        for (int i = 0; i < 10; ++i)
        {
            scratch->currNumpnt = 0;
            ASSERT_EQ(lines->pointArray[100 + 10 * j + i],
                      pathline(tracer, *scratch, rake[i], 0, float(j), 0));
        }
    // ceil(48 / interval) timelines; a single one, the rake itself, once the interval spans all.
    for (const auto& [interval, count] : {std::pair{5.0f, 10}, {48.0f, 1}})
    {
        lines->currNumpnt = 0;
        timelines(rake, 2, interval);
        EXPECT_EQ(lines->timelineNum, count) << interval;
    }
    EXPECT_EQ(lines->pointArray[1], rake[1]);
    const std::string out = printed(
        [&]
        {
            // A store with room for three timelines and no pathline.
            lines->currNumpnt = TracedLines::kMaxPoints - 7;
            timelines(rake, 2, 1.0f);
            timelines(rake, 2, 0.0f);
        });
    EXPECT_EQ(lines->timelineNum, 3);
    EXPECT_EQ(lines->pathlineNum, 0);
    EXPECT_EQ(lines->currNumpnt, TracedLines::kMaxPoints - 1);
    EXPECT_PRED2(mentions, out, "45 of 48 timelines and 2 of 2 pathlines");
    EXPECT_PRED2(mentions, out, "Timelines refused");
}
