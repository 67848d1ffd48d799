#include "critpnt/critpntTracker.h"
#include "critpntFields.h"

#include <algorithm>
#include <cmath>

namespace
{
using Path = std::function<float2(int)>;

struct Tracked
{
    Tracked(int3 size, const std::function<float2(int, int, int)>& f) : data(makeField(size, f))
    {
        tracker.track(data.orgnvectField2dSlice.data(), size, 0, size.z - 1);
    }
    DataManipulate data;
    CritpntTracker tracker;
};

// A linear attracting focus at path(t); a node where rate(t) < 0.09.
Tracked movingFocus(
    int steps, const Path& path, float (*rate)(int) = [](int) { return 1.0f; })
{
    return Tracked({40, 40, steps},
                   [&](int i, int j, int t)
                   {
                       const float dx = i - path(t).x, dy = j - path(t).y;
                       return makeFloat2(-0.8f * dx - dy, rate(t) * dx - 0.2f * dy);
                   });
}

// A focus at c that fades to exactly zero 6 cells away: two of them leave no other zero.
float2 fadedFocus(int i, int j, float2 c)
{
    const float dx = i - c.x, dy = j - c.y, q = std::max(0.0f, 1 - (dx * dx + dy * dy) / 36);
    return (q * q) * makeFloat2(-0.2f * dx - dy, dx - 0.2f * dy);
}

void expectFollows(const critpntTrack& track, const Path& path, int steps, float tol)
{
    ASSERT_EQ(int(track.points.size()), steps);
    for (int t = 0; t < steps; ++t)
    {
        EXPECT_EQ(track.points[t].step, t);
        expectNear(track.points[t].pos, path(t).x, path(t).y, tol);
    }
}
} // namespace

TEST(CritpntTracker, TranslatingFocusAndCellBoundaryCrossingsStayOneTrack)
{
    const Path paths[] = {
        [](int t) { return makeFloat2(10.3f + 0.7f * t, 12.6f + 0.45f * t); },
        [](int t) { return makeFloat2(10.5f + 0.25f * t, 12.3f); },              // edge at t = 2
        [](int t) { return makeFloat2(10.5f + 0.25f * t, 10.5f + 0.25f * t); }}; // node at t = 2
    for (const Path& path : paths)
    {
        const Tracked run = movingFocus(20, path);
        ASSERT_EQ(run.tracker.tracks.size(), 1u);
        expectFollows(run.tracker.tracks[0], path, 20, 1e-4f);
        EXPECT_EQ(run.tracker.tracks[0].points[0].type, 2);
        EXPECT_TRUE(run.tracker.events.empty());
    }
}

// Two foci opposite each other on a circle of radius 8, turning 0.3 per step.
TEST(CritpntTracker, FeaturesOnOneCircleKeepTheirTracks)
{
    const auto path = [](int k) -> Path
    {
        return [k](int t)
        {
            return makeFloat2(20 + 8 * std::cos(0.3f * t + 0.1f + 3.14159265f * k),
                              20 + 8 * std::sin(0.3f * t + 0.1f + 3.14159265f * k));
        };
    };
    const Tracked run({40, 40, 20}, [&](int i, int j, int t)
                      { return fadedFocus(i, j, path(0)(t)) + fadedFocus(i, j, path(1)(t)); });
    ASSERT_EQ(run.tracker.tracks.size(), 2u);
    const bool bFirst = run.tracker.tracks[0].points[0].pos.x > 20;
    expectFollows(run.tracker.tracks[0], path(bFirst ? 0 : 1), 20, 0.1f);
    expectFollows(run.tracker.tracks[1], path(bFirst ? 1 : 0), 20, 0.1f);
}

// A saddle and a node at 20 -+ sqrt(mu) on row 10.5: mu(t) = 9 - 1.2 t passes zero at t = 7.5,
// so with time reversed the pair is born between steps 4 and 5 of 13.
TEST(CritpntTracker, SaddleNodePairDiesAndIsBornAsAnEvent)
{
    for (const bool bBirth : {false, true})
    {
        const Tracked run({40, 21, 13},
                          [&](int i, int j, int t)
                          {
                              const float dx = i - 20.0f, dy = j - 10.5f;
                              const float mu = 9 - 1.2f * (bBirth ? 12 - t : t);
                              return makeFloat2(dx * dx - mu + 0.05f * dx * dy,
                                                -dy * (1 + 0.05f * dx));
                          });
        const std::vector<critpntTrack>& tracks = run.tracker.tracks;
        ASSERT_EQ(tracks.size(), 2u); // each 8 steps long
        ASSERT_EQ(run.tracker.events.size(), 1u);
        const trackEvent& e = run.tracker.events[0];
        EXPECT_EQ(e.kind, bBirth ? TEK_BIRTH : TEK_DEATH);
        EXPECT_EQ(e.step, bBirth ? 5 : 7);
        expectNear(e.pos, 20, 10.5f, 0.01f);
        EXPECT_EQ(tracks[e.track].points[0].type, 4);
        EXPECT_NE(tracks[e.partner].points[0].type, 4);
        EXPECT_EQ(tracks[0].points.size(), 8u);
        EXPECT_EQ(tracks[1].points.size(), 8u);
    }
}

TEST(CritpntTracker, TypeChangeStaysInTheTrack)
{
    const Tracked run = movingFocus(
        6, [](int) { return makeFloat2(14.4f, 15.3f); }, [](int t) { return 0.5f - 0.1f * t; });
    ASSERT_EQ(run.tracker.tracks.size(), 1u);
    ASSERT_EQ(run.tracker.events.size(), 1u);
    const trackEvent& e = run.tracker.events[0];
    EXPECT_EQ(e.kind, TEK_TYPE_CHANGE);
    EXPECT_EQ(e.step, 5);
    EXPECT_EQ(e.fromType, 2);
    EXPECT_EQ(e.toType, 0);
}
