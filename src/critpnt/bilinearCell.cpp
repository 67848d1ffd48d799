#include "critpnt/bilinearCell.h"

#include <algorithm>
#include <cmath>

namespace
{
// A component counts as vanished when it is this small against the sum of its coefficients'
// magnitudes: about 1e-4 cells from the zero for a cell without strong shear. The
// single-precision elimination leaves up to about half of that at zeros it places well.
constexpr double kResidual = 1e-4;
// Zeros of the closed-form elimination that lie closer than this (in cells) to a solved one
// are the same zero.
constexpr double kSameZero = 1e-3;
// Solved zeros this far outside the cell are rounding of zeros on its edges.
constexpr double kEdgeSlack = 1e-6;

bool inCell(const float2& st)
{
    return st.x >= 0 && st.x <= 1 && st.y >= 0 && st.y <= 1;
}

bool nearSlack(double v)
{
    return v >= -kEdgeSlack && v <= 1 + kEdgeSlack;
}

// The t at which one component of the bilinear interpolant vanishes, for a given s; 2.0,
// outside the cell, where the denominator is exactly zero.
float rowFromZero(float s, float num, float shift, float offset)
{
    return (shift + s == 0) ? 2.0f : num / (shift + s) - offset;
}

bool sameZero(const float2& a, const float2& b)
{
    return std::fabs(double(a.x) - b.x) < kSameZero && std::fabs(double(a.y) - b.y) < kSameZero;
}

// Appends st unless it repeats a zero already kept; false once two are kept.
bool keep(const float2& st, float2 (&kept)[2], int& n)
{
    if (n >= 2)
        return false;
    for (int k = 0; k < n; ++k)
        if (sameZero(kept[k], st))
            return true;
    kept[n++] = st;
    return n < 2;
}
} // namespace

BilinearCell::BilinearCell(const float2& lb, const float2& rb, const float2& lt, const float2& rt)
    : x00(lb.x), ax(rb.x - lb.x), bx(lt.x - lb.x), cx(lb.x - lt.x - rb.x + rt.x), y00(lb.y),
      ay(rb.y - lb.y), by(lt.y - lb.y), cy(lb.y - lt.y - rb.y + rt.y)
{
}

bool BilinearCell::mayHoldZero(const float2& lb, const float2& rb, const float2& lt,
                               const float2& rt)
{
    const auto bothSigns = [](float a, float b, float c, float d)
    { return (a <= 0 || b <= 0 || c <= 0 || d <= 0) && (a >= 0 || b >= 0 || c >= 0 || d >= 0); };
    return bothSigns(lb.x, rb.x, lt.x, rt.x) && bothSigns(lb.y, rb.y, lt.y, rt.y);
}

int BilinearCell::zeros(float2 (&st)[2]) const
{
    int n = formulaZeros(st);
    float2 solved[2];
    const int m = solvedZeros(solved);
    for (int k = 0; k < m; ++k)
        if (!keep(solved[k], st, n))
            break;
    return n;
}

bool BilinearCell::vanishesAt(double s, double t) const
{
    const double x = x00 + ax * s + bx * t + double(cx) * s * t;
    const double y = y00 + ay * s + by * t + double(cy) * s * t;
    const double xScale = std::fabs(x00) + std::fabs(ax) + std::fabs(bx) + std::fabs(cx);
    const double yScale = std::fabs(y00) + std::fabs(ay) + std::fabs(by) + std::fabs(cy);
    return std::fabs(x) <= kResidual * xScale && std::fabs(y) <= kResidual * yScale;
}

// The closed-form elimination of t in single precision, kept where its roots are zeros: it
// divides by the bilinear terms, so it fails for linear cells and strays where they are small.
// Its t comes from the x-component, or from the y-component where that one is ill-placed.
int BilinearCell::formulaZeros(float2 (&st)[2]) const
{
    const float A = ax / cx, B = bx / cx, P = (ax * bx / cx - x00) / cx;
    const float A2 = ay / cy, B2 = by / cy, Q = (ay * by / cy - y00) / cy;
    const float k = A2 - A;
    const float b = (B2 + B) * k + P - Q;
    const float c = B * k * B2 + (B2 * P - Q * B);
    const float D = b * b - 4 * k * c;
    if (!(D >= 0))
        return 0;
    const float r = std::sqrt(D);
    const float s1 = (r - b) / (2 * k);
    const float s2 = (-b - r) / (2 * k);
    const float2 candidates[] = {
        makeFloat2(s1, rowFromZero(s1, P, B, A)), makeFloat2(s2, rowFromZero(s2, P, B, A)),
        makeFloat2(s1, rowFromZero(s1, Q, B2, A2)), makeFloat2(s2, rowFromZero(s2, Q, B2, A2))};
    int n = 0;
    for (const float2& candidate : candidates)
        if (inCell(candidate) && vanishesAt(candidate.x, candidate.y) && !keep(candidate, st, n))
            break;
    return n;
}

// The zeros in double precision: x = 0 and y = 0 together leave the quadratic
// (x00 + ax s)(by + cy s) = (y00 + ay s)(bx + cx s) in s, solved without dividing by its
// leading term, which vanishes for linear cells.
int BilinearCell::solvedZeros(float2 (&st)[2]) const
{
    const double qa = double(ax) * cy - double(ay) * cx;
    const double qb = double(x00) * cy + double(ax) * by - double(y00) * cx - double(ay) * bx;
    const double qc = double(x00) * by - double(y00) * bx;
    double roots[2];
    int numRoots = 0;
    if (qa == 0)
    {
        if (qb != 0)
            roots[numRoots++] = -qc / qb;
    }
    else
    {
        const double D = qb * qb - 4 * qa * qc;
        if (D < 0)
            return 0;
        const double q = -0.5 * (qb + std::copysign(std::sqrt(D), qb));
        roots[numRoots++] = q / qa;
        if (q != 0)
            roots[numRoots++] = qc / q;
    }
    int n = 0;
    for (int k = 0; k < numRoots; ++k)
        if (float2 zero; solveAt(roots[k], zero) && !keep(zero, st, n))
            break;
    return n;
}

// The t of a root s, from the component whose t-term is the larger against its magnitudes,
// polished by Newton steps; false when no zero of both components lies in the cell there.
bool BilinearCell::solveAt(double s, float2& st) const
{
    if (!nearSlack(s))
        return false;
    const double xScale = std::fabs(x00) + std::fabs(ax) + std::fabs(bx) + std::fabs(cx);
    const double yScale = std::fabs(y00) + std::fabs(ay) + std::fabs(by) + std::fabs(cy);
    const double dx = bx + cx * s, dy = by + cy * s;
    double t = 0;
    if (std::fabs(dx) * yScale >= std::fabs(dy) * xScale && dx != 0)
        t = -(x00 + ax * s) / dx;
    else if (dy != 0)
        t = -(y00 + ay * s) / dy;
    else
        return false;
    refine(s, t);
    if (!nearSlack(s) || !nearSlack(t))
        return false;
    s = std::clamp(s, 0.0, 1.0);
    t = std::clamp(t, 0.0, 1.0);
    st = makeFloat2(float(s), float(t));
    return vanishesAt(st.x, st.y);
}

void BilinearCell::refine(double& s, double& t) const
{
    for (int step = 0; step < 2; ++step)
    {
        const double x = x00 + ax * s + bx * t + double(cx) * s * t;
        const double y = y00 + ay * s + by * t + double(cy) * s * t;
        const double xs = ax + cx * t, xt = bx + cx * s;
        const double ys = ay + cy * t, yt = by + cy * s;
        const double det = xs * yt - xt * ys;
        if (det == 0)
            return;
        s -= (x * yt - y * xt) / det;
        t -= (xs * y - ys * x) / det;
    }
}
