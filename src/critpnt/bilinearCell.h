// The bilinear interpolant of one grid cell and its zeros, in local coordinates s (along the
// row, 0 at the left corners) and t (across rows, 0 at the bottom corners). Linear and
// degenerate cells are solved as well as bilinear ones; a cell has at most two isolated
// zeros, and a line of zeros (no single point) gives none.
#pragma once

#include "common/typeOperations.h"

class BilinearCell
{
public:
    BilinearCell(const float2& lb, const float2& rb, const float2& lt, const float2& rt);

    // Whether each component takes both signs at the corners; a zero counts as either, so a
    // zero on a corner or an edge is not missed. Cheap enough to screen every cell first.
    static bool mayHoldZero(const float2& lb, const float2& rb, const float2& lt, const float2& rt);
    // Writes the zeros that lie in the closed cell to st and returns their number (0 to 2).
    // A zero the closed-form elimination places accurately keeps its bits.
    int zeros(float2 (&st)[2]) const;

private:
    // Whether both components at (s, t) are negligible against the cell's own magnitudes.
    bool vanishesAt(double s, double t) const;
    int formulaZeros(float2 (&st)[2]) const;
    int solvedZeros(float2 (&st)[2]) const;
    bool solveAt(double s, float2& st) const;
    void refine(double& s, double& t) const;

    // x(s, t) = x00 + ax s + bx t + cx s t, and y likewise.
    float x00, ax, bx, cx;
    float y00, ay, by, cy;
};
