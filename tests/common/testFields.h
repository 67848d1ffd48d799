// Analytic fields held by a DataManipulate, the points a detector found and what a call
// prints, for the core tests.
#pragma once

#include "critpnt/critpntDetect.h"
#include "data/dataManipulate.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

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

// Rigid rotation about (cx, cy) with angular speed w: closed circular orbits.
inline DataManipulate rotationField(int3 size, float cx, float cy, float w)
{
    return makeField(size, [=](int i, int j, int)
                     { return makeFloat2(-w * (float(j) - cy), w * (float(i) - cx)); });
}

// The points a detector classified, per type in display order: repelling focus, attracting
// focus, center, repelling node, attracting node, saddle.
inline std::vector<std::vector<float2>> pointsByType(const CritpntDetect& d)
{
    const critpntArray& a = *d.critpoints;
    const std::pair<const float2*, int> tables[] = {
        {a.repFocus, d.repFocusCnt}, {a.attrFocus, d.attrFocusCnt}, {a.center, d.centerCnt},
        {a.repNode, d.repNodeCnt},   {a.attrNode, d.attrNodeCnt},   {a.saddlePnt, d.saddlePntCnt}};
    std::vector<std::vector<float2>> points;
    for (const auto& [table, count] : tables)
        points.emplace_back(table, table + count);
    return points;
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
