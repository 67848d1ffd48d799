#include "common/testFields.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <tuple>
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

TEST_F(SeedingTest, RakeUniformGridAndRandomSeeds)
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
        EXPECT_EQ(lines->streamlineNum, 0);
        EXPECT_EQ(lines->timelineNum, 48);
        EXPECT_EQ(lines->pathlineNum, 5);
        const int firstTimel = lines->timelineIndxArray[0].startIdx;
        EXPECT_EQ(firstTimel > 0, flag == 4);
        EXPECT_EQ(lines->pointArray[firstTimel + 4], makeFloat2(10, 60));
    }
    tracer.numRakeSeeds = 1500;
    const std::string out = printed(
        [&]
        {
            rake(makeFloat2(5, 5), makeFloat2(5, 5), 0, 1);
            rake(makeFloat2(10, 10), makeFloat2(90, 90), 1500, 1);
            EXPECT_EQ(lines->streamlineNum, TracedLines::kMaxLines);
            EXPECT_EQ(tracer.numRakeSeeds, TracedLines::kMaxLines);
            rake(makeFloat2(5, 5), makeFloat2(9, 9), 2500, 3);
        });
    EXPECT_EQ(tracer.rakeSeeds[Tracing::kMaxRakeSeeds - 1], makeFloat2(9, 9));
    EXPECT_PRED2(mentions, out, "Rake refused");
    EXPECT_PRED2(mentions, out, "500 of 1500 lines refused");
    EXPECT_PRED2(mentions, out, "500 of 2500 seeds refused");
    // Written from point 0 of a fresh store with a count of the operation's own.
    lines = std::make_unique<TracedLines>();
    uniform(3, 1);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(tracer.rakeSeeds[k], makeFloat2(25.0f * float(k + 1), 50)) << k;
    EXPECT_EQ(lines->streamlineNum, 3);
    EXPECT_EQ(lines->currNumpnt, 0);
    EXPECT_EQ(lines->streamlineIndxArray[1].startIdx, lines->streamlineIndxArray[0].numPoint + 1);
    uniform(200, 1);
    EXPECT_EQ(lines->streamlineNum, 200);
    EXPECT_EQ(tracer.rakeSeeds[199].x, 0.0f);
    tracer.numRakeSeeds = 99 * 99;
    EXPECT_PRED2(mentions, printed([&] { uniform(99, 99); }), "8801 of 9801 lines refused");
    EXPECT_EQ(lines->streamlineNum, TracedLines::kMaxLines);
    EXPECT_EQ(tracer.numRakeSeeds, TracedLines::kMaxLines);
    EXPECT_EQ(tracer.rakeSeeds[999], makeFloat2(10, 11));
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

// Seeding on several threads writes the store that one thread writes: points, records, counts
// and messages, also where the store fills and refuses lines, and with distance control on.
TEST(ParallelSeeding, WritesTheStoreOfOneThread)
{
    // Lines of every length spiralling into a focus; closed orbits that fill the store.
    DataManipulate focus = makeField({120, 90, 1},
                                     [](int i, int j, int) {
                                         return makeFloat2(-0.1f * (i - 60) - 0.4f * (j - 45),
                                                           0.4f * (i - 60) - 0.1f * (j - 45));
                                     });
    DataManipulate orbits = rotationField({100, 100, 1}, 50, 50, 0.5f);
    // Field, seeds per side (negative: that many random seeds), points per line, step,
    // distance control (0: off).
    const std::tuple<DataManipulate*, int, int, int, float> cases[] = {{&focus, 20, 2000, 1, 0},
                                                                       {&focus, -500, 2000, 3, 0},
                                                                       {&orbits, 3, 600000, 5, 0},
                                                                       {&focus, 20, 2000, 1, 2}};
    for (const auto& c : cases)
    {
        DataManipulate& field = *std::get<0>(c);
        const int numSeed = std::get<1>(c);
        std::unique_ptr<TracedLines> stores[2];
        std::string messages[2];
        for (const int many : {0, 1})
        {
            Tracing t(field.flowFieldSize, 0);
            t.threadCount = many ? 4 : 1;
            t.iNumPointsStrl = std::get<2>(c);
            t.uiIntvTracStp = std::get<3>(c);
            t.uiDistCtrl = std::get<4>(c);
            t.bDistctrl = t.uiDistCtrl > 0;
            TracedLines* lines = (stores[many] = std::make_unique<TracedLines>()).get();
            float2*** slices = field.orgnvectField2dSlice.data();
            messages[many] = printed(
                [&]
                {
                    if (numSeed < 0)
                        t.getRandSdPnts(t.rakeSeeds, -numSeed, t.flowFieldSize, slices, lines);
                    else
                        t.getUnifSdPnts(t.rakeSeeds, numSeed, numSeed, t.flowFieldSize, slices,
                                        lines);
                });
        }
        EXPECT_EQ(mentions(messages[0], "refused"), &field == &orbits);
        EXPECT_EQ(messages[1], messages[0]);
        EXPECT_EQ(stores[1]->streamlineNum, stores[0]->streamlineNum);
        EXPECT_EQ(stores[1]->currNumpnt, stores[0]->currNumpnt);
        EXPECT_EQ(std::memcmp(stores[1]->streamlineIndxArray.data(),
                              stores[0]->streamlineIndxArray.data(),
                              TracedLines::kMaxLines * sizeof(flowlineInfo)),
                  0);
        EXPECT_EQ(std::memcmp(stores[1]->pointArray.data(), stores[0]->pointArray.data(),
                              TracedLines::kMaxPoints * sizeof(float2)),
                  0);
    }
}
