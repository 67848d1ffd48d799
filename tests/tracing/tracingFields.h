// Analytic fields and small helpers for the tracing tests.
#pragma once

#include "data/dataManipulate.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

// A W x H x T field with v(i, j, t) = f(i, j, t).
inline DataManipulate makeField(int3 size, const std::function<float2(int, int, int)>& f)
{
    DataManipulate data("", "", "", "", false);
    data.flowFieldSize = size;
    data.orgnvectField2d.resize(std::size_t(size.x) * size.y * size.z);
    data.assignPointerto2Ddata();
    for (int t = 0; t < size.z; ++t)
        for (int j = 0; j < size.y; ++j)
            for (int i = 0; i < size.x; ++i)
                data.orgnvectField2dSlice[t][j][i] = f(i, j, t);
    return data;
}

inline DataManipulate uniformField(int3 size, float2 v)
{
    return makeField(size, [v](int, int, int) { return v; });
}

// Rigid rotation about (cx, cy), angular speed w: closed circular orbits.
inline DataManipulate rotationField(int3 size, float cx, float cy, float w)
{
    return makeField(size, [=](int i, int j, int)
                     { return makeFloat2(-w * (float(j) - cy), w * (float(i) - cx)); });
}

// What f prints on standard output.
template <class F> std::string printed(F&& f)
{
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

inline bool mentions(const std::string& out, const char* text)
{
    return out.find(text) != std::string::npos;
}
