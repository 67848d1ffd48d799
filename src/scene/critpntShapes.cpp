#include "scene/critpntShapes.h"

#include <cmath>

namespace
{
constexpr float kDegToRad = 0.017453277777777776f;
constexpr int kDashPeriod = 60;
constexpr int kDashLen = 31;
constexpr int kArrowMinLen = 27;

float clampToWindow(float value, int size)
{
    if (value < 0.0f)
        return 0.0f;
    if (value >= float(size))
        return float(size - 1);
    return value;
}
} // namespace

std::array<float2, CritpntShapes::kDiscRimVertices>
CritpntShapes::discRim(const float2& pos, float radius, int winWidth, int winHeight)
{
    std::array<float2, kDiscRimVertices> rim{};
    for (int k = 0; k < kDiscRimVertices; ++k)
    {
        const float angle = float(k * 30) * kDegToRad;
        const float c = k == 0 ? 1.0f : std::cos(angle);
        const float s = k == 0 ? 0.0f : std::sin(angle);
        rim[k] = makeFloat2(clampToWindow(pos.x + radius * c, winWidth),
                            clampToWindow(pos.y + radius * s, winHeight));
    }
    return rim;
}

std::vector<CritpntShapes::Dash> CritpntShapes::strmletDashes(int numPoint, int animStep)
{
    std::vector<Dash> dashes;
    int head = animStep % kDashPeriod;
    int len = head + 1;
    int i = 0;
    // A negative frame (a paused animation right after a restart) has no dash yet.
    if (numPoint < 2 || head > animStep)
        return dashes;
    while (true)
    {
        dashes.push_back(Dash{i, len, i == 0 || len >= kArrowMinLen});
        head += kDashPeriod;
        i = head - (kDashPeriod / 2);
        if (head < numPoint)
            len = kDashLen;
        else
        {
            head = numPoint - 1;
            len = numPoint - i;
        }
        if (i >= numPoint - 1 || head > animStep)
            return dashes;
    }
}
