// A uniform grid of cells over a field's extent that answers whether any of the points put
// into it lies closer than a threshold to a position, looking only at the 3 x 3 cells around
// it. Points are removed in the reverse order of insertion.
#pragma once

#include "common/typeOperations.h"

#include <vector>

class PointGrid
{
public:
    // Empties the grid and lays cells at least as wide as the threshold over the field.
    void reset(int3 flowFieldSize, float threshold);
    bool matches(int3 flowFieldSize, float threshold) const;

    void insert(const float2& point);
    void removeLast(int count);
    int size() const { return static_cast<int>(points.size()); }
    const float2* data() const { return points.data(); }

    // True when threshold > distance(point, pos) for some inserted point: the same test,
    // operation for operation, as a scan over all points would make.
    bool anyCloserThan(const float2& pos) const;

private:
    int cellX(float x) const;
    int cellY(float y) const;

    int3 gridFieldSize{-1, -1, -1};
    float gridThreshold = -1.0f;
    float cellSize = 1.0f;
    int numCellX = 0;
    int numCellY = 0;
    std::vector<int> head; // per cell: the last point inserted into it, or -1
    std::vector<float2> points;
    std::vector<int> nextInCell;  // per point: the point inserted into its cell before it
    std::vector<int> cellOfPoint; // -1 for points that no test can reject with (NaN)
};
