// The quiz names positions in field coordinates normalised to 0..1 on both axes: 0 is the
// first sample of a row or column and 1 the last, so (1, 1) is sample (width-1, height-1).
#pragma once

#include "common/typeOperations.h"

inline float2 fieldFromNormalised(const float2& n, const int3& size)
{
    return makeFloat2(n.x * float(size.x - 1), n.y * float(size.y - 1));
}

inline float2 normalisedFromField(const float2& p, const int3& size)
{
    return makeFloat2(p.x / float(size.x - 1), p.y / float(size.y - 1));
}
