// One flow-map step for a run of particles in one sampled field, written once for any
// register width: Isa gives the lane count, the float and mask types and lane access. Each
// lane does exactly the single-precision operations of a lone particle, in the same order, so
// the scalar, SSE2 and AVX2 paths give the same bytes. Only the sources that compile a path
// include it; everything here is internal to each.
#pragma once

#include "ftle/flowMapStep.h"

namespace
{
template <class Isa> class LaneStep
{
public:
    using F = typename Isa::F;
    using I = typename Isa::I;
    static constexpr int kLanes = Isa::kLanes;

    explicit LaneStep(const FlowMapStep& step)
        : in(step), maxX(splat(float(step.width - 1))), maxY(splat(float(step.height - 1)))
    {
    }

    void advance(float2* pos, unsigned char* alive, int count) const
    {
        for (int i = 0; i < count; i += kLanes)
            advanceLanes(pos + i, alive + i, count - i < kLanes ? count - i : kLanes);
    }

private:
    static F splat(float value) { return F{} + value; }

    I inside(F x, F y) const { return (x >= 0.0f) & (x < maxX) & (y >= 0.0f) & (y < maxY); }

    // Bilinear sample at (x, y) where the mask says it lies inside the sampling domain; the
    // other lanes read cell (0, 0) and are dropped by the caller.
    I sample(F x, F y, F& vx, F& vy) const
    {
        const I in0 = inside(x, y);
        const F sx = Isa::select(in0, x, F{});
        const F sy = Isa::select(in0, y, F{});
        const auto xi = Isa::toInt(sx);
        const auto yi = Isa::toInt(sy);
        const F fx = sx - Isa::toFloat(xi);
        const F fy = sy - Isa::toFloat(yi);
        F ax, ay, bx, by, cx, cy, dx, dy;
        const float* row0 = reinterpret_cast<const float*>(in.slice);
        const auto cell = yi * in.width + xi;
        Isa::corners(row0, cell, ax, ay, bx, by);
        Isa::corners(row0 + 2 * in.width, cell, cx, cy, dx, dy);
        const F gx = 1.0f - fx;
        const F gy = 1.0f - fy;
        vx = gy * (gx * ax + fx * bx) + fy * (gx * cx + fx * dx);
        vy = gy * (gx * ay + fx * by) + fy * (gx * cy + fx * dy);
        return in0;
    }

    // One RK4 step with all four samples in this field; a lane moves only when its samples
    // and its new position lie inside, else its particle stops where it is for good.
    void advanceLanes(float2* pos, unsigned char* alive, int count) const
    {
        F px{}, py{};
        I live{};
        for (int l = 0; l < count; ++l)
        {
            Isa::set(px, l, pos[l].x);
            Isa::set(py, l, pos[l].y);
            Isa::setMask(live, l, alive[l] != 0);
        }
        if (!Isa::any(live))
            return;
        const float half = 0.5f * in.h;
        const float sixth = in.h / 6.0f;
        F k1x, k1y, k2x, k2y, k3x, k3y, k4x, k4y;
        I ok = sample(px, py, k1x, k1y);
        ok = ok & sample(px + half * k1x, py + half * k1y, k2x, k2y);
        ok = ok & sample(px + half * k2x, py + half * k2y, k3x, k3y);
        ok = ok & sample(px + in.h * k3x, py + in.h * k3y, k4x, k4y);
        const F nx = px + sixth * (((k1x + 2.0f * k2x) + 2.0f * k3x) + k4x);
        const F ny = py + sixth * (((k1y + 2.0f * k2y) + 2.0f * k3y) + k4y);
        live = live & ok & inside(nx, ny);
        px = Isa::select(live, nx, px);
        py = Isa::select(live, ny, py);
        for (int l = 0; l < count; ++l)
        {
            pos[l] = float2{Isa::get(px, l), Isa::get(py, l)};
            alive[l] = Isa::getMask(live, l) ? 1 : 0;
        }
    }

    const FlowMapStep in;
    const F maxX;
    const F maxY;
};

// Registers of kWidth floats (Fv) and ints (Iv) through GCC's vector extensions; the
// source adds how the corners of the lanes' cells are loaded.
template <class Fv, class Iv, int kWidth> struct VectorIsa
{
    static constexpr int kLanes = kWidth;
    using F = Fv;
    using I = Iv;

    static F select(I mask, F a, F b) { return mask ? a : b; }
    static I toInt(F v) { return __builtin_convertvector(v, I); }
    static F toFloat(I v) { return __builtin_convertvector(v, F); }
    static float get(F v, int l) { return v[l]; }
    static void set(F& v, int l, float value) { v[l] = value; }
    static void setMask(I& v, int l, bool value) { v[l] = value ? -1 : 0; }
    static bool getMask(I v, int l) { return v[l] != 0; }
    static bool any(I v)
    {
        for (int l = 0; l < kWidth; ++l)
            if (v[l] != 0)
                return true;
        return false;
    }
};
} // namespace
