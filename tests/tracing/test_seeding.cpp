#include "tracing/tracedLines.h"
#include "tracing/tracing.h"
#include "tracingFields.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace
{
struct SeedingTest : testing::Test
{
    // Two clicks: the rake's first end, then its last.
    void rake(float2 first, float2 last, int numSeed, int flag, bool bStrml = true)
    {
        for (float2 pos : {first, last})
            tracer.getRakeStrmPthTimeEndSdPnts(firstSd, bStrml, &pos, tracer.rakeSeeds, numSeed,
                                               field.flowFieldSize, slices, flag, lines.get());
    }
    void uniform(int numX, int numY)
    {
        tracer.getUnifSdPnts(tracer.rakeSeeds, numX, numY, field.flowFieldSize, slices,
                             lines.get());
    }
    void random(Tracing& t, int numSeed)
    {
        t.getRandSdPnts(t.rakeSeeds, numSeed, t.flowFieldSize, slices, lines.get());
    }

    DataManipulate field = makeField({100, 100, 48}, [](int, int, int t)
                                     { return makeFloat2(2, 0.08f * float(t) - 1.2f); });
    float2*** slices = field.orgnvectField2dSlice.data();
    Tracing tracer{field.flowFieldSize, 0};
    std::unique_ptr<TracedLines> lines = std::make_unique<TracedLines>();
    bool firstSd = true;
};
} // namespace

// With one seed or none there is nothing between the ends: nothing is read or written.
TEST_F(SeedingTest, RakeOfAtMostOneSeedChangesNothing)
{
    for (const int numSeed : {1, 0, -3})
    {
        std::vector<float2> seeds(1, makeFloat2(4, 5));
        tracer.computeRakeSeed(seeds.data(), numSeed);
        EXPECT_EQ(seeds[0], makeFloat2(4, 5)) << numSeed;
    }
}

TEST_F(SeedingTest, RakeOfFiveSeeds)
{
    tracer.numRakeSeeds = 5;
    lines->streamlineNum = 9; // cleared by the first click
    rake(makeFloat2(10, 10), makeFloat2(30, 50), 5, 1);
    EXPECT_TRUE(firstSd);
    ASSERT_EQ(lines->streamlineNum, 5);
    for (int i = 0; i < 5; ++i)
    {
        const float2 seed = makeFloat2(10.0f + 5.0f * float(i), 10.0f + 10.0f * float(i));
        EXPECT_EQ(tracer.rakeSeeds[i], seed);
        EXPECT_EQ(lines->pointArray[lines->streamlineIndxArray[i].seedIdx], seed);
    }
    // Flag 3: timelines only; flag 4: pathlines first, the timelines after them.
    for (const int flag : {3, 4})
    {
        lines->currNumpnt = 0;
        rake(makeFloat2(10, 40), makeFloat2(10, 60), 5, flag, flag == 3);
        EXPECT_TRUE(lines->streamlineNum == 0 && lines->timelineNum == 48 &&
                    lines->pathlineNum == 5);
        const int firstTimel = lines->timelineIndxArray[0].startIdx;
        EXPECT_EQ(firstTimel > 0, flag == 4);
        EXPECT_EQ(lines->pointArray[firstTimel + 4], makeFloat2(10, 60));
    }
}

TEST_F(SeedingTest, RakeBeyondCapacity)
{
    tracer.numRakeSeeds = 1500;
    const std::string out = printed(
        [&]
        {
            rake(makeFloat2(5, 5), makeFloat2(5, 5), 0, 1);
            rake(makeFloat2(10, 10), makeFloat2(90, 90), 1500, 1);
            EXPECT_TRUE(lines->streamlineNum == TracedLines::kMaxLines &&
                        tracer.numRakeSeeds == TracedLines::kMaxLines);
            rake(makeFloat2(5, 5), makeFloat2(9, 9), 2500, 3);
        });
    EXPECT_EQ(tracer.rakeSeeds[Tracing::kMaxRakeSeeds - 1], makeFloat2(9, 9));
    EXPECT_PRED2(mentions, out, "Rake refused");
    EXPECT_PRED2(mentions, out, "500 of 1500 lines refused");
    EXPECT_PRED2(mentions, out, "500 of 2500 seeds refused");
}

TEST_F(SeedingTest, UniformGrid)
{
    // Written from point 0 with a count of the operation's own.
    uniform(3, 1);
    EXPECT_TRUE(tracer.rakeSeeds[0] == makeFloat2(25, 50) &&
                tracer.rakeSeeds[2] == makeFloat2(75, 50));
    EXPECT_TRUE(lines->streamlineNum == 3 && lines->currNumpnt == 0);
    EXPECT_EQ(lines->streamlineIndxArray[1].startIdx, lines->streamlineIndxArray[0].numPoint + 1);
    uniform(200, 1);
    EXPECT_TRUE(lines->streamlineNum == 200 && tracer.rakeSeeds[199].x == 0.0f);
    tracer.numRakeSeeds = 99 * 99;
    EXPECT_PRED2(mentions, printed([&] { uniform(99, 99); }), "8801 of 9801 lines refused");
    EXPECT_TRUE(lines->streamlineNum == TracedLines::kMaxLines &&
                tracer.numRakeSeeds == TracedLines::kMaxLines);
    EXPECT_EQ(tracer.rakeSeeds[999], makeFloat2(10, 11));
}

TEST_F(SeedingTest, RandomSeedsRepeatAndCoverTheRange)
{
    Tracing other(field.flowFieldSize, 0);
    random(tracer, 300);
    random(other, 300);
    EXPECT_TRUE(std::equal(other.rakeSeeds, other.rakeSeeds + 300, tracer.rakeSeeds));
    // On a 10 x 4 field every integer of [0, 10] is about equally likely, edges included.
    Tracing small({10, 4, 1}, 0);
    random(small, 1000);
    int counts[11] = {};
    for (int i = 0; i < 1000; ++i)
        counts[int(small.rakeSeeds[i].x)] += small.rakeSeeds[i].y <= 4.0f ? 1 : 1000;
    for (const int c : counts)
        EXPECT_NEAR(c, 91, 40);
    EXPECT_PRED2(mentions, printed([&] { random(tracer, 1500); }), "500 of 1500 lines refused");
    EXPECT_EQ(lines->streamlineNum, TracedLines::kMaxLines);
}

// Seeding without distance control on several threads writes the store that one thread
// writes: points, records, counts and messages, also where the store fills and refuses lines.
TEST(ParallelSeeding, WritesTheStoreOfOneThread)
{
    // Lines of every length spiralling into a focus; closed orbits that fill the store.
    DataManipulate focus = makeField({120, 90, 1},
                                     [](int i, int j, int) {
                                         return makeFloat2(-0.1f * (i - 60) - 0.4f * (j - 45),
                                                           0.4f * (i - 60) - 0.1f * (j - 45));
                                     });
    DataManipulate orbits = rotationField({100, 100, 1}, 50, 50, 0.5f);
    struct Case
    {
        DataManipulate* field;
        bool bRandom;
        int numSeed;
        int iNumPointsStrl;
        int uiIntvTracStp;
    };
    for (const Case& c : {Case{&focus, false, 20, 2000, 1}, Case{&focus, true, 500, 2000, 3},
                          Case{&orbits, false, 3, 600000, 5}})
    {
        std::vector<std::unique_ptr<TracedLines>> stores;
        std::vector<std::string> messages;
        for (const unsigned threads : {1u, 4u})
        {
            Tracing tracer(c.field->flowFieldSize, 0);
            tracer.threadCount = threads;
            tracer.iNumPointsStrl = c.iNumPointsStrl;
            tracer.uiIntvTracStp = c.uiIntvTracStp;
            auto& lines = stores.emplace_back(std::make_unique<TracedLines>());
            float2*** slices = c.field->orgnvectField2dSlice.data();
            messages.push_back(printed(
                [&]
                {
                    if (c.bRandom)
                        tracer.getRandSdPnts(tracer.rakeSeeds, c.numSeed, tracer.flowFieldSize,
                                             slices, lines.get());
                    else
                        tracer.getUnifSdPnts(tracer.rakeSeeds, c.numSeed, c.numSeed,
                                             tracer.flowFieldSize, slices, lines.get());
                }));
        }
        EXPECT_EQ(mentions(messages[0], "refused"), c.field == &orbits);
        for (std::size_t k = 1; k < stores.size(); ++k)
        {
            const TracedLines& one = *stores[0];
            const TracedLines& many = *stores[k];
            EXPECT_EQ(messages[k], messages[0]);
            EXPECT_EQ(many.streamlineNum, one.streamlineNum);
            EXPECT_EQ(many.currNumpnt, one.currNumpnt);
            EXPECT_EQ(std::memcmp(many.streamlineIndxArray.data(), one.streamlineIndxArray.data(),
                                  TracedLines::kMaxLines * sizeof(flowlineInfo)),
                      0);
            EXPECT_EQ(std::memcmp(many.pointArray.data(), one.pointArray.data(),
                                  TracedLines::kMaxPoints * sizeof(float2)),
                      0);
        }
    }
}
