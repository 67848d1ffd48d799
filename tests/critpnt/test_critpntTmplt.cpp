#include "critpnt/critpntDetect.h"
#include "critpntFields.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace
{
constexpr float kTenDegrees = 0.17453277f;

float dist(const float2& a, const float2& b)
{
    const float2 d = a - b;
    return std::sqrt(d * d);
}

void setCandidates(CritpntDetect& detect, const std::vector<float2>& points)
{
    detect.allPntCnt = int(points.size());
    for (std::size_t n = 0; n < points.size(); ++n)
        detect.critpoints->allCritical[n] = points[n];
}

DataManipulate uniformField(int w, int h, float2 v)
{
    return sampledField(w, h, [v](float, float) { return v; });
}
} // namespace

TEST(TemplateSize, NearestOtherCandidateIgnoringExactDuplicates)
{
    CritpntDetect detect;
    int3 size{100, 100, 1};
    const float2 p = makeFloat2(40.25f, 50.5f);
    setCandidates(detect, {p});
    EXPECT_EQ(detect.genTmpltsz(p, &size), 10000.0f);
    setCandidates(detect, {p, p, makeFloat2(43.25f, 54.5f), makeFloat2(10, 10)});
    EXPECT_NEAR(detect.genTmpltsz(p, &size), 5.0f, 1e-5f);
}

TEST(CircleTemplate, SeedsAlongOneRayAtThreeFiveAndSevenRadii)
{
    CritpntDetect detect;
    int3 size{100, 100, 1};
    // Two foci 20 apart: r = 1 for both.
    std::vector<float2> foci = {makeFloat2(30.5f, 40.5f), makeFloat2(50.5f, 40.5f)};
    setCandidates(detect, foci);
    std::vector<float2> seeds(kCritpntCapacity);
    int cnt = 0;
    detect.genTmpltCircle(foci.data(), 2, 36.0f, seeds.data(), cnt, &size);
    ASSERT_EQ(cnt, 8);
    const float a = 6.28318f / 36.0f;
    for (int n = 0; n < 2; ++n)
    {
        const float2 p = foci[n];
        EXPECT_TRUE(seeds[4 * n] == p + makeFloat2(0.1f, 0.1f));
        for (int k = 1; k <= 3; ++k)
        {
            const float rho = 1.0f + 2.0f * k;
            EXPECT_NEAR(seeds[4 * n + k].x, p.x + rho * std::cos(a), 1e-4f);
            EXPECT_NEAR(seeds[4 * n + k].y, p.y + rho * std::sin(a), 1e-4f);
        }
    }

    // Alone, the template radius is 500: only the offset seed is left, even off the field.
    const float2 lone = makeFloat2(99.95f, 50);
    setCandidates(detect, {lone});
    cnt = 0;
    detect.genTmpltCircle(foci.data(), 0, 36.0f, seeds.data(), cnt, &size);
    EXPECT_EQ(cnt, 0);
    detect.genTmpltCircle(const_cast<float2*>(&lone), 1, 36.0f, seeds.data(), cnt, &size);
    ASSERT_EQ(cnt, 1);
    EXPECT_GT(seeds[0].x, 100.0f);
}

TEST(NodeTemplate, RingHalfwayToTheNearestPointKeepsSeedsInsideTheField)
{
    CritpntDetect detect;
    DataManipulate data = uniformField(100, 100, makeFloat2(1, 0));
    int3 size = data.flowFieldSize;
    // Two nodes 8 apart: rings of radius 4; the first one reaches over the left border.
    const float2 rep = makeFloat2(2, 50), attr = makeFloat2(10, 50);
    setCandidates(detect, {rep, attr});
    critpntArray& t = *detect.critpoints;
    t.repNode[0] = rep;
    t.attrNode[0] = attr;
    detect.repNodeCnt = detect.attrNodeCnt = 1;
    detect.repFocusCnt = detect.attrFocusCnt = detect.centerCnt = detect.saddlePntCnt = 0;
    t.repFocusTmpltSeedsCnt = t.saddlePntTmpltSeedsCnt = 99;

    // Nodes always get ten directions, whatever the resolution asked for.
    detect.genAllTmplt(data.orgnvectField2dSlice[0], 36.0f, &size);
    EXPECT_EQ(t.repFocusTmpltSeedsCnt, 0);
    EXPECT_EQ(t.saddlePntTmpltSeedsCnt, 0);
    ASSERT_EQ(t.attrNodeTmpltSeedsCnt, 10);
    for (int i = 0; i < 10; ++i)
    {
        EXPECT_NEAR(dist(t.attrNodeTmpltSeeds[i], attr), 4.0f, 1e-5f);
        const float angle =
            std::atan2(t.attrNodeTmpltSeeds[i].y - attr.y, t.attrNodeTmpltSeeds[i].x - attr.x);
        EXPECT_NEAR(std::remainder(angle - i * 0.628318f, 6.28318f), 0.0f, 1e-4f);
    }
    // 144, 180 and 216 degrees fall left of x = 0.
    ASSERT_EQ(t.repNodeTmpltSeedsCnt, 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_GT(t.repNodeTmpltSeeds[i].x, 0.0f);

    // A lone node's ring (radius 5000) misses the field entirely.
    setCandidates(detect, {attr});
    int cnt = 0;
    detect.genTmpltSrc(t.attrNode, 1, 10.0f, t.attrNodeTmpltSeeds, cnt, &size);
    EXPECT_EQ(cnt, 0);
}

TEST(SaddleTemplate, ThreeRingsInTheTwoLeastRadialDirections)
{
    CritpntDetect detect;
    DataManipulate data = uniformField(100, 100, makeFloat2(1, 0));
    int3 size = data.flowFieldSize;
    // Nearest other candidate 16 away: rings at 4, 6, 8, direction radius 2.
    const float2 p = makeFloat2(30.5f, 30.5f);
    setCandidates(detect, {p, makeFloat2(46.5f, 30.5f)});
    std::vector<float2> seeds(kCritpntCapacity);
    int cnt = 0;
    detect.genTmpltSaddle(data.orgnvectField2dSlice[0], const_cast<float2*>(&p), 1, seeds.data(),
                          cnt, &size);
    ASSERT_EQ(cnt, 12);
    int minIndx[2];
    float2* unused = nullptr;
    detect.getTwoSeedStartpntsSaddle(minIndx, data.orgnvectField2dSlice[0], p, 2, unused, cnt);
    ASSERT_NE(minIndx[0], minIndx[1]);
    // Per ring: 45 and 225 degrees beyond the first direction, then beyond the second.
    float expectedAngles[4];
    for (int m = 0; m < 2; ++m)
    {
        expectedAngles[2 * m] = (minIndx[m] + 4.5f) * kTenDegrees;
        expectedAngles[2 * m + 1] = (minIndx[m] + 22.5f) * kTenDegrees;
    }
    for (int ring = 0; ring < 3; ++ring)
        for (int k = 0; k < 4; ++k)
        {
            const float2 s = seeds[4 * ring + k];
            const float R = 4.0f + 2.0f * ring;
            EXPECT_NEAR(s.x, p.x + R * std::cos(expectedAngles[k]), 1e-4f);
            EXPECT_NEAR(s.y, p.y + R * std::sin(expectedAngles[k]), 1e-4f);
        }
}

TEST(SaddleDirections, LeastRadialSamplesInsideTheGrid)
{
    CritpntDetect detect;
    float2* unused = nullptr;
    int unusedCnt = 0;
    int minIndx[2] = {-1, -1};

    // All products equal: the first direction serves for both.
    DataManipulate still = uniformField(10, 10, makeFloat2(0, 0));
    detect.fieldSize = makeInt2(10, 10);
    detect.getTwoSeedStartpntsSaddle(minIndx, still.orgnvectField2dSlice[0], makeFloat2(4.5f, 4.5f),
                                     10, unused, unusedCnt);
    EXPECT_EQ(minIndx[0], 0);
    EXPECT_EQ(minIndx[1], 0);

    // A radius below 50 still samples off the point (0.2 units here).
    DataManipulate along = uniformField(10, 10, makeFloat2(1, 0));
    detect.getTwoSeedStartpntsSaddle(minIndx, along.orgnvectField2dSlice[0], makeFloat2(4.5f, 4.5f),
                                     10, unused, unusedCnt);
    EXPECT_EQ(minIndx[0], 9);
    EXPECT_EQ(minIndx[1], 27);

    // Flow along y next to the left border: 180 degrees would be least radial but its
    // sample lies off the grid, so 10 degrees follows 0.
    DataManipulate up = uniformField(10, 10, makeFloat2(0, 1));
    detect.getTwoSeedStartpntsSaddle(minIndx, up.orgnvectField2dSlice[0], makeFloat2(0.5f, 5.5f),
                                     50, unused, unusedCnt);
    EXPECT_EQ(minIndx[0], 0);
    EXPECT_EQ(minIndx[1], 1);

    // Samples beyond the last row and column are never read.
    detect.getTwoSeedStartpntsSaddle(minIndx, up.orgnvectField2dSlice[0], makeFloat2(8.9f, 8.9f),
                                     150, unused, unusedCnt);
    EXPECT_GE(minIndx[0], 0);
    EXPECT_LT(minIndx[1], 36);
}

TEST(TemplateCapacity, SeedTablesStopWhenFull)
{
    CritpntDetect detect;
    int3 size{100, 100, 1};
    setCandidates(detect, {});
    // Each lone focus keeps its offset seed: 2100 of them overfill the table.
    std::vector<float2> foci(2100);
    for (std::size_t n = 0; n < foci.size(); ++n)
        foci[n] = makeFloat2(1.0f + n % 90, 1.0f + float(n / 90));
    std::vector<float2> seeds(kCritpntCapacity);
    int cnt = 0;
    detect.genTmpltCircle(foci.data(), int(foci.size()), 36.0f, seeds.data(), cnt, &size);
    EXPECT_EQ(cnt, kCritpntCapacity);

    // A huge ring resolution fills the table and returns.
    const float2 p = makeFloat2(50, 50);
    setCandidates(detect, {p, makeFloat2(58, 50)});
    cnt = 0;
    detect.genTmpltSrc(const_cast<float2*>(&p), 1, 1e9f, seeds.data(), cnt, &size);
    EXPECT_EQ(cnt, kCritpntCapacity);
}

TEST(FullRun, RerunOnTheSameFieldGivesTheSameTables)
{
    // Two bumps with opposite rotation leave a focus each and nothing else.
    const BumpFeature left{{makeFloat2(20.3f, 20.6f), 0.03f, -0.1f, 0.1f, 0.03f}, 16};
    const BumpFeature right{{makeFloat2(55.7f, 20.2f), -0.03f, 0.1f, -0.1f, -0.03f}, 16};
    DataManipulate data =
        sampledField(80, 45, [&](float x, float y) { return left(x, y) + right(x, y); });
    CritpntDetect detect;
    detect.genAllCritpntData(data.orgnvectField2dSlice[0], 36.0f, &data.flowFieldSize);
    ASSERT_EQ(detect.repFocusCnt, 1);
    ASSERT_EQ(detect.attrFocusCnt, 1);
    const int seeds = detect.critpoints->repFocusTmpltSeedsCnt;
    EXPECT_EQ(seeds, 4);
    detect.clearCritpntData();
    detect.genAllCritpntData(data.orgnvectField2dSlice[0], 36.0f, &data.flowFieldSize);
    EXPECT_EQ(detect.allPntCnt, 2);
    EXPECT_EQ(detect.repFocusCnt, 1);
    EXPECT_EQ(detect.critpoints->repFocusTmpltSeedsCnt, seeds);
    EXPECT_EQ(detect.critpoints->attrFocusTmpltSeedsCnt, 4);
}
