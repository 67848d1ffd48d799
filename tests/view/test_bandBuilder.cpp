#include "view/bandBuilder.h"

#include <QTest>
#include <cmath>
#include <vector>

namespace
{

constexpr float4 kRed{1.0f, 0.0f, 0.0f, 1.0f};

float2 at(const BandVertex& v)
{
    return float2{v.x, v.y};
}

float distance(const float2& a, const float2& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

std::vector<float2> straightLine(int numPoint, float spacing)
{
    std::vector<float2> points;
    for (int i = 0; i < numPoint; ++i)
        points.push_back(float2{10.0f + spacing * i, 50.0f});
    return points;
}

bool near(float a, float b, float tolerance = 1e-4f)
{
    return std::fabs(a - b) <= tolerance;
}

} // namespace

class TestBandBuilder : public QObject
{
    Q_OBJECT

private slots:
    void twoPointsGiveOneSquareEndedQuad();
    void tooFewSamplesDrawNothing();
    void rightAngleIsMitred();
    void sharpTurnStaysContinuous();
    void longLineFadesOnlyItsTail();
    void shortLineFadesFromItsStart();
    void paddingSkipsPoints();
    void repeatedPointsAreSkipped();
    void arrowheadReachesBeyondTheLastPoint();
    void normalizeLeavesZeroAlone();
};

void TestBandBuilder::twoPointsGiveOneSquareEndedQuad()
{
    BandBuilder band;
    const float2 points[] = {{20, 50}, {80, 50}};
    QVERIFY(band.build(points, 2, 5.0f, 0, kRed, 0.0f, false));
    const auto& q = band.quads();
    QCOMPARE(q.size(), std::size_t(4));
    // c1 on the left of the direction of travel, c2 on the right; ends perpendicular.
    QVERIFY(near(q[0].x, 20) && near(q[0].y, 55) && q[0].s == 0 && q[0].t == 0);
    QVERIFY(near(q[1].x, 20) && near(q[1].y, 45) && q[1].s == 0 && q[1].t == 1);
    QVERIFY(near(q[2].x, 80) && near(q[2].y, 45) && q[2].s == 1 && q[2].t == 1);
    QVERIFY(near(q[3].x, 80) && near(q[3].y, 55) && q[3].s == 1 && q[3].t == 0);
    for (const BandVertex& v : q)
        QVERIFY(v.r == 1 && v.g == 0 && v.b == 0 && v.a == 1);
    QVERIFY(band.arrow().empty());
}

void TestBandBuilder::tooFewSamplesDrawNothing()
{
    BandBuilder band;
    const float2 points[] = {{0, 0}, {1, 0}, {2, 0}};
    QVERIFY(!band.build(points, 1, 1.0f, 0, kRed, 0.0f, true));
    QVERIFY(!band.build(points, 3, 1.0f, 2, kRed, 0.0f, true)); // numPoint == padding + 1
    QVERIFY(!band.build(points, 3, 1.0f, -1, kRed, 0.0f, true));
    QVERIFY(band.quads().empty() && band.arrow().empty());
    QVERIFY(band.build(points, 3, 1.0f, 1, kRed, 0.0f, false)); // samples 0 and 2
}

void TestBandBuilder::rightAngleIsMitred()
{
    BandBuilder band;
    const float2 bend{60, 20};
    const float2 points[] = {{20, 20}, bend, {60, 80}};
    QVERIFY(band.build(points, 3, 5.0f, 0, kRed, 0.0f, false));
    const auto& q = band.quads();
    QCOMPARE(q.size(), std::size_t(8));
    // The joint closes one quad and opens the next with the same corners.
    QVERIFY(near(q[2].x, q[5].x) && near(q[2].y, q[5].y));
    QVERIFY(near(q[3].x, q[4].x) && near(q[3].y, q[4].y));
    QVERIFY(near(distance(at(q[2]), bend), 5.0f * std::sqrt(2.0f)));
    QVERIFY(near(distance(at(q[3]), bend), 5.0f * std::sqrt(2.0f)));
    QVERIFY(near(q[2].x, 65) && near(q[2].y, 15)); // outer corner of the left turn
    QVERIFY(near(q[3].x, 55) && near(q[3].y, 25));
    // The far end is square to the second segment.
    QVERIFY(near(q[6].x, 65) && near(q[6].y, 80) && near(q[7].x, 55) && near(q[7].y, 80));
}

void TestBandBuilder::sharpTurnStaysContinuous()
{
    BandBuilder band;
    const float2 points[] = {{0, 0}, {10, 0}, {2, 3}, {0, 0}};
    QVERIFY(band.build(points, 4, 1.0f, 0, kRed, 0.0f, false));
    const auto& q = band.quads();
    QCOMPARE(q.size(), std::size_t(12));
    for (const BandVertex& v : q)
        QVERIFY(std::isfinite(v.x) && std::isfinite(v.y));
    for (std::size_t j = 2; j + 4 <= q.size(); j += 4)
    {
        QVERIFY(near(q[j].x, q[j + 3].x) && near(q[j].y, q[j + 3].y));
        QVERIFY(near(q[j + 1].x, q[j + 2].x) && near(q[j + 1].y, q[j + 2].y));
    }
}

void TestBandBuilder::longLineFadesOnlyItsTail()
{
    // 1 / (1/30) truncates to 29: the last 30 of 31 points, alpha 0 to 29/30.
    BandBuilder band;
    const auto points = straightLine(31, 2.0f);
    QVERIFY(band.build(points.data(), 31, 5.0f, 0, kRed, 1.0f / 30.0f, false));
    const auto& q = band.quads();
    QCOMPARE(q.size(), std::size_t(2 + 28 * 4 + 2));
    QVERIFY(near(q[0].x, points[1].x)); // point 0 is not drawn
    QCOMPARE(q[0].a, 0.0f);
    for (int sample = 1; sample <= 28; ++sample)
        QVERIFY(near(q[2 + (sample - 1) * 4].a, sample / 30.0f));
    QVERIFY(near(q.back().a, 29.0f / 30.0f));
    QVERIFY(near(q.back().x, points[30].x));
    QVERIFY(near(band.finalColor().w, 29.0f / 30.0f));
}

void TestBandBuilder::shortLineFadesFromItsStart()
{
    BandBuilder band;
    const auto points = straightLine(10, 2.0f);
    QVERIFY(band.build(points.data(), 10, 5.0f, 0, kRed, 1.0f / 30.0f, false));
    const auto& q = band.quads();
    QVERIFY(near(q[0].x, points[0].x));
    QVERIFY(near(q.front().a, 0.7f));
    QVERIFY(near(q.back().a, 1.0f));
    // Without fading, or with a transparent colour, the alpha stays that of the colour.
    QVERIFY(band.build(points.data(), 10, 5.0f, 0, float4{1, 0, 0, 0.4f}, 0.0f, false));
    for (const BandVertex& v : band.quads())
        QCOMPARE(v.a, 0.4f);
    QVERIFY(band.build(points.data(), 10, 5.0f, 0, float4{1, 0, 0, 0.0f}, 0.1f, false));
    for (const BandVertex& v : band.quads())
        QCOMPARE(v.a, 0.0f);
}

void TestBandBuilder::paddingSkipsPoints()
{
    BandBuilder band;
    // The odd points bulge off the line; with padding 1 only the even ones are drawn.
    std::vector<float2> points = straightLine(7, 1.0f);
    for (std::size_t i = 1; i < points.size(); i += 2)
        points[i].y += 30.0f;
    QVERIFY(band.build(points.data(), 7, 1.0f, 1, kRed, 0.0f, false));
    const auto& q = band.quads();
    QCOMPARE(q.size(), std::size_t(2 + 2 * 4 + 2));
    for (const BandVertex& v : q)
        QVERIFY(near(std::fabs(v.y - 50.0f), 1.0f));
    QVERIFY(near(q.back().x, points[6].x));
}

void TestBandBuilder::repeatedPointsAreSkipped()
{
    BandBuilder band;
    const float2 repeated[] = {{0, 0}, {0, 0}, {10, 0}, {10, 0}, {20, 0}};
    QVERIFY(band.build(repeated, 5, 1.0f, 0, kRed, 0.0f, true));
    const auto& q = band.quads();
    QCOMPARE(q.size(), std::size_t(8));
    for (const BandVertex& v : q)
        QVERIFY(std::isfinite(v.x) && std::isfinite(v.y));
    QVERIFY(near(q.back().x, 20));
    QVERIFY(near(band.arrow()[2].x, 24.5f));
    const float2 still[] = {{3, 3}, {3, 3}, {3, 3}};
    QVERIFY(!band.build(still, 3, 1.0f, 0, kRed, 0.0f, true));
    QVERIFY(band.quads().empty());
}

void TestBandBuilder::arrowheadReachesBeyondTheLastPoint()
{
    BandBuilder band;
    const float2 points[] = {{20, 50}, {30, 50}, {50, 50}};
    QVERIFY(band.build(points, 3, 2.0f, 0, float4{0, 1, 0, 0.5f}, 0.0f, true));
    const auto& a = band.arrow();
    QCOMPARE(a.size(), std::size_t(6));
    // (p2, wing2, tip), (p2, wing1, tip)
    QVERIFY(near(a[0].x, 50) && near(a[0].y, 50) && a[0].s == 1 && a[0].t == 0.5f);
    QVERIFY(near(a[2].x, 59) && near(a[2].y, 50)); // 4.5 radii beyond the last point
    QVERIFY(near(a[1].x, 59 - 15 * 0.948683f, 1e-3f) && near(a[1].y, 50 + 15 * 0.316228f, 1e-3f));
    QVERIFY(near(a[4].x, a[1].x) && near(a[4].y, 100 - a[1].y));
    QVERIFY(near(50 - a[1].x, 2.6f * 2.0f, 0.05f)); // barbs 2.6 radii behind
    for (const BandVertex& v : a)
        QVERIFY(v.g == 1 && v.a == 0.5f);
}

void TestBandBuilder::normalizeLeavesZeroAlone()
{
    float2 v{3, 4};
    BandBuilder::normalize(v);
    QVERIFY(near(v.x, 0.6f) && near(v.y, 0.8f));
    float2 zero{0, 0};
    BandBuilder::normalize(zero);
    QVERIFY(zero.x == 0 && zero.y == 0);
}

QTEST_APPLESS_MAIN(TestBandBuilder)
#include "test_bandBuilder.moc"
