#include "view/bandBuilder.h"

#include <QTest>
#include <cmath>
#include <vector>

namespace
{

constexpr float4 kRed{1.0f, 0.0f, 0.0f, 1.0f};

bool near(float a, float b)
{
    return std::fabs(a - b) <= 1e-4f;
}

bool finite(const std::vector<BandVertex>& vertices)
{
    for (const BandVertex& v : vertices)
        if (!std::isfinite(v.x) || !std::isfinite(v.y))
            return false;
    return true;
}

} // namespace

class TestBandBuilder : public QObject
{
    Q_OBJECT

private slots:
    void tooFewSamplesDrawNothing();
    void fadingSchedule();
    void zeroLengthSegmentsAreSkipped();
};

void TestBandBuilder::tooFewSamplesDrawNothing()
{
    BandBuilder band;
    const float2 points[] = {{0, 0}, {1, 0}, {2, 0}};
    for (const int2& c : {int2{1, 0}, int2{3, 2}, int2{3, -1}}) // numPoint, padding
    {
        QVERIFY(!band.build(points, c.x, 1.0f, c.y, kRed, 0.0f, true));
        QVERIFY(band.quads().empty() && band.arrow().empty());
    }
    QVERIFY(band.build(points, 3, 1.0f, 1, kRed, 0.0f, false)); // padding 1: samples 0 and 2
    QCOMPARE(band.quads().size(), std::size_t(4));
}

void TestBandBuilder::fadingSchedule()
{
    // A long line fades only its last 1 / fading - 1 points (from the second point on), a
    // short one from its start; without fading the colour's alpha is kept.
    struct Case
    {
        int numPoint;
        float alpha, fading;
        int firstDrawn;
        float front, back;
    };
    const Case cases[] = {{31, 1.0f, 1.0f / 30.0f, 1, 0.0f, 29.0f / 30.0f},
                          {10, 1.0f, 1.0f / 30.0f, 0, 0.7f, 1.0f},
                          {10, 0.4f, 0.0f, 0, 0.4f, 0.4f},
                          {10, 0.0f, 0.1f, 0, 0.0f, 0.0f}};
    BandBuilder band;
    for (const Case& c : cases)
    {
        std::vector<float2> points;
        for (int i = 0; i < c.numPoint; ++i)
            points.push_back(float2{10.0f + 2.0f * i, 50.0f});
        QVERIFY(band.build(points.data(), c.numPoint, 5.0f, 0, float4{1, 0, 0, c.alpha}, c.fading,
                           false));
        const auto& q = band.quads();
        QVERIFY(near(q.front().x, points[c.firstDrawn].x));
        QVERIFY2(near(q.front().a, c.front) && near(q.back().a, c.back),
                 qPrintable(QString::number(c.numPoint)));
    }
    QVERIFY(near(band.quads()[6].a, 0.0f)); // transparent stays transparent along the line
}

void TestBandBuilder::zeroLengthSegmentsAreSkipped()
{
    BandBuilder band;
    const float2 repeated[] = {{0, 0}, {0, 0}, {10, 0}, {10, 0}, {20, 0}};
    QVERIFY(band.build(repeated, 5, 1.0f, 0, kRed, 0.0f, true));
    QCOMPARE(band.quads().size(), std::size_t(8));
    QVERIFY(finite(band.quads()) && finite(band.arrow()));
    QVERIFY(near(band.arrow()[2].x, 24.5f)); // the tip, 4.5 radii beyond the last point
    const float2 sharp[] = {{0, 0}, {10, 0}, {2, 3}, {0, 0}}; // turns back almost on itself
    QVERIFY(band.build(sharp, 4, 1.0f, 0, kRed, 0.0f, true));
    QVERIFY(finite(band.quads()) && finite(band.arrow()));
    const float2 still[] = {{3, 3}, {3, 3}, {3, 3}};
    QVERIFY(!band.build(still, 3, 1.0f, 0, kRed, 0.0f, true));
    float2 zero{0, 0};
    BandBuilder::normalize(zero);
    QVERIFY(zero.x == 0 && zero.y == 0);
}

QTEST_APPLESS_MAIN(TestBandBuilder)
#include "test_bandBuilder.moc"
