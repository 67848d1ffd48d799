// The view's window-free geometry: band vertex arrays, the bands of flowlet frames built from
// hand-made line stores, and the critical point glyphs.
#include "scene/bandBuilder.h"
#include "scene/critpntShapes.h"
#include "scene/flowletFrame.h"
#include "tracing/tracedLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{
constexpr float4 kRed{1.0f, 0.0f, 0.0f, 1.0f};
} // namespace

TEST(BandBuilder, TooFewSamplesDrawNothing)
{
    BandBuilder band;
    const float2 points[] = {{0, 0}, {1, 0}, {2, 0}};
    for (const int2& c : {int2{1, 0}, int2{3, 2}, int2{3, -1}}) // numPoint, padding
    {
        SCOPED_TRACE(testing::Message() << c.x << " points, padding " << c.y);
        EXPECT_FALSE(band.build(points, c.x, 1.0f, c.y, kRed, 0.0f, true));
        EXPECT_TRUE(band.quads().empty());
        EXPECT_TRUE(band.arrow().empty());
    }
    EXPECT_TRUE(band.build(points, 3, 1.0f, 1, kRed, 0.0f, false)); // padding 1: samples 0 and 2
    EXPECT_EQ(band.quads().size(), 4u);
}

// A long line fades only its last 1 / fading - 1 points (from the second point on), a short
// one from its start, also when every second point is left out; without fading the colour's
// alpha is kept.
TEST(BandBuilder, FadingSchedule)
{
    struct Case
    {
        int numPoint, padding;
        float alpha, fading;
        int firstDrawn;
        float front, back;
    };
    const Case cases[] = {{31, 0, 1.0f, 1.0f / 30.0f, 1, 0.0f, 29.0f / 30.0f},
                          {10, 0, 1.0f, 1.0f / 30.0f, 0, 0.7f, 1.0f},
                          {6, 1, 0.5f, 0.25f, 0, 0.0f, 0.5f},
                          {10, 0, 0.4f, 0.0f, 0, 0.4f, 0.4f},
                          {10, 0, 0.0f, 0.1f, 0, 0.0f, 0.0f}};
    BandBuilder band;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.numPoint << " points, alpha " << c.alpha);
        std::vector<float2> points;
        for (int i = 0; i < c.numPoint; ++i)
            points.push_back(float2{10.0f + 2.0f * i, 50.0f});
        ASSERT_TRUE(band.build(points.data(), c.numPoint, 5.0f, c.padding, float4{1, 0, 0, c.alpha},
                               c.fading, false));
        EXPECT_NEAR(band.quads().front().x, points[c.firstDrawn].x, 1e-4f);
        EXPECT_NEAR(band.quads().front().a, c.front, 1e-4f);
        EXPECT_NEAR(band.quads().back().a, c.back, 1e-4f);
    }
    EXPECT_EQ(band.quads()[6].a, 0.0f); // transparent stays transparent along the line
}

TEST(BandBuilder, ZeroLengthSegmentsAreSkipped)
{
    BandBuilder band;
    const float2 repeated[] = {{0, 0}, {0, 0}, {10, 0}, {10, 0}, {20, 0}};
    ASSERT_TRUE(band.build(repeated, 5, 1.0f, 0, kRed, 0.0f, true));
    EXPECT_EQ(band.quads().size(), 8u);
    EXPECT_EQ(band.quads()[0].y, 1.0f);           // a radius off the line from the first point
    EXPECT_NEAR(band.arrow()[2].x, 24.5f, 1e-4f); // the tip, 4.5 radii beyond the last point
    const float2 still[] = {{3, 3}, {3, 3}, {3, 3}};
    EXPECT_FALSE(band.build(still, 3, 1.0f, 0, kRed, 0.0f, true));
    float2 zero{0, 0};
    BandBuilder::normalize(zero);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
}

TEST(CritpntShapes, DiscRimStaysInsideTheWindow)
{
    const auto rim = CritpntShapes::discRim(float2{5, 570}, 30.0f, 600, 600);
    EXPECT_EQ(rim[0].x, 35.0f);
    EXPECT_EQ(rim[0].y, 570.0f);
    EXPECT_EQ(rim[3].y, 599.0f); // straight up, onto the row past the top
    EXPECT_EQ(rim[6].x, 0.0f);   // straight left, past the first column
    EXPECT_EQ(rim[12].x, 35.0f); // closed
}

TEST(CritpntShapes, DashesFollowTheFrame)
{
    struct Case
    {
        int numPoint, animStep;
        std::vector<int> dashes; // first, len, arrow per dash
    };
    const Case cases[] = {{100, 150, {0, 31, 1, 60, 31, 1}}, // two full dashes
                          {100, 170, {0, 51, 1, 80, 20, 0}}, // the last one cut at the end
                          {106, 170, {0, 51, 1, 80, 26, 0}}, // too short for an arrow
                          {107, 170, {0, 51, 1, 80, 27, 1}}, {1, 150, {}}, {100, -61, {}}};
    for (const Case& c : cases)
    {
        std::vector<int> actual;
        for (const CritpntShapes::Dash& d : CritpntShapes::strmletDashes(c.numPoint, c.animStep))
            actual.insert(actual.end(), {d.first, d.len, int(d.bArrow)});
        EXPECT_EQ(actual, c.dashes) << c.numPoint << " points at frame " << c.animStep;
    }
}

namespace
{
// A band by where it starts in the store (-1: a comparison curve through the particles) and
// its kind: t track, h red head, s faded stub, T pathline trail, y yellow arrow, g green
// line, d blue discs, m magenta line.
struct Band
{
    int first, numPoint;
    char kind;
};

// Lines are given by their numPoint; the store holds streamlines, pathlines, streaklines and
// then timelineSteps timelines of 4 points, in that order. The frames show time step 4
// while no line steps in time.
struct FrameCase
{
    const char* name;
    FieldLineType type;
    std::vector<int> strm, pthl, strk;
    int timelineSteps, animStep, numTimeSteps, t, animStepAfter;
    std::vector<Band> bands;
    std::vector<int> curve = {}; // store indices of the comparison curve's points
};

const std::vector<int> kTwenty(20, 100);

// clang-format off
const FrameCase kFrames[] = {
    // name, type, streamlines, pathlines, streaklines, timeline steps,
    // animStep, time steps, returned step, animStep after, bands, curve
    {"streamline frame 60: track only", FLT_STREAMLINE, {500}, {}, {}, 0,
     59, 50, -1, 60, {{0, 501, 't'}}},
    {"40-point streamline at 125 ends in a stub", FLT_STREAMLINE, {40}, {}, {}, 0,
     124, 50, -1, 125, {{0, 41, 't'}, {0, 6, 'h'}, {35, 4, 's'}}},
    {"heads every period, a train per line", FLT_STREAMLINE, {500, 500}, {}, {}, 0,
     199, 50, -1, 200, {{0, 501, 't'}, {0, 21, 'h'}, {50, 31, 'h'}, {110, 31, 'h'},
                        {501, 501, 't'}, {501, 21, 'h'}, {551, 31, 'h'}, {611, 31, 'h'}}},
    {"streakline adds its particles", FLT_STREAMLINE_STREAKLINE, {100}, {}, {5}, 0,
     0, 50, -1, 1, {{0, 101, 't'}, {101, 5, 'g'}, {101, 5, 'd'}}},
    {"pathline arrow trails its particle", FLT_PATHLINE, {}, {50}, {}, 0,
     39, 50, 3, 40, {{0, 41, 'T'}, {10, 31, 'y'}}},
    {"pathline head waits at its end", FLT_PATHLINE, {}, {50}, {}, 0,
     69, 50, 6, 70, {{0, 50, 'T'}, {40, 10, 'y'}}},
    {"pathline-streakline at 75: every fifth line, 50 frames on", FLT_PATHLINE_STREAKLINE, {}, kTwenty, {1}, 0,
     74, 50, 7, 75, {{-1, 8, 'g'}, {0, 76, 'T'}, {45, 31, 'y'}, {505, 26, 'T'}, {505, 26, 'y'}},
     {75, 166, 257, 348, 439, 530, 621, 712}},
    {"pathline-timeline joins particles, ends and seeds", FLT_PATHLINE_TIMELINE, {}, {100, 10, 0}, {}, 1,
     19, 50, 1, 20, {{-1, 3, 'm'}, {0, 21, 'T'}, {0, 21, 'y'}, {101, 10, 'T'}, {101, 10, 'y'}},
     {20, 110, 112}},
    {"timeline of the animated step", FLT_TIMELINE, {}, {}, {}, 3, 20, 10, 2, 21, {{8, 4, 'm'}}},
    {"timeline holds at the last step", FLT_TIMELINE, {}, {}, {}, 3, 100, 10, 9, 100, {}},
};

struct Look
{
    char kind;
    float4 color;
    bool bArrow, bDiscs;
};
const Look kLooks[] = {
    {'t', {1, 1, 1, 0.2f}, false, false}, {'h', {1, 0, 0, 1}, true, false},
    {'s', {1, 0, 0, 0}, false, false},    {'T', {1, 1, 1, 0.5f}, false, false},
    {'y', {1, 1, 0, 1}, true, false},     {'g', {0, 1, 0, 1}, false, false},
    {'d', {0, 0, 1, 1}, false, true},     {'m', {1, 0, 1, 1}, false, false},
};
// clang-format on

void addLines(TracedLines& lines, const std::vector<int>& numPoints,
              std::vector<flowlineInfo>& records, int& count)
{
    for (int numPoint : numPoints)
    {
        const int start = lines.currNumpnt;
        for (int k = 0; k <= numPoint; ++k)
            lines.pointArray[start + k] = makeFloat2(float(k), float(count));
        records[count++] = flowlineInfo{start, start, numPoint};
        lines.currNumpnt += numPoint + 1;
    }
}

void fill(TracedLines& lines, const FrameCase& c)
{
    addLines(lines, c.strm, lines.streamlineIndxArray, lines.streamlineNum);
    addLines(lines, c.pthl, lines.pathlineIndxArray, lines.pathlineNum);
    addLines(lines, c.strk, lines.streaklineIndxArray, lines.streaklineNum);
    const int start = lines.currNumpnt;
    for (int k = 0; k < 4 * c.timelineSteps; ++k)
        lines.pointArray[start + k] = makeFloat2(float(k % 4), float(k / 4));
    if (c.timelineSteps > 0)
        lines.timelineIndxArray[0] = timelineInfo{start, 4, 4};
    lines.timelineNum = c.timelineSteps;
}
} // namespace

TEST(FlowletFrame, FrameBands)
{
    FlowletFrame frame;
    for (const FrameCase& c : kFrames)
    {
        SCOPED_TRACE(c.name);
        TracedLines lines;
        fill(lines, c);
        int animStep = c.animStep;
        EXPECT_EQ(frame.build(lines, c.type, animStep, 0.1f, c.numTimeSteps, 4), c.t);
        EXPECT_EQ(animStep, c.animStepAfter);
        ASSERT_EQ(frame.bands().size(), c.bands.size());
        for (std::size_t b = 0; b < c.bands.size(); ++b)
        {
            const Band& want = c.bands[b];
            const FlowletBand& got = frame.bands()[b];
            SCOPED_TRACE(testing::Message() << "band " << b << " '" << want.kind << "'");
            EXPECT_EQ(got.numPoint, want.numPoint);
            for (int k = 0; want.first < 0 && k < want.numPoint; ++k)
                EXPECT_EQ(got.points[k], lines.pointArray[c.curve[k]]);
            EXPECT_EQ(want.first < 0 ? -1 : int(got.points - lines.pointArray.data()), want.first);
            const Look& look = *std::find_if(std::begin(kLooks), std::end(kLooks),
                                             [&](const Look& l) { return l.kind == want.kind; });
            float4 color = look.color;
            if (want.kind == 's')
                color.w = want.numPoint / 30.0f; // a stub fades with its length
            EXPECT_FLOAT_EQ(got.color.x, color.x);
            EXPECT_FLOAT_EQ(got.color.y, color.y);
            EXPECT_FLOAT_EQ(got.color.z, color.z);
            EXPECT_FLOAT_EQ(got.color.w, color.w);
            EXPECT_EQ(got.bArrow, look.bArrow);
            EXPECT_EQ(got.bDiscs, look.bDiscs);
            const float fading = look.bArrow || want.kind == 's' ? 1.0f / 30 : 0.0f;
            if (want.kind != 'T') // a trail fades over its whole pathline
            {
                EXPECT_FLOAT_EQ(got.fading, fading);
            }
        }
    }
}
