// Analytic fields for the critical point tests, sampled on a grid held by a DataManipulate.
#pragma once

#include "data/dataManipulate.h"

#include <functional>

// A w x h single-step field with v(i, j) = f(i, j).
inline DataManipulate sampledField(int w, int h, const std::function<float2(float, float)>& f)
{
    DataManipulate data("", "", "", "", true);
    data.flowFieldSize = {w, h, 1};
    data.orgnvectField2d.resize(std::size_t(w) * h);
    data.assignPointerto2Ddata();
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            data.orgnvectField2dSlice[0][j][i] = f(float(i), float(j));
    return data;
}
