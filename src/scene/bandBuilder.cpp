#include "scene/bandBuilder.h"

#include <cmath>

namespace
{

// The arrowhead's barbs are turned by about 18.4 degrees from the line.
constexpr float kCosArrow = 0.948683f;
constexpr float kSinArrow = 0.316228f;

float cross(const float2& m, const float2& n)
{
    return m.x * n.y - m.y * n.x;
}

float2 leftNormal(const float2& d)
{
    return makeFloat2(-d.y, d.x);
}

// Slides corner c along dir onto the line through p with direction b.
float2 onto(const float2& c, const float2& dir, const float2& p, const float2& b)
{
    const float t = cross(p - c, b) / cross(dir, b);
    return c + t * dir;
}

} // namespace

void BandBuilder::normalize(float2& vec)
{
    const float len = std::sqrt(vec.x * vec.x + vec.y * vec.y);
    if (len == 0.0f)
        return;
    vec.x = vec.x / len;
    vec.y = vec.y / len;
}

BandBuilder::Schedule BandBuilder::schedule(int numPoint, int step, const float4& color,
                                            float fading)
{
    if (!(fading > 0.0f && color.w > 0.0f))
        return Schedule{0, numPoint, color.w, 0.0f};
    const int numSeg = (numPoint - 1) / step;
    // k = trunc(ratio); numSeg < k + 1 holds exactly when numSeg <= ratio, and comparing
    // in float keeps a tiny fading from overflowing the integer.
    const float ratio = color.w / fading;
    if (static_cast<float>(numSeg) <= ratio)
        return Schedule{0, numPoint, color.w - numSeg * fading, fading};
    const int k = static_cast<int>(ratio);
    return Schedule{numPoint - 1 - k * step, step * (k + 1), 0.0f, fading};
}

void BandBuilder::push(std::vector<BandVertex>& verts, const float2& p, float s, float t,
                       float alpha)
{
    verts.push_back(BandVertex{p.x, p.y, s, t, color.x, color.y, color.z, alpha});
}

bool BandBuilder::build(const float2* points, int numPoint, float radius, int padding,
                        float4 lineColor, float fading, bool bArrow)
{
    quadVerts.clear();
    arrowVerts.clear();
    color = lineColor;
    const int step = padding + 1;
    if (step < 1 || step >= numPoint)
        return false;
    const Schedule plan = schedule(numPoint, step, lineColor, fading);
    const float2* samples = points + plan.first;
    const int numSamples = (plan.count + step - 1) / step;

    // Samples that repeat the previous one would give a zero direction: they are passed over,
    // though the alpha ramp still counts them.
    float alpha = plan.alpha0;
    float2 p1 = samples[0];
    const float alpha1 = alpha;
    alpha += plan.increment;
    int m = 1;
    while (m < numSamples && samples[m * step] == p1)
    {
        ++m;
        alpha += plan.increment;
    }
    if (m == numSamples)
        return false;
    float2 p2 = samples[m * step];
    float alpha2 = alpha;
    alpha += plan.increment;

    float2 d = p2 - p1;
    float2 b = leftNormal(d);
    normalize(b);
    b = radius * b;
    c1 = p1 + b;
    c2 = p1 - b;
    push(quadVerts, c1, 0.0f, 0.0f, alpha1);
    push(quadVerts, c2, 0.0f, 1.0f, alpha1);

    for (++m; m < numSamples; ++m, alpha += plan.increment)
    {
        const float2 next = samples[m * step];
        if (next == p2)
            continue;
        float2 e = d;
        p1 = p2;
        p2 = next;
        d = p2 - p1;
        normalize(e);
        normalize(d);
        addJoint(p1, e, d, alpha2);
        alpha2 = alpha;
    }
    addLastSection(p2, d, alpha2);
    if (bArrow)
        addArrow(p2, d, radius, alpha2);
    lastColor = makeFloat4(color.x, color.y, color.z, alpha2);
    return true;
}

// Closes the quad that ends at p1 and opens the next one with the same two corners, so the
// band has no gap at the joint.
void BandBuilder::addJoint(const float2& p1, const float2& e, const float2& d, float alpha)
{
    float2 b = e - d;
    const float cosv = e * d;
    if (cosv > 0.999f)
        b = leftNormal(d);
    else if (cosv < 0.0f)
        b = leftNormal(b);
    c1 = onto(c1, e, p1, b);
    c2 = onto(c2, e, p1, b);
    push(quadVerts, c2, 1.0f, 1.0f, alpha);
    push(quadVerts, c1, 1.0f, 0.0f, alpha);
    push(quadVerts, c1, 0.0f, 0.0f, alpha);
    push(quadVerts, c2, 0.0f, 1.0f, alpha);
}

void BandBuilder::addLastSection(const float2& p2, const float2& d, float alpha)
{
    const float2 b = leftNormal(d);
    c1 = onto(c1, d, p2, b);
    c2 = onto(c2, d, p2, b);
    push(quadVerts, c2, 1.0f, 1.0f, alpha);
    push(quadVerts, c1, 1.0f, 0.0f, alpha);
}

// A notched head: its tip 4.5 radii beyond p2, its barbs 7.5 radii back from the tip.
void BandBuilder::addArrow(const float2& p2, const float2& d, float radius, float alpha)
{
    float2 u = d;
    normalize(u);
    const float2 tip = p2 + (4.5f * radius) * u;
    const float2 v = (7.5f * radius) * u;
    const float2 turnedLeft =
        makeFloat2(v.x * kCosArrow - v.y * kSinArrow, v.x * kSinArrow + v.y * kCosArrow);
    const float2 turnedRight =
        makeFloat2(v.x * kCosArrow + v.y * kSinArrow, -v.x * kSinArrow + v.y * kCosArrow);
    const float2 wing1 = tip - turnedLeft;
    const float2 wing2 = tip - turnedRight;
    push(arrowVerts, p2, 1.0f, 0.5f, alpha);
    push(arrowVerts, wing2, 1.0f, 1.0f, alpha);
    push(arrowVerts, tip, 1.0f, 1.0f, alpha);
    push(arrowVerts, p2, 1.0f, 0.5f, alpha);
    push(arrowVerts, wing1, 1.0f, 1.0f, alpha);
    push(arrowVerts, tip, 1.0f, 1.0f, alpha);
}
