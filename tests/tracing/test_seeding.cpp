#include "tracing/tracedLines.h"
#include "tracing/tracing.h"
#include "tracingFields.h"

#include <memory>

namespace
{
struct SeedingTest : testing::Test
{
    float2*** slices() { return field.orgnvectField2dSlice.data(); }
    void click(bool& firstSd, float2 pos, int numSeed, int flag, bool bStrml = true)
    {
        tracer.getRakeStrmPthTimeEndSdPnts(firstSd, bStrml, &pos, tracer.rakeSeeds, numSeed,
                                           field.flowFieldSize, slices(), flag, lines.get());
    }
    void uniform(int numX, int numY)
    {
        tracer.getUnifSdPnts(tracer.rakeSeeds, numX, numY, field.flowFieldSize, slices(),
                             lines.get());
    }

    DataManipulate field = makeField({100, 100, 48}, [](int, int, int t)
                                     { return makeFloat2(2, 0.08f * float(t) - 1.2f); });
    Tracing tracer{field.flowFieldSize, 0};
    std::unique_ptr<TracedLines> lines = std::make_unique<TracedLines>();
};
} // namespace

TEST_F(SeedingTest, RakeOfFiveSeeds)
{
    bool firstSd = true;
    tracer.numRakeSeeds = 5;
    lines->streamlineNum = 9;
    click(firstSd, makeFloat2(10, 10), 5, 1);
    EXPECT_FALSE(firstSd);
    EXPECT_EQ(lines->streamlineNum, 0);
    click(firstSd, makeFloat2(30, 50), 5, 1);
    EXPECT_TRUE(firstSd);
    ASSERT_EQ(lines->streamlineNum, 5);
    for (int i = 0; i < 5; ++i)
    {
        const float2 seed = makeFloat2(10.0f + 5.0f * float(i), 10.0f + 10.0f * float(i));
        EXPECT_TRUE(tracer.rakeSeeds[i] == seed);
        EXPECT_TRUE(lines->pointArray[lines->streamlineIndxArray[i].seedIdx] == seed);
    }
    // Flag 3: timelines only; flag 4: pathlines too, each ending on the last timeline.
    for (const int flag : {3, 4})
    {
        lines->currNumpnt = 0;
        click(firstSd, makeFloat2(10, 40), 5, flag, flag == 3);
        click(firstSd, makeFloat2(10, 60), 5, flag, flag == 3);
        EXPECT_EQ(lines->streamlineNum, 0);
        ASSERT_EQ(lines->timelineNum, 48);
        ASSERT_EQ(lines->pathlineNum, 5);
        const int lastTimel = lines->timelineIndxArray[47].startIdx;
        EXPECT_TRUE(lines->pointArray[lines->timelineIndxArray[0].startIdx + 4] ==
                    makeFloat2(10, 60));
        for (int i = 0; i < 5; ++i)
        {
            const flowlineInfo& rec = lines->pathlineIndxArray[i];
            EXPECT_TRUE(lines->pointArray[rec.startIdx + rec.numPoint] ==
                        lines->pointArray[lastTimel + i]);
        }
    }
}

TEST_F(SeedingTest, RakeBeyondCapacity)
{
    bool firstSd = false;
    const std::string out = printed(
        [&]
        {
            click(firstSd, makeFloat2(5, 5), 0, 1);
            EXPECT_TRUE(firstSd);
            firstSd = false;
            tracer.numRakeSeeds = 1500;
            click(firstSd, makeFloat2(90, 90), 1500, 1);
            EXPECT_EQ(lines->streamlineNum, TracedLines::kMaxLines);
            EXPECT_EQ(tracer.numRakeSeeds, TracedLines::kMaxLines);
            firstSd = false;
            click(firstSd, makeFloat2(9, 9), 2500, 3);
        });
    EXPECT_TRUE(tracer.rakeSeeds[Tracing::kMaxRakeSeeds - 1] == makeFloat2(9, 9));
    EXPECT_PRED2(mentions, out, "Rake refused");
    EXPECT_PRED2(mentions, out, "500 of 1500 lines refused");
    EXPECT_PRED2(mentions, out, "500 of 2500 seeds refused");
}

TEST_F(SeedingTest, UniformGrid)
{
    uniform(3, 1);
    EXPECT_TRUE(tracer.rakeSeeds[0] == makeFloat2(25, 50));
    EXPECT_TRUE(tracer.rakeSeeds[2] == makeFloat2(75, 50));
    EXPECT_EQ(lines->streamlineNum, 3);
    // Written from point 0 with a count of the operation's own.
    EXPECT_EQ(lines->currNumpnt, 0);
    EXPECT_EQ(lines->streamlineIndxArray[1].startIdx, lines->streamlineIndxArray[0].numPoint + 1);
    uniform(200, 1);
    EXPECT_EQ(lines->streamlineNum, 200);
    EXPECT_FLOAT_EQ(tracer.rakeSeeds[199].x, 0.0f);

    tracer.numRakeSeeds = 99 * 99;
    EXPECT_PRED2(mentions, printed([&] { uniform(99, 99); }), "8801 of 9801 lines refused");
    EXPECT_EQ(lines->streamlineNum, TracedLines::kMaxLines);
    EXPECT_EQ(tracer.numRakeSeeds, TracedLines::kMaxLines);
    EXPECT_TRUE(tracer.rakeSeeds[999] == makeFloat2(10, 11));
}

TEST_F(SeedingTest, RandomSeedsRepeatAndCoverTheRange)
{
    Tracing other(field.flowFieldSize, 0);
    tracer.getRandSdPnts(tracer.rakeSeeds, 300, field.flowFieldSize, slices(), lines.get());
    other.getRandSdPnts(other.rakeSeeds, 300, field.flowFieldSize, slices(), lines.get());
    EXPECT_TRUE(std::equal(other.rakeSeeds, other.rakeSeeds + 300, tracer.rakeSeeds));
    // On a 10 x 4 field every integer of [0, 10] is about equally likely, edges included.
    Tracing small({10, 4, 1}, 0);
    int counts[11] = {};
    for (int round = 0; round < 10; ++round)
    {
        small.getRandSdPnts(small.rakeSeeds, 1000, {10, 4, 1}, slices(), lines.get());
        for (int i = 0; i < 1000; ++i)
        {
            ASSERT_LE(small.rakeSeeds[i].y, 4.0f);
            ++counts[int(small.rakeSeeds[i].x)];
        }
    }
    for (const int c : counts)
        EXPECT_NEAR(c, 909, 150);
    EXPECT_PRED2(mentions,
                 printed(
                     [&] {
                         tracer.getRandSdPnts(tracer.rakeSeeds, 1500, field.flowFieldSize, slices(),
                                              lines.get());
                     }),
                 "500 of 1500 lines refused");
    EXPECT_EQ(lines->streamlineNum, TracedLines::kMaxLines);
}
