// Follows the critical points of an unsteady field through a range of time steps: detects and
// classifies them in every step, links each step's points to the next step's into tracks, and
// reports where a track changes type and where a saddle is born or dies with a node or focus.
#pragma once

#include "critpnt/critpntDetect.h"
#include "critpnt/critpntTrack.h"

#include <vector>

// A point stays on its track when it moves less than its distance to every other point of its
// kind (saddles one kind, all other types the other) in the step it leaves and the step it
// reaches. Tracks are numbered by the step they start in, then by the detector's order.
class CritpntTracker
{
public:
    // Tracks steps first ... last (inclusive, all within field) of field, whose grid is size.x
    // by size.y; nothing when last < first.
    void track(float2*** field, const int3& size, int first, int last);

    std::vector<critpntTrack> tracks;
    std::vector<trackEvent> events;
    unsigned threadCount = 0; // threads detecting steps; 0 for all cores

private:
    // Links points already found, one list per step in step order.
    void link(const std::vector<std::vector<trackPoint>>& steps);
    // The classified points of one time step, in the detector's type order.
    static std::vector<trackPoint> detectStep(CritpntDetect& detect, float2** slice,
                                              const int3& size, int step);
    void linkStep(const std::vector<trackPoint>& next, std::vector<int>& open);
    void pairEnds(TrackEventKind kind, const std::vector<int>& ends,
                  const std::vector<float>& separation, const std::vector<trackPoint>& points,
                  const std::vector<int>& ids);
};
