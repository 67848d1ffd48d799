#include "critpntFields.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace
{
// Unscaled stencil weights: a linear field's Jacobian comes out this many times too large.
constexpr float kStencilScale = 2.0f + 4.0f * 0.57735026f;

int typeTotal(const CritpntDetect& d)
{
    std::size_t total = 0;
    for (const std::vector<float2>& points : pointsByType(d))
        total += points.size();
    return int(total);
}
// The cell formula alone, written as the detector writes it so that results agree to the bit:
// the first root whose t, from the x-component, lies in the cell (corners lb, rb, lt, rt).
bool plainZero(const float2 (&c)[4], float2& st)
{
    const float ax = c[1].x - c[0].x, bx = c[2].x - c[0].x, cx = c[0].x - c[2].x - c[1].x + c[3].x;
    const float ay = c[1].y - c[0].y, by = c[2].y - c[0].y, cy = c[0].y - c[2].y - c[1].y + c[3].y;
    const float A = ax / cx, B = bx / cx, P = (ax * bx / cx - c[0].x) / cx;
    const float A2 = ay / cy, B2 = by / cy, Q = (ay * by / cy - c[0].y) / cy;
    const float k = A2 - A, b = (B2 + B) * k + P - Q, cc = B * k * B2 + (B2 * P - Q * B);
    const float D = b * b - 4 * k * cc, r = std::sqrt(D);
    for (const float s : {(r - b) / (2 * k), (-b - r) / (2 * k)})
    {
        st = makeFloat2(s, B + s == 0 ? 2.0f : P / (B + s) - A);
        if (D >= 0 && s >= 0 && s <= 1 && st.y >= 0 && st.y <= 1)
            return true;
    }
    return false;
}
} // namespace

// Random cells, every other one nearly linear in u, where the formula's division goes astray:
// each zero reported is one, a zero the formula alone places well keeps its bits, and a cell
// with two zeros reports both.
TEST(CellSearch, ReportedZerosVanishAndTheFormulasGoodOnesKeepTheirBits)
{
    std::mt19937 generator(2024);
    const auto uniform = [&] { return float(generator() >> 8) / float(1 << 23) - 1.0f; };
    int kept = 0;
    for (int n = 0; n < 4000; ++n)
    {
        float2 c[4];
        for (float2& corner : c)
            corner = makeFloat2(uniform(), uniform());
        if (n % 2)
            c[3].x = c[1].x + c[2].x - c[0].x + 1e-6f * uniform();
        Slice cell(2, 2, [&](float i, float j) { return c[int(i) + 2 * int(j)]; });
        const int found = cell.find();
        const float2* zeros = cell.detect.critpoints->allCritical;
        float2 st, v, scale{0, 0};
        for (const float2& corner : c)
            scale = makeFloat2(std::max(scale.x, std::fabs(corner.x)),
                               std::max(scale.y, std::fabs(corner.y)));
        const bool bPlain = plainZero(c, st) &&
                            cell.detect.interpolateVector(cell.f, cell.size, st, v) &&
                            std::fabs(v.x) < 1e-5f * scale.x && std::fabs(v.y) < 1e-5f * scale.y;
        kept += bPlain;
        if (bPlain)
        {
            EXPECT_TRUE(std::any_of(zeros, zeros + found, [&](const float2& z) { return z == st; }))
                << n;
        }
        for (int k = 0; k < found; ++k)
        {
            ASSERT_TRUE(cell.detect.interpolateVector(cell.f, cell.size, zeros[k], v));
            EXPECT_LT(std::fabs(v.x), 4e-4f) << n;
            EXPECT_LT(std::fabs(v.y), 4e-4f) << n;
        }
    }
    EXPECT_GT(kept, 500);

    // Both zeros of u = st - 0.1, v = s + t - 0.9 + 0.05 st lie in the cell.
    Slice two(2, 2,
              [](float s, float t)
              { return makeFloat2(s * t - 0.1f, s + t - 0.9f + 0.05f * s * t); });
    ASSERT_EQ(two.find(), 2);
    expectNear(two.detect.critpoints->allCritical[0], 0.764133f, 0.130867f, 1e-5f);
    expectNear(two.detect.critpoints->allCritical[1], 0.130867f, 0.764133f, 1e-5f);
}

TEST(Classification, EigenvalueCodesCenterToleranceAndBorderStencils)
{
    // A center (trace 0, determinant 0.75): in the first and last cells of the rows and
    // columns the Jacobian is the interior's, so it stays a center.
    Slice s(8, 6, LinearFlow{makeFloat2(3, 2), 0.5f, -1.0f, 1.0f, -0.5f});
    float det = 0;
    for (const float2 p : {makeFloat2(0, 0), makeFloat2(7, 5), makeFloat2(0.4f, 2.5f),
                           makeFloat2(6.7f, 2.5f), makeFloat2(3.5f, 0.3f), makeFloat2(3.5f, 4.6f)})
    {
        EXPECT_EQ(s.type(p, &det), 6) << p.x << ", " << p.y;
        EXPECT_NEAR(det, kStencilScale * kStencilScale * 0.75f, 1e-3f);
        EXPECT_NEAR(s.detect.eigenValues[0], 0.0f, 1e-4f);
    }
    EXPECT_EQ(s.type(makeFloat2(-1, 2), &det), -1);
    EXPECT_EQ(s.type(makeFloat2(NAN, 2), &det), -1);
    const float2 c = makeFloat2(4, 4);
    // Unscaled real parts are 4.31 x the field's: the tolerance 0.01 sits at about 0.00232.
    const std::vector<std::pair<LinearFlow, int>> cases = {
        {{c, -1, 0, 0, -0.5f}, 0},
        {{c, 1, 0, 0, 0.5f}, 1},
        {{c, -0.5f, 0, 0, -0.5f}, 0}, // a repeated eigenvalue is real
        {{c, -0.1f, -1, 1, -0.1f}, 2},
        {{c, 0.1f, -1, 1, 0.1f}, 3},
        {{c, 1, 0, 0, -1}, 4},
        {{c, 0.002f, -1, 1, 0.002f}, 6},
        {{c, -0.002f, -1, 1, -0.002f}, 6},
        {{c, 0.003f, -1, 1, 0.003f}, 3},
        {{c, 0.001f, 0, 0, 0.002f}, 1},
        {{c, -1, 0, 0, 0}, -1},
    };
    for (const auto& [f, type] : cases)
    {
        Slice linear(9, 9, f);
        float jacobian = 0;
        EXPECT_EQ(linear.type(c, &jacobian), type)
            << f.a << " " << f.b << " " << f.cc << " " << f.d;
        EXPECT_EQ(linear.detect.eigenValues[1], f.b * f.cc < 0 ? 1.0f : 0.0f);
        EXPECT_NEAR(jacobian, kStencilScale * kStencilScale * (f.a * f.d - f.b * f.cc), 1e-4f);
    }
}

TEST(Classification, EigenvalueSignDecidesUnlessTooWeakToTell)
{
    // Attracting at (12.3, 12.7), but the seed (10, 10) beyond it lies past the repelling
    // lines dx = 5 and dy = 5, so the tracing test says repelling. It decides only where the
    // Jacobian is too weak to tell.
    const float2 p = makeFloat2(12.3f, 12.7f);
    for (const float rate : {1.0f, 0.001f})
    {
        const auto cubic = [rate](float d) { return rate * (-d + d * d * d / 25.0f); };
        Slice s(40, 40,
                [&](float x, float y)
                { return makeFloat2(cubic(x - p.x), 0.5f * cubic(y - p.y)); });
        s.setCandidates({p});
        s.detect.spotCripnts(s.f, s.size);
        const auto byType = pointsByType(s.detect);
        EXPECT_EQ(byType[4].size(), rate == 1.0f ? 1u : 0u) << rate; // attracting node
        EXPECT_EQ(byType[3].size(), rate == 1.0f ? 0u : 1u) << rate; // repelling node
        EXPECT_EQ(typeTotal(s.detect), 1);
    }
    Slice s(40, 40, [](float, float) { return makeFloat2(1, 0); });
    // The seed (42.5, 42.5) lies outside the field and moves in neither run: equal distances
    // mean attracting.
    EXPECT_EQ(s.detect.testCriticalPoint(s.f, s.size, makeFloat2(32.5f, 32.5f)), 0);
    // The seed lies 10 along each axis. The flow g(dx) (1, 1) with g = dx (7.5 - dx) / 5 turns
    // at dx = 7.5: from beyond it the forward run comes back toward the point, from dx = 2 the
    // backward one does.
    Slice turn(60, 60,
               [](float x, float) { return (x - 20) * (27.5f - x) / 5 * makeFloat2(1, 1); });
    EXPECT_EQ(turn.detect.testCriticalPoint(turn.f, turn.size, makeFloat2(20, 20)), 0);
    EXPECT_EQ(turn.detect.testCriticalPoint(turn.f, turn.size, makeFloat2(12, 12)), 1);

    // One zero eigenvalue: a center when the tracing test attracts, else dropped.
    for (const float rate : {-0.5f, 0.5f})
    {
        Slice line(30, 30, LinearFlow{p, rate, 0, 0, 0});
        line.setCandidates({p});
        line.detect.spotCripnts(line.f, line.size);
        EXPECT_EQ(line.detect.centerCnt, rate < 0 ? 1 : 0);
        EXPECT_EQ(typeTotal(line.detect), line.detect.centerCnt);
    }
}

TEST(Sampling, BilinearSampleAndRungeKuttaStepStayInsideTheGrid)
{
    Slice s(4, 3, [](float x, float y) { return makeFloat2(x + 10 * y, y); });
    float2 v;
    // The last column and row are inside; their missing neighbours are never read.
    ASSERT_TRUE(s.detect.interpolateVector(s.f, s.size, makeFloat2(3, 1.5f), v));
    EXPECT_NEAR(v.x, 18.0f, 1e-5f);
    for (const float2 out : {makeFloat2(3.001f, 1), makeFloat2(1, -0.001f), makeFloat2(NAN, 1),
                             makeFloat2(1, INFINITY)})
        EXPECT_FALSE(s.detect.interpolateVector(s.f, s.size, out, v));
    EXPECT_NEAR(v.x, 18.0f, 1e-5f); // untouched by the refused samples

    // dy/dt = y: a step of fourth order matches exp(h) to the fourth-order term.
    float2 pos = makeFloat2(1, 1);
    ASSERT_TRUE(s.detect.RK4(s.f, s.size, true, pos, v));
    EXPECT_NEAR(v.y, 1.10517083f, 1e-6f);
    pos = makeFloat2(1, 1.95f);
    EXPECT_FALSE(s.detect.RK4(s.f, s.size, true, pos, v));
    EXPECT_NEAR(v.y, 1.10517083f, 1e-6f);
}

// Linear fields of every type over a whole 101 x 81 grid, with the point anywhere, on nodes
// and on edges: each found exactly once, in place and of its type, on every run.
TEST(Detection, LinearFieldsOfEveryTypeAnywhere)
{
    // In display order: repelling focus, attracting focus, center, repelling node, attracting
    // node, saddle.
    const float matrices[6][4] = {{0.1f, -1, 1, 0.1f},  {-0.1f, -1, 1, -0.1f},
                                  {0, -1, 1, 0},        {0.6f, 0, 0.2f, 0.3f},
                                  {-0.5f, 0.1f, 0, -1}, {1, 0.3f, 0.2f, -0.5f}};
    std::mt19937 generator(22);
    const auto uniform = [&] { return float(generator() >> 8) / float(1 << 24); };
    std::vector<float2> places = {makeFloat2(50, 40), makeFloat2(37.25f, 12), makeFloat2(0, 61.5f),
                                  makeFloat2(100, 80)};
    for (int n = 0; n < 40; ++n)
        places.push_back(makeFloat2(100 * uniform(), 80 * uniform()));
    for (int type = 0; type < 6; ++type)
        for (const float2& c : places)
        {
            const float* m = matrices[type];
            Slice s(101, 81, LinearFlow{c, m[0], m[1], m[2], m[3]});
            s.detectAll();
            s.detectAll(); // a second run starts from scratch
            SCOPED_TRACE(testing::Message() << type << " at " << c.x << ", " << c.y);
            ASSERT_EQ(s.detect.allPntCnt, 1);
            const auto byType = pointsByType(s.detect);
            ASSERT_EQ(byType[type].size(), 1u);
            expectNear(byType[type][0], c.x, c.y, 1e-3f);
        }
}
