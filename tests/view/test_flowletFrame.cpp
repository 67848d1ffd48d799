// The bands of flowlet animation frames, built from hand-made line stores and stepped frame by
// frame without a timer or a GL context.
#include "tracing/tracedLines.h"
#include "view/flowletFrame.h"

#include <QTest>
#include <memory>

namespace
{
// Appends a streamline or pathline record of numPoint + 1 points (k, y) and returns its start.
int addLine(TracedLines& lines, std::vector<flowlineInfo>& records, int& count, int numPoint,
            float y)
{
    const int start = lines.currNumpnt;
    for (int k = 0; k <= numPoint; ++k)
        lines.pointArray[start + k] = makeFloat2(float(k), y);
    records[count++] = flowlineInfo{start, start, numPoint};
    lines.currNumpnt += numPoint + 1;
    return start;
}

int addStreamline(TracedLines& lines, int numPoint)
{
    return addLine(lines, lines.streamlineIndxArray, lines.streamlineNum, numPoint, 0.0f);
}

int addPathline(TracedLines& lines, int numPoint, float y = 0.0f)
{
    return addLine(lines, lines.pathlineIndxArray, lines.pathlineNum, numPoint, y);
}

// Index of a band's first point in the store.
int first(const TracedLines& lines, const FlowletBand& band)
{
    return int(band.points - lines.pointArray.data());
}

bool sameColor(const float4& a, const float4& b)
{
    return qFuzzyCompare(1 + a.x, 1 + b.x) && qFuzzyCompare(1 + a.y, 1 + b.y) &&
           qFuzzyCompare(1 + a.z, 1 + b.z) && qFuzzyCompare(1 + a.w, 1 + b.w);
}

const float kStep = 1.0f / 30;
} // namespace

class TestFlowletFrame : public QObject
{
    Q_OBJECT

private slots:
    void init() { lines = std::make_unique<TracedLines>(); }
    void streamlineTrainBuildsUpHeadByHead();
    void shortStreamlineEndsInAFadedFlowlet();
    void streamlineHeadsSitEveryPeriod();
    void emptyStoreNeitherDrawsNorCounts();
    void streamlineStreaklineAddsParticles();
    void pathlineStopsAtTheLastTimeStep();
    void pathlineArrowTrailsItsParticle();
    void pathlineStreaklineReleasesLinesInTurn();
    void pathlineTimelineJoinsTheParticles();
    void timelineFollowsTheTimeStep();
    void streaklinesAloneHaveNoFlowlets();

private:
    std::unique_ptr<TracedLines> lines;
    FlowletFrame frame;
};

// No head lies below the counter during the first 60 frames; at frame 61 the first flowlet
// spans points 0 and 1 with an arrowhead.
void TestFlowletFrame::streamlineTrainBuildsUpHeadByHead()
{
    addStreamline(*lines, 500);
    int animStep = 0;
    for (int f = 1; f <= 60; ++f)
    {
        QCOMPARE(frame.build(*lines, FLT_STREAMLINE, animStep, 0.1f, 1, 0), -1);
        QCOMPARE(animStep, f);
        QCOMPARE(frame.bands().size(), std::size_t(1));
    }
    const FlowletBand& track = frame.bands()[0];
    QCOMPARE(track.numPoint, 501);
    QVERIFY(sameColor(track.color, makeFloat4(1, 1, 1, 0.2f)));
    QCOMPARE(track.fading, 0.0f);
    QVERIFY(!track.bArrow);

    frame.build(*lines, FLT_STREAMLINE, animStep, 0.1f, 1, 0);
    QCOMPARE(animStep, 61);
    QCOMPARE(frame.bands().size(), std::size_t(2));
    const FlowletBand& head = frame.bands()[1];
    QCOMPARE(first(*lines, head), 0);
    QCOMPARE(head.numPoint, 2);
    QVERIFY(head.bArrow);
    QVERIFY(sameColor(head.color, makeFloat4(1, 0, 0, 1)));
    QCOMPARE(head.fading, 0.033333335f);
}

// numPoint 40 at frame 125: points 0 to 5 with a head, then the faded stub 35 to 38.
void TestFlowletFrame::shortStreamlineEndsInAFadedFlowlet()
{
    addStreamline(*lines, 40);
    int animStep = 124;
    frame.build(*lines, FLT_STREAMLINE, animStep, 0.1f, 1, 0);
    QCOMPARE(animStep, 125);
    QCOMPARE(frame.bands().size(), std::size_t(3));
    const FlowletBand& head = frame.bands()[1];
    QCOMPARE(first(*lines, head), 0);
    QCOMPARE(head.numPoint, 6);
    QVERIFY(head.bArrow);
    const FlowletBand& stub = frame.bands()[2];
    QCOMPARE(first(*lines, stub), 35);
    QCOMPARE(stub.numPoint, 4);
    QVERIFY(!stub.bArrow);
    QVERIFY(sameColor(stub.color, makeFloat4(1, 0, 0, 4 / 30.0f)));
    QCOMPARE(stub.fading, kStep);
}

// At frame 200 on a long line the heads sit at 20, 80 and 140; each later flowlet spans the
// 30 segments behind its head. A second line gets its own train from its own start.
void TestFlowletFrame::streamlineHeadsSitEveryPeriod()
{
    addStreamline(*lines, 500);
    const int second = addStreamline(*lines, 500);
    int animStep = 199;
    frame.build(*lines, FLT_STREAMLINE, animStep, 0.1f, 1, 0);
    const auto& bands = frame.bands();
    QCOMPARE(bands.size(), std::size_t(8));
    const int firsts[] = {0, 0, 50, 110};
    const int counts[] = {501, 21, 31, 31};
    for (int i = 0; i < 4; ++i)
    {
        QCOMPARE(first(*lines, bands[i]), firsts[i]);
        QCOMPARE(bands[i].numPoint, counts[i]);
        QCOMPARE(first(*lines, bands[4 + i]), second + firsts[i]);
        QVERIFY(bands[i].bArrow == (i > 0));
    }
}

void TestFlowletFrame::emptyStoreNeitherDrawsNorCounts()
{
    for (FieldLineType type : {FLT_STREAMLINE, FLT_PATHLINE, FLT_TIMELINE, FLT_PATHLINE_TIMELINE,
                               FLT_STREAMLINE_STREAKLINE, FLT_PATHLINE_STREAKLINE})
    {
        int animStep = 7;
        const int t = frame.build(*lines, type, animStep, 0.1f, 10, 4);
        QCOMPARE(animStep, 7);
        QVERIFY(frame.bands().empty());
        // Without lines the frames show the displayed time step.
        QCOMPARE(t, type == FLT_STREAMLINE || type == FLT_STREAMLINE_STREAKLINE ? -1 : 4);
    }
}

void TestFlowletFrame::streamlineStreaklineAddsParticles()
{
    addStreamline(*lines, 100);
    const int start = lines->currNumpnt;
    for (int k = 0; k < 5; ++k)
        lines->pointArray[start + k] = makeFloat2(float(k), 3.0f);
    lines->streaklineIndxArray[0] = flowlineInfo{start, start + 4, 5};
    lines->streaklineNum = 1;
    int animStep = 0;
    frame.build(*lines, FLT_STREAMLINE_STREAKLINE, animStep, 0.1f, 1, 0);
    QCOMPARE(animStep, 1);
    const auto& bands = frame.bands();
    QCOMPARE(bands.size(), std::size_t(3));
    QCOMPARE(first(*lines, bands[1]), start);
    QCOMPARE(bands[1].numPoint, 5);
    QVERIFY(sameColor(bands[1].color, makeFloat4(0, 1, 0, 1)));
    QVERIFY(bands[2].bDiscs);
    QCOMPARE(bands[2].numPoint, 5);
    QVERIFY(sameColor(bands[2].color, makeFloat4(0, 0, 1, 1)));
}

// With time interval 0.1 on 50 time steps the counter stops at 500 (t = 50 falls back to 49).
void TestFlowletFrame::pathlineStopsAtTheLastTimeStep()
{
    addPathline(*lines, 600);
    int animStep = 0;
    QCOMPARE(frame.build(*lines, FLT_PATHLINE, animStep, 0.1f, 50, 0), 0);
    QCOMPARE(animStep, 1);
    animStep = 499;
    QCOMPARE(frame.build(*lines, FLT_PATHLINE, animStep, 0.1f, 50, 0), 49);
    QCOMPARE(animStep, 500);
    for (int f = 0; f < 3; ++f)
    {
        QCOMPARE(frame.build(*lines, FLT_PATHLINE, animStep, 0.1f, 50, 0), 49);
        QCOMPARE(animStep, 500);
    }
}

// The yellow arrow spans the 30 segments behind the particle over a white trail from the
// seed; at the line's end the head waits on the last but one point and the arrow shrinks.
void TestFlowletFrame::pathlineArrowTrailsItsParticle()
{
    addPathline(*lines, 50);
    int animStep = 39;
    frame.build(*lines, FLT_PATHLINE, animStep, 0.1f, 50, 0);
    QCOMPARE(frame.bands().size(), std::size_t(2));
    const FlowletBand& trail = frame.bands()[0];
    QCOMPARE(first(*lines, trail), 0);
    QCOMPARE(trail.numPoint, 41);
    QVERIFY(sameColor(trail.color, makeFloat4(1, 1, 1, 0.5f)));
    QCOMPARE(trail.fading, 0.4f / 50);
    const FlowletBand& arrow = frame.bands()[1];
    QCOMPARE(first(*lines, arrow), 10);
    QCOMPARE(arrow.numPoint, 31);
    QVERIFY(arrow.bArrow);
    QVERIFY(sameColor(arrow.color, makeFloat4(1, 1, 0, 1)));

    animStep = 69;
    frame.build(*lines, FLT_PATHLINE, animStep, 0.1f, 50, 0);
    QCOMPARE(frame.bands()[0].numPoint, 50);
    QCOMPARE(first(*lines, frame.bands()[1]), 40);
    QCOMPARE(frame.bands()[1].numPoint, 10);
}

// At frame 25 only pathlines 0, 5, 10, ... are candidates and only pathline 0 has started;
// the green curve joins the particles of pathlines 0, 1 and 2.
void TestFlowletFrame::pathlineStreaklineReleasesLinesInTurn()
{
    int starts[20];
    for (int p = 0; p < 20; ++p)
        starts[p] = addPathline(*lines, 100, float(p));
    lines->streaklineNum = 1;
    int animStep = 24;
    frame.build(*lines, FLT_PATHLINE_STREAKLINE, animStep, 0.1f, 50, 0);
    QCOMPARE(animStep, 25);
    const auto& bands = frame.bands();
    QCOMPARE(bands.size(), std::size_t(3));
    const FlowletBand& curve = bands[0];
    QCOMPARE(curve.numPoint, 3);
    QVERIFY(sameColor(curve.color, makeFloat4(0, 1, 0, 1)));
    QCOMPARE(curve.points[0], lines->pointArray[starts[0] + 25]);
    QCOMPARE(curve.points[1], lines->pointArray[starts[1] + 15]);
    QCOMPARE(curve.points[2], lines->pointArray[starts[2] + 5]);
    QCOMPARE(first(*lines, bands[1]), starts[0]);
    QCOMPARE(bands[1].numPoint, 26);
    QCOMPARE(first(*lines, bands[2]), starts[0]);
    QVERIFY(bands[2].bArrow);

    // Fifty frames later pathline 5 has started too, 50 frames behind pathline 0.
    animStep = 74;
    frame.build(*lines, FLT_PATHLINE_STREAKLINE, animStep, 0.1f, 50, 0);
    QCOMPARE(frame.bands().size(), std::size_t(5));
    QCOMPARE(first(*lines, frame.bands()[3]), starts[5]);
    QCOMPARE(frame.bands()[3].numPoint, 26);
}

// The magenta curve takes each pathline's particle of this frame, or its last but one point
// once it has ended; a pathline holding only its seed contributes the seed.
void TestFlowletFrame::pathlineTimelineJoinsTheParticles()
{
    const int a = addPathline(*lines, 100, 0.0f);
    const int b = addPathline(*lines, 10, 1.0f);
    const int c = addPathline(*lines, 0, 2.0f);
    lines->timelineNum = 1;
    int animStep = 19;
    frame.build(*lines, FLT_PATHLINE_TIMELINE, animStep, 0.1f, 50, 0);
    const FlowletBand& curve = frame.bands()[0];
    QCOMPARE(curve.numPoint, 3);
    QVERIFY(sameColor(curve.color, makeFloat4(1, 0, 1, 1)));
    QCOMPARE(curve.points[0], lines->pointArray[a + 20]);
    QCOMPARE(curve.points[1], lines->pointArray[b + 9]);
    QCOMPARE(curve.points[2], lines->pointArray[c]);
    // Flowlets on every pathline, all released together: a trail and an arrow for the first
    // two; the seed-only pathline draws nothing.
    QCOMPARE(frame.bands().size(), std::size_t(5));
}

// The timeline of the animated time step, addressed from record 0; time steps without a
// traced timeline draw nothing.
void TestFlowletFrame::timelineFollowsTheTimeStep()
{
    for (int j = 0; j < 3; ++j)
    {
        for (int i = 0; i < 4; ++i)
            lines->pointArray[j * 4 + i] = makeFloat2(float(i), float(j));
        lines->timelineIndxArray[j] = timelineInfo{j * 4, 4, 4};
    }
    lines->timelineNum = 3;
    int animStep = 20;
    QCOMPARE(frame.build(*lines, FLT_TIMELINE, animStep, 0.1f, 10, 0), 2);
    QCOMPARE(animStep, 21);
    QCOMPARE(frame.bands().size(), std::size_t(1));
    QCOMPARE(first(*lines, frame.bands()[0]), 8);
    QCOMPARE(frame.bands()[0].numPoint, 4);
    QVERIFY(!frame.bands()[0].bArrow);

    animStep = 30;
    QCOMPARE(frame.build(*lines, FLT_TIMELINE, animStep, 0.1f, 10, 0), 3);
    QVERIFY(frame.bands().empty());
    animStep = 100;
    QCOMPARE(frame.build(*lines, FLT_TIMELINE, animStep, 0.1f, 10, 0), 9);
    QCOMPARE(animStep, 100);
}

void TestFlowletFrame::streaklinesAloneHaveNoFlowlets()
{
    addStreamline(*lines, 100);
    addPathline(*lines, 100);
    lines->streaklineNum = 1;
    int animStep = 3;
    for (FieldLineType type : {FLT_STREAKLINE, FLT_TYPE_NUM})
    {
        QCOMPARE(frame.build(*lines, type, animStep, 0.1f, 10, 0), -1);
        QCOMPARE(animStep, 3);
        QVERIFY(frame.bands().empty());
    }
}

QTEST_APPLESS_MAIN(TestFlowletFrame)
#include "test_flowletFrame.moc"
