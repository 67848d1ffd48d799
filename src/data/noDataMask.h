// Marks the samples of one time step that hold no data. Imported fill values (land, gaps)
// arrive as zero vectors, so a sample is no-data when its vector is exactly (0, 0) and one of
// its eight neighbours is too; an isolated zero is a critical point, not a gap.
#pragma once

#include "common/typeOperations.h"

#include <cstdint>
#include <vector>

class NoDataMask
{
public:
    NoDataMask() = default;
    // rows[j][i] is sample (i, j) of a width x height grid.
    NoDataMask(const float2* const* rows, int width, int height);

    bool any() const { return count > 0; }
    bool isNoData(int i, int j) const;
    // Whether any corner of the cell (i, j)..(i + 1, j + 1) is no-data.
    bool cellTouchesNoData(int i, int j) const;
    // Whether the sample nearest to a position in grid units is no-data.
    bool atPosition(float2 pos) const;

    int width = 0;
    int height = 0;
    std::int64_t count = 0;

private:
    std::vector<std::uint8_t> flags; // 1 at j * width + i for a no-data sample
};
