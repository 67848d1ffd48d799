// Analytic 2-D flows made of a background current and localized features (vortices,
// sources, sinks), each a linear flow around its centre faded out by a Gaussian, so that
// every feature leaves a critical point of its own type and saddles appear between them.
#pragma once

#include "common/typeOperations.h"

#include <vector>

struct FlowFeature
{
    double cx, cy;     // centre, grid units
    double a, b, c, d; // local Jacobian [[a, b], [c, d]] at the centre
    double radius;     // Gaussian fall-off radius
};

class SyntheticFlow
{
public:
    float2 velocity(double x, double y) const;

    double currentX = 0.0; // background current
    double currentY = 0.0;
    double shear = 0.0;  // amplitude of a sinusoidal x-current varying along y
    double period = 1.0; // wavelength of that shear
    std::vector<FlowFeature> features;

    // The hurricane-like flow at time step t of 48 on a 500 x 500 grid: a cyclone spiralling
    // inwards and drifting with the steering current, secondary vortices and an outflow cell.
    static SyntheticFlow hurricane(double t, double strength = 1.0);
    // A steady 100 x 100 flow holding one feature of each critical point type.
    static SyntheticFlow earthquake();
};
