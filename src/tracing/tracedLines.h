// The store every tracer writes into and the view draws from: one flat array of traced points
// shared by all lines, and per kind of field-line (streamline, streakline, pathline, timeline)
// a table of index records saying where each line's points lie. Capacities are fixed.
#pragma once

#include "common/typeOperations.h"

#include <vector>

// Index record of a streamline, pathline or streakline.
struct flowlineInfo
{
    int startIdx; // first point of the line in pointArray
    int seedIdx;  // the seed point, as an absolute index in pointArray
    int numPoint; // streamline, pathline: points minus 1; streakline: number of particles
};

// Index record of a timeline: numSeed points from startIdx on.
struct timelineInfo
{
    int startIdx;
    int numSeed;
    int numPoint;
};

class TracedLines
{
public:
    static constexpr int kMaxLines = 1000;     // records of each kind
    static constexpr int kMaxPoints = 2000000; // points shared by all lines
    static constexpr int kClearedPoints = 100000;

    TracedLines();

    // Zeroes all records and the four line counts and marks the first kClearedPoints points
    // as NaN; currNumpnt is left for the caller to reset.
    void clearLineData();
    // Appends this store's points and streamline records to commitedLines. Lines that would
    // not fit its capacity are refused with a message.
    void commitTmplines(TracedLines* commitedLines) const;

    std::vector<flowlineInfo> streamlineIndxArray;
    std::vector<flowlineInfo> streaklineIndxArray;
    std::vector<flowlineInfo> pathlineIndxArray;
    std::vector<timelineInfo> timelineIndxArray;
    std::vector<float2> pointArray;
    int streamlineNum = 0;
    int pathlineNum = 0;
    int streaklineNum = 0;
    int timelineNum = 0;
    int currNumpnt = 0; // points in use; the next appended line starts here
};
