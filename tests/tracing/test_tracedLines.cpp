#include "tracing/tracedLines.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

TEST(TracedLinesStore, NewStoreIsEmptyAndClearKeepsThePointCount)
{
    auto lines = std::make_unique<TracedLines>();
    EXPECT_EQ(lines->streamlineNum + lines->pathlineNum + lines->streaklineNum +
                  lines->timelineNum + lines->currNumpnt,
              0);
    ASSERT_EQ(lines->streamlineIndxArray.size(), 1000u);
    ASSERT_EQ(lines->pointArray.size(), 2000000u);
    EXPECT_EQ(lines->timelineIndxArray[999].numSeed, 0);
    EXPECT_EQ(lines->pathlineIndxArray[500].startIdx, 0);

    lines->streamlineNum = lines->pathlineNum = lines->streaklineNum = lines->timelineNum = 3;
    lines->currNumpnt = 120000;
    lines->streaklineIndxArray[7] = flowlineInfo{1, 2, 3};
    lines->pointArray[99999] = makeFloat2(1, 2);
    lines->pointArray[100000] = makeFloat2(3, 4);
    lines->clearLineData();
    EXPECT_EQ(lines->streamlineNum + lines->pathlineNum + lines->streaklineNum + lines->timelineNum,
              0);
    EXPECT_EQ(lines->currNumpnt, 120000);
    EXPECT_EQ(lines->streaklineIndxArray[7].numPoint, 0);
    EXPECT_TRUE(std::isnan(lines->pointArray[99999].x) && std::isnan(lines->pointArray[0].y));
    EXPECT_TRUE(lines->pointArray[100000] == makeFloat2(3, 4));
}

TEST(TracedLinesStore, CommitShiftsStreamlinesBehindTheCommittedPoints)
{
    auto tmp = std::make_unique<TracedLines>();
    auto committed = std::make_unique<TracedLines>();
    tmp->streamlineIndxArray[0] = flowlineInfo{0, 100, 299};
    tmp->streamlineIndxArray[1] = flowlineInfo{300, 310, 49};
    tmp->streamlineNum = 2;
    tmp->currNumpnt = 350;
    tmp->pointArray[300] = makeFloat2(7, 8);
    committed->currNumpnt = 500;
    committed->streamlineNum = 1;

    tmp->commitTmplines(committed.get());
    EXPECT_EQ(committed->streamlineNum, 3);
    EXPECT_EQ(committed->currNumpnt, 850);
    EXPECT_EQ(committed->streamlineIndxArray[1].startIdx, 500);
    EXPECT_EQ(committed->streamlineIndxArray[1].seedIdx, 600);
    EXPECT_EQ(committed->streamlineIndxArray[2].startIdx, 800);
    EXPECT_EQ(committed->streamlineIndxArray[2].seedIdx, 810);
    EXPECT_EQ(committed->streamlineIndxArray[2].numPoint, 49);
    EXPECT_TRUE(committed->pointArray[800] == makeFloat2(7, 8));
}

TEST(TracedLinesStore, CommitRefusesWhatTheCommittedStoreCannotHold)
{
    auto tmp = std::make_unique<TracedLines>();
    auto committed = std::make_unique<TracedLines>();
    tmp->streamlineIndxArray[0] = flowlineInfo{0, 0, 9};
    tmp->streamlineIndxArray[1] = flowlineInfo{10, 10, 9};
    tmp->streamlineNum = 2;
    tmp->currNumpnt = 20;
    committed->currNumpnt = TracedLines::kMaxPoints - 15;
    committed->streamlineNum = 5;

    testing::internal::CaptureStdout();
    tmp->commitTmplines(committed.get());
    EXPECT_NE(testing::internal::GetCapturedStdout().find("1 of 2 streamlines refused"),
              std::string::npos);
    EXPECT_EQ(committed->streamlineNum, 6);
    EXPECT_EQ(committed->currNumpnt, TracedLines::kMaxPoints);

    committed->streamlineNum = TracedLines::kMaxLines;
    committed->currNumpnt = 0;
    testing::internal::CaptureStdout();
    tmp->commitTmplines(committed.get());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(committed->streamlineNum, TracedLines::kMaxLines);
}
