// The records of critical point tracks: a point of one time step, a track of such points over
// consecutive steps, and the events along the tracks (a change of type, a pair of points born
// or dying together).
#pragma once

#include "common/typeOperations.h"

#include <vector>

struct trackPoint
{
    int step;
    float2 pos;
    int type; // the detector's type code
};

// Points of consecutive time steps, one per step, in step order.
struct critpntTrack
{
    std::vector<trackPoint> points;
};

enum TrackEventKind
{
    TEK_TYPE_CHANGE = 0, // track changes type at step, pos: its point there
    TEK_BIRTH = 1,       // tracks track and partner start at step, pos: between them
    TEK_DEATH = 2        // tracks track and partner end at step, pos: between them
};

struct trackEvent
{
    TrackEventKind kind;
    int step;
    float2 pos;
    int track;        // the saddle of a pair; the track that changes type
    int partner = -1; // the saddle's node or focus in a birth or death
    int fromType = -1;
    int toType = -1;
};
