#include "common/testFields.h"
#include "tracing/tracedLines.h"

#include <cmath>
#include <memory>

TEST(TracedLinesStore, ClearAndCommit)
{
    auto lines = std::make_unique<TracedLines>();
    lines->streamlineNum = lines->pathlineNum = lines->streaklineNum = lines->timelineNum = 3;
    lines->currNumpnt = 5;
    lines->streaklineIndxArray[7] = flowlineInfo{1, 2, 3};
    lines->pointArray[100000] = makeFloat2(3, 4);
    lines->clearLineData();
    for (const int count : {lines->streamlineNum, lines->pathlineNum, lines->streaklineNum,
                            lines->timelineNum, lines->streaklineIndxArray[7].numPoint})
        EXPECT_EQ(count, 0);
    EXPECT_EQ(lines->currNumpnt, 5);
    // Blanked points never draw and never refuse a distance test; later ones stay.
    EXPECT_TRUE(std::isnan(lines->pointArray[99999].x));
    EXPECT_TRUE(std::isnan(lines->pointArray[0].y));
    EXPECT_EQ(lines->pointArray[100000], makeFloat2(3, 4));
    auto tmp = std::make_unique<TracedLines>();
    auto committed = std::make_unique<TracedLines>();
    tmp->streamlineIndxArray[0] = flowlineInfo{0, 5, 9};
    tmp->streamlineIndxArray[1] = flowlineInfo{10, 12, 9};
    tmp->streamlineNum = 2;
    tmp->currNumpnt = 20;
    tmp->pointArray[10] = makeFloat2(7, 8);
    committed->currNumpnt = 500;
    committed->streamlineNum = 1;
    tmp->commitTmplines(committed.get());
    EXPECT_EQ(committed->streamlineNum, 3);
    EXPECT_EQ(committed->currNumpnt, 520);
    const flowlineInfo& rec = committed->streamlineIndxArray[2];
    EXPECT_EQ(rec.startIdx, 510);
    EXPECT_EQ(rec.seedIdx, 512);
    EXPECT_EQ(rec.numPoint, 9);
    EXPECT_EQ(committed->pointArray[510], makeFloat2(7, 8));
    // Room for the first line's points only.
    committed->currNumpnt = TracedLines::kMaxPoints - 15;
    EXPECT_PRED2(mentions, printed([&] { tmp->commitTmplines(committed.get()); }),
                 "1 of 2 streamlines refused");
    EXPECT_EQ(committed->streamlineNum, 4);
    EXPECT_EQ(committed->currNumpnt, TracedLines::kMaxPoints);
}
