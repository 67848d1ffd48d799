// The bands of flowlet animation frames, built from hand-made line stores and stepped frame by
// frame without a timer or a GL context.
#include "tracing/tracedLines.h"
#include "view/flowletFrame.h"

#include <QTest>
#include <vector>

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
struct Case
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
const Case kCases[] = {
    // name, type, streamlines, pathlines, streaklines, timeline steps,
    // animStep, time steps, returned step, animStep after, bands, curve
    {"streamline frame 60: track only", FLT_STREAMLINE, {500}, {}, {}, 0,
     59, 50, -1, 60, {{0, 501, 't'}}},
    {"streamline frame 61: first head", FLT_STREAMLINE, {500}, {}, {}, 0,
     60, 50, -1, 61, {{0, 501, 't'}, {0, 2, 'h'}}},
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
    {"pathline holds at the last step", FLT_PATHLINE, {}, {600}, {}, 0,
     500, 50, 49, 500, {{0, 501, 'T'}, {470, 31, 'y'}}},
    {"pathline-streakline at 25: one line released", FLT_PATHLINE_STREAKLINE, {}, kTwenty, {1}, 0,
     24, 50, 2, 25, {{-1, 3, 'g'}, {0, 26, 'T'}, {0, 26, 'y'}}, {25, 116, 207}},
    {"pathline-streakline at 75: every fifth line, 50 frames on", FLT_PATHLINE_STREAKLINE, {}, kTwenty, {1}, 0,
     74, 50, 7, 75, {{-1, 8, 'g'}, {0, 76, 'T'}, {45, 31, 'y'}, {505, 26, 'T'}, {505, 26, 'y'}},
     {75, 166, 257, 348, 439, 530, 621, 712}},
    {"pathline-timeline joins particles, ends and seeds", FLT_PATHLINE_TIMELINE, {}, {100, 10, 0}, {}, 1,
     19, 50, 1, 20, {{-1, 3, 'm'}, {0, 21, 'T'}, {0, 21, 'y'}, {101, 10, 'T'}, {101, 10, 'y'}},
     {20, 110, 112}},
    {"timeline of the animated step", FLT_TIMELINE, {}, {}, {}, 3, 20, 10, 2, 21, {{8, 4, 'm'}}},
    {"untraced timeline step draws nothing", FLT_TIMELINE, {}, {}, {}, 3, 30, 10, 3, 31, {}},
    {"timeline holds at the last step", FLT_TIMELINE, {}, {}, {}, 3, 100, 10, 9, 100, {}},
    {"no streamlines: counter kept", FLT_STREAMLINE, {}, {}, {}, 0, 7, 10, -1, 7, {}},
    {"no pathlines: displayed step", FLT_PATHLINE_STREAKLINE, {}, {}, {}, 0, 7, 10, 4, 7, {}},
    {"streaklines alone have no flowlets", FLT_STREAKLINE, {100}, {100}, {5}, 0, 3, 10, -1, 3, {}},
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

void fill(TracedLines& lines, const Case& c)
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

bool sameColor(const float4& a, const float4& b)
{
    return qFuzzyCompare(1 + a.x, 1 + b.x) && qFuzzyCompare(1 + a.y, 1 + b.y) &&
           qFuzzyCompare(1 + a.z, 1 + b.z) && qFuzzyCompare(1 + a.w, 1 + b.w);
}
} // namespace

class TestFlowletFrame : public QObject
{
    Q_OBJECT

private slots:
    void noFlowletDuringTheFirst60Frames();
    void frameBands_data();
    void frameBands();

private:
    FlowletFrame frame;
};

void TestFlowletFrame::noFlowletDuringTheFirst60Frames()
{
    TracedLines lines;
    fill(lines, kCases[0]);
    int animStep = 0;
    for (int f = 1; f <= 60; ++f)
    {
        frame.build(lines, FLT_STREAMLINE, animStep, 0.1f, 1, 0);
        QCOMPARE(animStep, f);
        QCOMPARE(frame.bands().size(), std::size_t(1));
    }
    frame.build(lines, FLT_STREAMLINE, animStep, 0.1f, 1, 0);
    QCOMPARE(frame.bands().size(), std::size_t(2));
}

void TestFlowletFrame::frameBands_data()
{
    QTest::addColumn<int>("row");
    for (int r = 0; r < int(std::size(kCases)); ++r)
        QTest::newRow(kCases[r].name) << r;
}

void TestFlowletFrame::frameBands()
{
    QFETCH(int, row);
    const Case& c = kCases[row];
    TracedLines lines;
    fill(lines, c);
    int animStep = c.animStep;
    QCOMPARE(frame.build(lines, c.type, animStep, 0.1f, c.numTimeSteps, 4), c.t);
    QCOMPARE(animStep, c.animStepAfter);
    QCOMPARE(frame.bands().size(), c.bands.size());
    for (std::size_t b = 0; b < c.bands.size(); ++b)
    {
        const Band& want = c.bands[b];
        const FlowletBand& got = frame.bands()[b];
        QCOMPARE(got.numPoint, want.numPoint);
        if (want.first >= 0)
            QCOMPARE(int(got.points - lines.pointArray.data()), want.first);
        else
            for (int k = 0; k < want.numPoint; ++k)
                QCOMPARE(got.points[k], lines.pointArray[c.curve[k]]);
        const Look& look = *std::find_if(std::begin(kLooks), std::end(kLooks),
                                         [&](const Look& l) { return l.kind == want.kind; });
        float4 color = look.color;
        if (want.kind == 's')
            color.w = want.numPoint / 30.0f; // a stub fades with its length
        QVERIFY2(sameColor(got.color, color), &want.kind);
        QCOMPARE(got.bArrow, look.bArrow);
        QCOMPARE(got.bDiscs, look.bDiscs);
        if (want.kind != 'T') // a trail fades over its whole pathline
            QCOMPARE(got.fading, look.bArrow || want.kind == 's' ? 1.0f / 30 : 0.0f);
    }
}

QTEST_APPLESS_MAIN(TestFlowletFrame)
#include "test_flowletFrame.moc"
