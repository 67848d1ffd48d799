// Fixed-capacity tables of the critical points of one time step: the positions of each
// classified type with the template seeds placed around them, and every candidate the cell
// search found. The type blocks always come in the order repelling focus, attracting focus,
// center, repelling node, attracting node, saddle.
#pragma once

#include "common/typeOperations.h"

// Entries per table; appending stops when a table is full.
inline constexpr int kCritpntCapacity = 2000;

struct critpntArray
{
    float2 repFocus[kCritpntCapacity];
    float repFocusTmpltsz[kCritpntCapacity];
    float2 repFocusTmpltSeeds[kCritpntCapacity];
    int repFocusTmpltSeedsCnt;
    float2 attrFocus[kCritpntCapacity];
    float attrFocusTmpltsz[kCritpntCapacity];
    float2 attrFocusTmpltSeeds[kCritpntCapacity];
    int attrFocusTmpltSeedsCnt;
    float2 center[kCritpntCapacity];
    float centerTmpltsz[kCritpntCapacity];
    float2 centerTmpltSeeds[kCritpntCapacity];
    int centerTmpltSeedsCnt;
    float2 repNode[kCritpntCapacity];
    float repNodeTmpltsz[kCritpntCapacity];
    float2 repNodeTmpltSeeds[kCritpntCapacity];
    int repNodeTmpltSeedsCnt;
    float2 attrNode[kCritpntCapacity];
    float attrNodeTmpltsz[kCritpntCapacity];
    float2 attrNodeTmpltSeeds[kCritpntCapacity];
    int attrNodeTmpltSeedsCnt;
    float2 saddlePnt[kCritpntCapacity];
    float saddlePntTmpltsz[kCritpntCapacity];
    float2 saddlePntTmpltSeeds[kCritpntCapacity];
    int saddlePntTmpltSeedsCnt;
    float2 allCritical[kCritpntCapacity];
};
