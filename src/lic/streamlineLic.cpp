#include "lic/streamlineLic.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr float kMinComponent = 0.05f; // below this a component never reaches a border
constexpr float kOvershoot = 0.0004f;  // carries the next point into the next pixel
// A streamline is traced three kernels each way; pixels a kernel short of its traced ends
// get their full kernel from it.
constexpr float kReach = 3.0f;

// Time along v from p to its pixel's border on one axis, or far when v hardly moves.
float toBorder(float p, float v, float far)
{
    if (v > kMinComponent)
        return (std::floor(p) + 1.0f - p) / v;
    if (v < -kMinComponent)
        return (std::floor(p) - p) / v;
    return far;
}
} // namespace

StreamlineLic::StreamlineLic(const float* pVectr, const unsigned char* pNoise, float krnlen, int w,
                             int h)
    : vectors(pVectr), noise(pNoise), kernel(krnlen), limit(kReach * krnlen), width(w), height(h),
      sum(std::size_t(w) * std::size_t(h)), hits(sum.size())
{
}

void StreamlineLic::convolve(unsigned char* pImage)
{
    std::fill(sum.begin(), sum.end(), 0.0f);
    std::fill(hits.begin(), hits.end(), 0);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            if (hits[std::size_t(j) * width + i] == 0)
                seed(i, j);
    for (std::size_t p = 0; p < sum.size(); ++p)
    {
        const float mean = sum[p] / float(hits[p]);
        pImage[p] = static_cast<unsigned char>(std::clamp(mean, 0.0f, 255.0f));
    }
}

bool StreamlineLic::flowAt(float x, float y, float& vx, float& vy) const
{
    const float* v = vectors + 2 * (std::size_t(y) * width + std::size_t(x));
    vx = v[0];
    vy = v[1];
    return std::isfinite(vx) && std::isfinite(vy) && (vx != 0.0f || vy != 0.0f);
}

bool StreamlineLic::trace(int i, int j, float dir, std::vector<Segment>& out) const
{
    out.clear();
    // Bounds the walk where huge vectors cross a pixel in next to no time.
    const std::size_t maxSegments = std::size_t(4.0f * limit) + 2 * std::size_t(width + height);
    float x = float(i) + 0.5f;
    float y = float(j) + 0.5f;
    float t = 0.0f;
    while (t < limit && out.size() < maxSegments)
    {
        float vx = 0.0f;
        float vy = 0.0f;
        if (!flowAt(x, y, vx, vy))
            return true;
        vx *= dir;
        vy *= dir;
        const float far = limit - t;
        float seg = std::min(toBorder(x, vx, far), toBorder(y, vy, far));
        seg = seg >= far ? far : seg + kOvershoot;
        const float nx = x + seg * vx;
        const float ny = y + seg * vy;
        // Clamped as floats: a huge vector's step does not fit an int.
        const int px = int(std::clamp((x + nx) * 0.5f, 0.0f, float(width - 1)));
        const int py = int(std::clamp((y + ny) * 0.5f, 0.0f, float(height - 1)));
        const int pixel = py * width + px;
        out.push_back({t, t + seg, float(noise[pixel]), pixel});
        t += seg;
        if (!(nx >= 0.0f && nx < float(width) && ny >= 0.0f && ny < float(height)))
            return true;
        x = nx;
        y = ny;
    }
    return false;
}

void StreamlineLic::seed(int i, int j)
{
    const std::size_t p = std::size_t(j) * width + i;
    float vx = 0.0f;
    float vy = 0.0f;
    if (!flowAt(float(i) + 0.5f, float(j) + 0.5f, vx, vy))
    {
        hits[p] = 1; // land stays black
        return;
    }
    const bool downEnds = trace(i, j, 1.0f, down);
    const bool upEnds = trace(i, j, -1.0f, up);
    line.clear();
    for (auto s = up.rbegin(); s != up.rend(); ++s)
        line.push_back({-s->t1, -s->t0, s->noise, s->pixel});
    line.insert(line.end(), down.begin(), down.end());
    integral.assign(line.size() + 1, 0.0);
    for (std::size_t k = 0; k < line.size(); ++k)
        integral[k + 1] = integral[k] + double(line[k].noise) * (line[k].t1 - line[k].t0);

    // Pixels near a traced end that did not end there would miss part of their kernel.
    const float first = upEnds ? line.front().t0 : std::min(line.front().t0 + kernel, 0.0f);
    const float last = downEnds ? line.back().t1 : std::max(line.back().t1 - kernel, 0.0f);
    std::size_t lo = 0;
    std::size_t hi = 0;
    sum[p] += meanAround(0.0f, lo, hi);
    ++hits[p];
    lo = hi = 0;
    // The first segment each way lies in the seed's own pixel, which took the centre's mean.
    for (std::size_t k = 0; k < line.size(); ++k)
    {
        const float mid = (line[k].t0 + line[k].t1) * 0.5f;
        if (k + 1 == up.size() || k == up.size() || mid < first || mid > last)
            continue;
        sum[line[k].pixel] += meanAround(mid, lo, hi);
        ++hits[line[k].pixel];
    }
}

float StreamlineLic::meanAround(float tc, std::size_t& lo, std::size_t& hi) const
{
    const float a = std::max(tc - kernel, line.front().t0);
    const float b = std::min(tc + kernel, line.back().t1);
    // Both ends only move forwards while the centres do.
    const auto at = [&](float t, std::size_t& k)
    {
        while (k + 1 < line.size() && line[k].t1 < t)
            ++k;
        const Segment& s = line[k];
        return integral[k] + double(s.noise) * (std::clamp(t, s.t0, s.t1) - s.t0);
    };
    const double ia = at(a, lo);
    const double ib = at(b, hi);
    return b > a ? float((ib - ia) / double(b - a)) : 0.0f;
}
