#include "syntheticFlow.h"

#include <cmath>

namespace
{
constexpr double kPi = 3.14159265358979323846;

// A rotation of speed omega with radial in- or outflow sigma: Jacobian [[sigma, -omega],
// [omega, sigma]]. Counter-clockwise (cyclonic, y up) for omega > 0.
FlowFeature vortex(double cx, double cy, double sigma, double omega, double radius)
{
    return FlowFeature{cx, cy, sigma, -omega, omega, sigma, radius};
}
} // namespace

float2 SyntheticFlow::velocity(double x, double y) const
{
    double u = currentX + shear * std::sin(2.0 * kPi * y / period);
    double v = currentY;
    for (const FlowFeature& f : features)
    {
        const double dx = x - f.cx, dy = y - f.cy;
        const double fade = std::exp(-(dx * dx + dy * dy) / (f.radius * f.radius));
        u += (f.a * dx + f.b * dy) * fade;
        v += (f.c * dx + f.d * dy) * fade;
    }
    return makeFloat2(static_cast<float>(u), static_cast<float>(v));
}

SyntheticFlow SyntheticFlow::hurricane(double t, double strength)
{
    SyntheticFlow flow;
    flow.currentX = 2.4;
    flow.currentY = 1.5;
    flow.shear = 0.8;
    flow.period = 500.0;
    // The eye drifts with the steering current and deepens slowly.
    const double deepen = strength * (1.0 + 0.01 * t);
    flow.features.push_back(
        vortex(150.0 + 2.6 * t, 160.0 + 1.7 * t, -0.07 * deepen, 0.45 * deepen, 45.0));
    // Rainband eddy orbiting the eye.
    const double phase = 0.09 * t;
    flow.features.push_back(vortex(150.0 + 2.6 * t + 95.0 * std::cos(phase),
                                   160.0 + 1.7 * t + 95.0 * std::sin(phase), -0.05 * strength,
                                   0.5 * strength, 18.0));
    // Anticyclonic outflow aloft in the north-east, drifting slowly westwards.
    flow.features.push_back(
        vortex(400.0 - 1.2 * t, 380.0, 0.06 * strength, -0.35 * strength, 40.0));
    // A purely rotating mid-level eddy in the south-east: a centre.
    flow.features.push_back(vortex(390.0, 110.0 + 0.8 * t, 0.0, 0.45 * strength, 30.0));
    // Downdraft outflow cell (a repelling node) and a convergence zone (an attracting node).
    flow.features.push_back(
        FlowFeature{90.0, 400.0 - t, 0.55 * strength, 0.0, 0.0, 0.42 * strength, 25.0});
    flow.features.push_back(
        FlowFeature{300.0 + 0.5 * t, 60.0, -0.6 * strength, 0.05, 0.0, -0.45 * strength, 25.0});
    return flow;
}

SyntheticFlow SyntheticFlow::earthquake()
{
    SyntheticFlow flow;
    flow.currentX = 0.05;
    flow.currentY = -0.03;
    flow.features = {
        vortex(25.0, 25.0, 0.04, 0.3, 11.0),                  // repelling focus
        vortex(72.0, 28.0, -0.05, -0.3, 11.0),                // attracting focus
        vortex(50.0, 52.0, 0.0, 0.25, 10.0),                  // center
        FlowFeature{25.0, 75.0, 0.3, 0.0, 0.0, 0.2, 10.0},    // repelling node
        FlowFeature{75.0, 75.0, -0.25, 0.0, 0.0, -0.3, 10.0}, // attracting node
        FlowFeature{50.0, 12.0, 0.2, 0.0, 0.0, -0.2, 8.0},    // saddle
    };
    return flow;
}
