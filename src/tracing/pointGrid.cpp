#include "tracing/pointGrid.h"

#include <algorithm>
#include <cmath>

namespace
{
// Few enough cells to reset quickly, enough to keep each cell's list short.
constexpr int kMaxCellsPerSide = 512;
} // namespace

void PointGrid::reset(int3 flowFieldSize, float threshold)
{
    gridFieldSize = flowFieldSize;
    gridThreshold = threshold;
    const float extent = float(std::max({flowFieldSize.x, flowFieldSize.y, 1}));
    // A margin over the threshold keeps neighbours within one cell despite rounding.
    cellSize = std::max(threshold * 1.01f, extent / kMaxCellsPerSide);
    numCellX = std::clamp(int(float(std::max(flowFieldSize.x, 1)) / cellSize) + 1, 1,
                          kMaxCellsPerSide + 1);
    numCellY = std::clamp(int(float(std::max(flowFieldSize.y, 1)) / cellSize) + 1, 1,
                          kMaxCellsPerSide + 1);
    head.assign(std::size_t(numCellX) * numCellY, -1);
    points.clear();
    nextInCell.clear();
    cellOfPoint.clear();
}

bool PointGrid::matches(int3 flowFieldSize, float threshold) const
{
    return flowFieldSize.x == gridFieldSize.x && flowFieldSize.y == gridFieldSize.y &&
           threshold == gridThreshold;
}

namespace
{
// Coordinates outside the field fall into the border cells; clamping keeps neighbouring
// points in neighbouring cells, so no pair closer than a cell is ever missed. Truncation is
// the floor for the positive quotients that reach it.
inline int clampedCell(float coord, float cellSize, int numCells)
{
    const float v = coord / cellSize;
    if (!(v > 0.0f))
        return 0;
    if (v >= float(numCells - 1))
        return numCells - 1;
    return int(v);
}
} // namespace

int PointGrid::cellX(float x) const
{
    return clampedCell(x, cellSize, numCellX);
}

int PointGrid::cellY(float y) const
{
    return clampedCell(y, cellSize, numCellY);
}

void PointGrid::insert(const float2& point)
{
    const int k = size();
    points.push_back(point);
    if (std::isnan(point.x) || std::isnan(point.y))
    {
        nextInCell.push_back(-1);
        cellOfPoint.push_back(-1);
        return;
    }
    const int cell = cellY(point.y) * numCellX + cellX(point.x);
    nextInCell.push_back(head[cell]);
    cellOfPoint.push_back(cell);
    head[cell] = k;
}

void PointGrid::removeLast(int count)
{
    for (int n = 0; n < count && !points.empty(); ++n)
    {
        const int k = size() - 1;
        if (cellOfPoint[k] >= 0)
            head[cellOfPoint[k]] = nextInCell[k];
        points.pop_back();
        nextInCell.pop_back();
        cellOfPoint.pop_back();
    }
}

bool PointGrid::anyCloserThan(const float2& pos) const
{
    if (std::isnan(pos.x) || std::isnan(pos.y) || points.empty())
        return false;
    const int cx = cellX(pos.x);
    const int cy = cellY(pos.y);
    for (int y = std::max(cy - 1, 0); y <= std::min(cy + 1, numCellY - 1); ++y)
        for (int x = std::max(cx - 1, 0); x <= std::min(cx + 1, numCellX - 1); ++x)
            for (int k = head[y * numCellX + x]; k >= 0; k = nextInCell[k])
            {
                const float2& p = points[k];
                if (gridThreshold >
                    std::sqrt((p.x - pos.x) * (p.x - pos.x) + (p.y - pos.y) * (p.y - pos.y)))
                    return true;
            }
    return false;
}
