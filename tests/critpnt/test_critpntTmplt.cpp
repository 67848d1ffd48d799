#include "critpntFields.h"

#include <cmath>
#include <tuple>

namespace
{
int3 size100{100, 100, 1};

// Expects seed at distance rho from p in direction angle.
void expectPolar(const float2& seed, const float2& p, float rho, float angle)
{
    EXPECT_NEAR(seed.x, p.x + rho * std::cos(angle), 1e-4f);
    EXPECT_NEAR(seed.y, p.y + rho * std::sin(angle), 1e-4f);
}

// A uniform flow along x over 100 x 100 nodes.
Slice uniform100()
{
    return Slice(100, 100, [](float, float) { return makeFloat2(1, 0); });
}
} // namespace

TEST(FocusAndNodeTemplates, CircleRaysAndTenDirectionsInsideTheField)
{
    Slice s = uniform100();
    // Two foci 20 apart: r = 1 for both.
    std::vector<float2> foci = {makeFloat2(30.5f, 40.5f), makeFloat2(50.5f, 40.5f)};
    s.setCandidates(foci);
    std::vector<float2> seeds(kCritpntCapacity);
    int cnt = 0;
    s.detect.genTmpltCircle(foci.data(), 2, 36.0f, seeds.data(), cnt, &size100);
    ASSERT_EQ(cnt, 8);
    for (int n = 0; n < 2; ++n)
    {
        EXPECT_TRUE(seeds[4 * n] == foci[n] + makeFloat2(0.1f, 0.1f));
        for (int k = 1; k <= 3; ++k)
            expectPolar(seeds[4 * n + k], foci[n], 1.0f + 2.0f * k, 6.28318f / 36.0f);
    }
    // Two nodes 8 apart: rings of radius 4; the first one reaches the left border.
    const float2 rep = makeFloat2(4, 50), attr = makeFloat2(12, 50);
    s.setCandidates({rep, attr});
    critpntArray& t = *s.detect.critpoints;
    t.repNode[0] = rep;
    t.attrNode[0] = attr;
    s.detect.repNodeCnt = s.detect.attrNodeCnt = 1;
    s.detect.genAllTmplt(s.f, 36.0f, &size100);
    ASSERT_EQ(t.attrNodeTmpltSeedsCnt, 10);
    for (int i = 0; i < 10; ++i)
        expectPolar(t.attrNodeTmpltSeeds[i], attr, 4.0f, i * 0.628318f);
    // 180 degrees lands on x = 0, which is not strictly inside.
    EXPECT_EQ(t.repNodeTmpltSeedsCnt, 9);
}

TEST(SaddleTemplate, ThreeRingsAroundTheTwoLeastRadialDirectionsInsideTheGrid)
{
    Slice s = uniform100();
    // Nearest other candidate 16 away: rings at 4, 6, 8, direction radius 2.
    float2 p = makeFloat2(30.5f, 30.5f);
    s.setCandidates({p, makeFloat2(46.5f, 30.5f)});
    std::vector<float2> seeds(kCritpntCapacity);
    int cnt = 0;
    s.detect.genTmpltSaddle(s.f, &p, 1, seeds.data(), cnt, &size100);
    ASSERT_EQ(cnt, 12);
    // Per ring: 45 and 225 degrees beyond the first least radial direction, then beyond the
    // second, in steps of ten degrees.
    int m[2];
    s.detect.getTwoSeedStartpntsSaddle(m, s.f, p, 2, nullptr, cnt);
    const float turns[4] = {m[0] + 4.5f, m[0] + 22.5f, m[1] + 4.5f, m[1] + 22.5f};
    for (int k = 0; k < 12; ++k)
        expectPolar(seeds[k], p, 4.0f + 2.0f * (k / 4), turns[k % 4] * 0.17453277f);
    // Flow, position, radius, then the two directions expected.
    const std::tuple<float2, float2, int, int, int> cases[] = {
        // All products equal: the first direction serves for both.
        {makeFloat2(0, 0), makeFloat2(4.5f, 4.5f), 10, 0, 0},
        // A radius below 50 still samples off the point (0.2 units here).
        {makeFloat2(1, 0), makeFloat2(4.5f, 4.5f), 10, 9, 27},
        // 180 degrees would be least radial, but its sample lies off the grid.
        {makeFloat2(0, 1), makeFloat2(0.5f, 5.5f), 50, 0, 1},
        // Near the far corner: 0 and 170 degrees sample past the last column and row.
        {makeFloat2(0, 1), makeFloat2(8.9f, 8.9f), 150, 18, 19},
    };
    for (const auto& [flow, pos, radius, first, second] : cases)
    {
        Slice grid(10, 10, [v = flow](float, float) { return v; });
        int dirs[2], unusedCnt = 0;
        grid.detect.getTwoSeedStartpntsSaddle(dirs, grid.f, pos, radius, nullptr, unusedCnt);
        EXPECT_EQ(dirs[0], first) << pos.x << " " << radius;
        EXPECT_EQ(dirs[1], second) << pos.x << " " << radius;
    }
}

TEST(TemplateCapacity, SeedTablesStopWhenFull)
{
    CritpntDetect detect;
    // Each lone focus keeps its offset seed: 2100 of them overfill the table.
    std::vector<float2> foci(2100);
    for (std::size_t n = 0; n < foci.size(); ++n)
        foci[n] = makeFloat2(1.0f + n % 90, 1.0f + float(n / 90));
    std::vector<float2> seeds(kCritpntCapacity);
    int cnt = 0;
    detect.genTmpltCircle(foci.data(), int(foci.size()), 36.0f, seeds.data(), cnt, &size100);
    EXPECT_EQ(cnt, kCritpntCapacity);
}
