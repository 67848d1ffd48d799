#include "common/testFields.h"
#include "ftle/ftleField.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace
{
// The field f on a W x H x T grid and its FTLE under settings s.
struct Ftle
{
    DataManipulate data;
    FtleField ftle;

    Ftle(int3 size, const std::function<float2(int, int, int)>& f) : data(makeField(size, f)) {}

    bool run(const FtleSettings& s)
    {
        return ftle.compute(data.flowFieldSize, data.orgnvectField2d.data(), s);
    }
};

// Seeds whose particles, and those of their neighbours, start within r of (c, c).
template <class F> void forSeedsNear(const FtleField& f, float c, float r, F&& check)
{
    for (int j = 1; j < f.seedsY - 1; ++j)
        for (int i = 1; i < f.seedsX - 1; ++i)
        {
            const float2 p = f.seedPosition(i, j);
            if (std::abs(p.x - c) < r && std::abs(p.y - c) < r)
                check(i, j);
        }
}
} // namespace

// u = a (x - c), v = -a (y - c): the flow map is linear and stretches by e^(aD) forward along
// x, backward along y, so its FTLE is a wherever the particles stay inside. Eleven equal steps
// exercise the blending in time.
TEST(Ftle, LinearSaddleHasItsRate)
{
    const float a = 0.05f;
    const float c = 20.0f;
    Ftle saddle({41, 41, 11},
                [&](int i, int j, int) { return makeFloat2(a * (i - c), -a * (j - c)); });
    const struct
    {
        bool bBackward;
        float start;
        int resolution;
    } cases[] = {{false, 0.0f, 1}, {true, 10.0f, 2}, {false, 3.0f, 3}};
    for (const auto& k : cases)
    {
        ASSERT_TRUE(saddle.run({k.start, 7.0f, k.bBackward, k.resolution, 1}));
        const FtleField& f = saddle.ftle;
        EXPECT_EQ(f.seedsX, 40 * k.resolution + 1);
        forSeedsNear(f, c, 10.0f,
                     [&](int i, int j) { EXPECT_NEAR(f.value(i, j), a, 1e-4f) << i << ", " << j; });
    }
}

// A rigid rotation moves particles without stretching: FTLE near zero.
TEST(Ftle, PureRotationIsNearZero)
{
    Ftle rotation({41, 41, 3}, [](int i, int j, int)
                  { return makeFloat2(-0.05f * (j - 20.0f), 0.05f * (i - 20.0f)); });
    ASSERT_TRUE(rotation.run({0.0f, 2.0f, false, 1, 3}));
    forSeedsNear(rotation.ftle, 20.0f, 14.0f,
                 [&](int i, int j) { EXPECT_NEAR(rotation.ftle.value(i, j), 0.0f, 1e-4f); });
}

// A particle that would leave stops at its last position inside; the sampling domain ends
// before the last column.
TEST(Ftle, ParticlesStopInside)
{
    Ftle uniform({20, 5, 2}, [](int, int, int) { return makeFloat2(1.0f, 0.0f); });
    ASSERT_TRUE(uniform.run({0.0f, 1.0f, false, 1, 1}));
    for (int i = 0; i < 19; ++i)
    {
        const float2 end = uniform.ftle.flowMap[std::size_t(2 * 20 + i)];
        EXPECT_LT(end.x, 19.0f) << i;
        EXPECT_GE(end.x, std::min(i + 1.0f, 18.9f) - 1e-4f) << i;
    }
}

// The double gyre (Shadden et al.), A = 0.1, eps = 0.25, period 10, on [0, 2] x [0, 1] at 50
// cells per unit and half a time unit per step, against particles carried through the
// analytic field by double-precision RK4 with five steps per tracing step.
TEST(Ftle, DoubleGyreMatchesAccurateSolution)
{
    constexpr double pi = std::numbers::pi;
    constexpr int n = 50;
    constexpr double dt = 0.5; // time units per field step
    const auto velocity = [&](double x, double y, double t, double& u, double& v)
    {
        const double s = 0.25 * std::sin(2 * pi / 10 * t);
        const double fx = s * x * x + (1 - 2 * s) * x;
        u = -pi * 0.1 * std::sin(pi * fx) * std::cos(pi * y) * n * dt; // cells per step
        v = pi * 0.1 * std::cos(pi * fx) * std::sin(pi * y) * (2 * s * x + 1 - 2 * s) * n * dt;
    };
    Ftle gyre({2 * n + 1, n + 1, 21},
              [&](int i, int j, int t)
              {
                  double u, v;
                  velocity(double(i) / n, double(j) / n, t * dt, u, v);
                  return makeFloat2(float(u), float(v));
              });
    ASSERT_TRUE(gyre.run({0.0f, 20.0f, false, 1, 1}));

    FtleField exact = gyre.ftle;
    for (std::size_t s = 0; s < exact.flowMap.size(); ++s)
    {
        const float2 seed = exact.seedPosition(int(s) % exact.seedsX, int(s) / exact.seedsX);
        double x = seed.x, y = seed.y;
        for (int k = 0; k < 1000; ++k) // steps of 0.02 field steps
        {
            const double h = 0.02, t = k * h;
            const auto f = [&](double px, double py, double pt, double& u, double& v)
            { velocity(px / n, py / n, pt * dt, u, v); };
            double u1, v1, u2, v2, u3, v3, u4, v4;
            f(x, y, t, u1, v1);
            f(x + h / 2 * u1, y + h / 2 * v1, t + h / 2, u2, v2);
            f(x + h / 2 * u2, y + h / 2 * v2, t + h / 2, u3, v3);
            f(x + h * u3, y + h * v3, t + h, u4, v4);
            x += h / 6 * (u1 + 2 * u2 + 2 * u3 + u4);
            y += h / 6 * (v1 + 2 * v2 + 2 * v3 + v4);
        }
        exact.flowMap[s] = makeFloat2(float(x), float(y));
    }
    exact.computeValues(20.0f);
    // Ridges are sharp and shift slightly; away from them the values agree closely.
    double sum = 0.0;
    int count = 0;
    int close = 0;
    for (int j = 2; j < n - 1; ++j)
        for (int i = 2; i < 2 * n - 1; ++i)
        {
            const double d = std::abs(double(gyre.ftle.value(i, j)) - exact.value(i, j));
            sum += d;
            close += d < 0.01;
            ++count;
        }
    EXPECT_LT(sum / count, 0.004); // the values average 0.08
    EXPECT_GT(double(close) / count, 0.95);
}

// Every path, and any number of threads, gives the same bytes: here on a field with a
// land patch of zero vectors, between whole steps, backwards, at two seeds per cell.
TEST(Ftle, LanesAndThreadsAgree)
{
    Ftle sea({37, 29, 6},
             [](int i, int j, int t)
             {
                 const bool land = i > 20 && i < 26 && j > 5 && j < 12;
                 return land ? makeFloat2(0.0f, 0.0f)
                             : makeFloat2(std::sin(0.3f * j + 0.2f * t), std::cos(0.25f * i));
             });
    const FtleSettings s{4.6f, 3.3f, true, 2, 1};
    sea.ftle.lanes = FlowMap::Lanes::Scalar;
    sea.ftle.threadCount = 1;
    ASSERT_TRUE(sea.run(s));
    const std::vector<float2> scalar = sea.ftle.flowMap;
    const struct
    {
        FlowMap::Lanes lanes;
        unsigned threads;
    } cases[] = {{FlowMap::Lanes::Sse2, 1}, {FlowMap::Lanes::Best, 1}, {FlowMap::Lanes::Best, 3}};
    for (const auto& k : cases)
    {
        sea.ftle.lanes = k.lanes;
        sea.ftle.threadCount = k.threads;
        ASSERT_TRUE(sea.run(s));
        EXPECT_EQ(std::memcmp(sea.ftle.flowMap.data(), scalar.data(), scalar.size() * 8), 0)
            << int(k.lanes) << " on " << k.threads;
    }
}

TEST(Ftle, RefusesWhatCannotRun)
{
    const int3 size{10, 8, 5};
    const FtleSettings refused[] = {
        {0.0f, 0.0f, false, 1, 1},  // no duration
        {0.0f, 4.5f, false, 1, 1},  // past the last step
        {3.0f, 3.5f, true, 1, 1},   // before the first
        {-1.0f, 1.0f, false, 1, 1}, // start before the first
        {0.0f, 1.0f, false, 0, 1},  // no seeds
        {0.0f, 1.0f, false, 1, 0},  // no step
    };
    for (const FtleSettings& s : refused)
        EXPECT_FALSE(FtleField::refusal(size, s).empty()) << s.startTime << " " << s.duration;
    EXPECT_FALSE(FtleField::refusal({1, 8, 5}, FtleSettings{}).empty());
    EXPECT_TRUE(FtleField::refusal({10, 8, 1}, {0.0f, 30.0f, true, 1, 1}).empty()); // steady
    EXPECT_FALSE(FtleField::refusal({10, 8, 1}, {0.0f, 1e30f, false, 1, 1}).empty());

    Ftle calm({10, 8, 5}, [](int, int, int) { return makeFloat2(0.5f, 0.0f); });
    const std::atomic<bool> cancel{true};
    EXPECT_FALSE(calm.ftle.compute(size, calm.data.orgnvectField2d.data(), {}, &cancel));
    EXPECT_TRUE(calm.ftle.values.empty());
}
