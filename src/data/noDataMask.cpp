#include "data/noDataMask.h"

#include <cmath>

namespace
{
bool isZero(const float2& v)
{
    return v.x == 0.0f && v.y == 0.0f;
}
} // namespace

NoDataMask::NoDataMask(const float2* const* rows, int w, int h) : width(w), height(h)
{
    flags.assign(std::size_t(width) * std::size_t(height), 0);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
        {
            if (!isZero(rows[j][i]))
                continue;
            bool zeroNeighbour = false;
            for (int dj = -1; dj <= 1 && !zeroNeighbour; ++dj)
                for (int di = -1; di <= 1 && !zeroNeighbour; ++di)
                {
                    const int ni = i + di;
                    const int nj = j + dj;
                    if ((di != 0 || dj != 0) && ni >= 0 && ni < width && nj >= 0 && nj < height)
                        zeroNeighbour = isZero(rows[nj][ni]);
                }
            if (zeroNeighbour)
            {
                flags[std::size_t(j) * std::size_t(width) + std::size_t(i)] = 1;
                ++count;
            }
        }
}

bool NoDataMask::isNoData(int i, int j) const
{
    if (count == 0 || i < 0 || j < 0 || i >= width || j >= height)
        return false;
    return flags[std::size_t(j) * std::size_t(width) + std::size_t(i)] != 0;
}

bool NoDataMask::cellTouchesNoData(int i, int j) const
{
    return isNoData(i, j) || isNoData(i + 1, j) || isNoData(i, j + 1) || isNoData(i + 1, j + 1);
}

bool NoDataMask::atPosition(float2 pos) const
{
    if (count == 0 ||
        !(pos.x >= -0.5f && pos.y >= -0.5f && pos.x < width - 0.5f && pos.y < height - 0.5f))
        return false;
    return isNoData(int(std::lround(pos.x)), int(std::lround(pos.y)));
}
