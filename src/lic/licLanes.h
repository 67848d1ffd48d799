// The convolution of a batch of pixels at a time, written once for any register width: Isa
// gives the lane count, the float and int vector types and the table lookups. Only the SSE2
// and the AVX2 source include it, each compiling it for its own instruction set; everything
// here is internal to the source that includes it, so one copy never stands in for the other.
#pragma once

#include "lic/licRows.h"

namespace
{
constexpr float kMinComponent = 0.05f; // below this a component never reaches a border
constexpr float kFarAway = 100000.0f;  // border distance of such a component
constexpr float kOvershoot = 0.0004f;  // carries the next point into the next pixel

template <class Isa> class LaneConvolution
{
public:
    using F = typename Isa::F;
    using I = typename Isa::I;
    static constexpr int kLanes = Isa::kLanes;
    static constexpr int kGroups = Isa::kGroups; // registers of pixels advanced side by side
    static constexpr int kPixelsPerBatch = kLanes * kGroups;

    explicit LaneConvolution(const LicRows& rows)
        : in(rows), krnlen(splat(rows.krnlen)), len2ID(splat(2047.0f / rows.krnlen)),
          maxSegments(I{} + int(rows.krnlen * 3.0f)), widthI(I{} + rows.width),
          widthF(splat(float(rows.width))), heightF(splat(float(rows.height))),
          lastColumn(splat(float(rows.width - 1))), lastRow(splat(float(rows.height - 1)))
    {
    }

    void convolveRows(int firstRow, int endRow, unsigned char* pImage) const
    {
        for (int j = firstRow; j < endRow; ++j)
        {
            for (int i = 0; i < in.width; i += kPixelsPerBatch)
            {
                const int count = in.width - i < kPixelsPerBatch ? in.width - i : kPixelsPerBatch;
                convolvePixels(i, count, j, pImage + j * in.width + i);
            }
        }
    }

private:
    // kLanes streamlines in one direction (downstream for advDir 0, upstream for 1) from the
    // centres of neighbouring pixels, one per lane.
    struct Streamlines
    {
        F clp0x;
        F clp0y;
        F curLen;
        F t_acum; // accumulated noise
        F w_acum; // accumulated filter weight
        I advcts;
        I live; // all bits set in lanes still advancing
        int advDir;
    };

    static constexpr F splat(float value) { return F{} + value; }
    static I toInt(F value) { return __builtin_convertvector(value, I); }
    static F toFloat(I value) { return __builtin_convertvector(value, F); }

    // Noise cell of a sample coordinate. A sample can lie beyond the last row or column (half
    // a step past a border), so it is clamped to the image, NaN to 0; inside it truncates.
    static I clampedCell(F coordinate, F last)
    {
        return toInt(Isa::lesser(Isa::greater(coordinate, F{}), last));
    }

    // Length, in units of the vector v along one axis, from p to its cell's border on that
    // axis, and where the component is large enough to reach it.
    static F borderDistance(F p, I cell, F v, I& reaches)
    {
        const I below = v < splat(-kMinComponent);
        reaches = below | (v > splat(kMinComponent));
        return (Isa::select(below, toFloat(cell), toFloat(cell + 1)) - p) / v;
    }

    Streamlines startStreamlines(int i0, int count, int j, int advDir) const
    {
        Streamlines s{};
        for (int l = 0; l < kLanes; ++l)
        {
            // Lanes past the row's end sit idle on its last pixel.
            s.clp0x[l] = float(i0 + (l < count ? l : count - 1)) + 0.5f;
            s.live[l] = l < count ? -1 : 0;
        }
        s.clp0y = splat(float(j) + 0.5f);
        s.advDir = advDir;
        return s;
    }

    // Takes the next segment of every live streamline: from clp0 to the border of its pixel,
    // or to the kernel's end, sampling the noise at the segment's middle. Idle lanes compute
    // along on their last, valid position and keep their state.
    void advance(Streamlines& s) const
    {
        I live = s.live & (s.advcts < maxSegments) & (s.curLen < krnlen);
        if (!Isa::any(live))
        {
            s.live = live;
            return;
        }
        const I cellX = toInt(s.clp0x);
        const I cellY = toInt(s.clp0y);
        F vx;
        F vy;
        Isa::vectors(in.pVectr, Isa::cellIndex(cellX, cellY, widthI), vx, vy);

        // A zero vector ends the streamline; at its start it also makes it count as black.
        const I zero = live & (vx == 0.0f) & (vy == 0.0f);
        const I blackStart = zero & (s.advcts == 0);
        s.t_acum = Isa::select(blackStart, F{}, s.t_acum);
        s.w_acum = Isa::select(blackStart, splat(1.0f), s.w_acum);
        live &= ~zero;

        if (s.advDir == 1)
        {
            vx = -vx;
            vy = -vy;
        }
        I reachesX;
        I reachesY;
        const F toBorderX = borderDistance(s.clp0x, cellX, vx, reachesX);
        const F toBorderY = borderDistance(s.clp0y, cellY, vy, reachesY);
        F segLen = Isa::select(reachesX, toBorderX, splat(kFarAway));
        segLen = Isa::select(reachesY, Isa::lesser(toBorderY, segLen), segLen);

        // Clip to the kernel, or overshoot the border slightly into the next pixel.
        const F reached = s.curLen + segLen;
        const I clipped = reached > krnlen;
        segLen = Isa::select(clipped, krnlen - s.curLen, segLen + kOvershoot);
        const F curLen = Isa::select(clipped, krnlen, reached);

        const F clp1x = s.clp0x + segLen * vx;
        const F clp1y = s.clp0y + segLen * vy;
        const I sampleX = clampedCell((s.clp0x + clp1x) * 0.5f, lastColumn);
        const I sampleY = clampedCell((s.clp0y + clp1y) * 0.5f, lastRow);
        const F texVal = Isa::noise(in.pNoise, Isa::cellIndex(sampleX, sampleY, widthI));

        const I weightIndex = toInt(curLen * len2ID);
        const F W_ACUM = in.bIndexWeights[s.advDir]
                             ? toFloat(weightIndex)
                             : Isa::weights(in.wgtLUT[s.advDir], weightIndex);
        const F smpWgt = W_ACUM - s.w_acum;
        s.w_acum = Isa::select(live, W_ACUM, s.w_acum);
        s.t_acum = Isa::select(live, s.t_acum + texVal * smpWgt, s.t_acum);
        s.curLen = Isa::select(live, curLen, s.curLen);

        // The sample just taken counts even when the segment leaves the image; NaN leaves too.
        const I inside = (clp1x >= 0.0f) & (clp1x < widthF) & (clp1y >= 0.0f) & (clp1y < heightF);
        s.live = live & inside;
        s.advcts -= s.live;
        s.clp0x = Isa::select(s.live, clp1x, s.clp0x);
        s.clp0y = Isa::select(s.live, clp1y, s.clp0y);
    }

    // (t0 + t1) / (w0 + w1) clamped to 0 ... 255; a pixel that gathered no weight (0 / 0) is 0.
    static void storePixels(const Streamlines& down, const Streamlines& up, int count,
                            unsigned char* out)
    {
        const F texVal = (down.t_acum + up.t_acum) / (down.w_acum + up.w_acum);
        const I bytes = toInt(Isa::lesser(Isa::greater(texVal, F{}), splat(255.0f)));
        for (int l = 0; l < count; ++l)
        {
            out[l] = static_cast<unsigned char>(bytes[l]);
        }
    }

    // Up to kPixelsPerBatch pixels from i0 in row j. Each streamline is a long chain of
    // dependent steps; advancing several side by side keeps the processor busy while one
    // waits for its division.
    void convolvePixels(int i0, int count, int j, unsigned char* out) const
    {
        Streamlines lines[kGroups][2];
        const int groups = (count + kLanes - 1) / kLanes;
        for (int g = 0; g < groups; ++g)
        {
            const int lanes = count - g * kLanes < kLanes ? count - g * kLanes : kLanes;
            lines[g][0] = startStreamlines(i0 + g * kLanes, lanes, j, 0);
            lines[g][1] = startStreamlines(i0 + g * kLanes, lanes, j, 1);
        }
        for (bool busy = true; busy;)
        {
            busy = false;
            for (int g = 0; g < groups; ++g)
            {
                for (Streamlines& s : lines[g])
                {
                    advance(s);
                    busy = busy || Isa::any(s.live);
                }
            }
        }
        for (int g = 0; g < groups; ++g)
        {
            const int lanes = count - g * kLanes < kLanes ? count - g * kLanes : kLanes;
            storePixels(lines[g][0], lines[g][1], lanes, out + g * kLanes);
        }
    }

    // The parameters, and those the lanes compare with in every lane.
    const LicRows in;
    const F krnlen;
    const F len2ID; // distance travelled to weight table index
    const I maxSegments;
    const I widthI;
    const F widthF;
    const F heightF;
    const F lastColumn;
    const F lastRow;
};
} // namespace
