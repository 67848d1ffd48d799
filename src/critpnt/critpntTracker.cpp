#include "critpnt/critpntTracker.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>
#include <tuple>

namespace
{
bool isSaddle(int type)
{
    return type == 4;
}

float distance(const float2& a, const float2& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// For each point, its distance to the nearest other point of its kind (infinite if none).
std::vector<float> separations(const std::vector<trackPoint>& points)
{
    std::vector<float> nearest(points.size(), std::numeric_limits<float>::infinity());
    for (std::size_t a = 0; a < points.size(); ++a)
        for (std::size_t b = a + 1; b < points.size(); ++b)
            if (isSaddle(points[a].type) == isSaddle(points[b].type))
            {
                const float d = distance(points[a].pos, points[b].pos);
                nearest[a] = std::min(nearest[a], d);
                nearest[b] = std::min(nearest[b], d);
            }
    return nearest;
}

// Pairs (a, b) of a from first and b from second, nearest first, each index used once, among
// those accept admits.
template <class Accept>
std::vector<std::pair<int, int>> greedyPairs(const std::vector<trackPoint>& first,
                                             const std::vector<trackPoint>& second, Accept accept)
{
    std::vector<std::tuple<float, int, int>> candidates;
    for (int a = 0; a < int(first.size()); ++a)
        for (int b = 0; b < int(second.size()); ++b)
        {
            const float d = distance(first[a].pos, second[b].pos);
            if (accept(a, b, d))
                candidates.emplace_back(d, a, b);
        }
    std::sort(candidates.begin(), candidates.end());
    std::vector<bool> usedFirst(first.size()), usedSecond(second.size());
    std::vector<std::pair<int, int>> pairs;
    for (const auto& [d, a, b] : candidates)
        if (!usedFirst[a] && !usedSecond[b])
        {
            usedFirst[a] = usedSecond[b] = true;
            pairs.emplace_back(a, b);
        }
    return pairs;
}
} // namespace

void CritpntTracker::track(float2*** field, const int3& size, int first, int last)
{
    const int count = std::max(0, last - first + 1);
    std::vector<std::vector<trackPoint>> steps(count);
    const unsigned cores = threadCount ? threadCount : std::thread::hardware_concurrency();
    const int threads = std::clamp(int(cores), 1, std::max(count, 1));
    std::atomic<int> nextStep{0};
    // Steps are independent: each thread runs its own detector, so the result does not depend
    // on the number of threads.
    const auto work = [&]
    {
        CritpntDetect detect;
        for (int k = nextStep++; k < count; k = nextStep++)
            steps[k] = detectStep(detect, field[first + k], size, first + k);
    };
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < threads; ++t)
            helpers.emplace_back(work);
        work();
    }
    link(steps);
}

std::vector<trackPoint> CritpntTracker::detectStep(CritpntDetect& detect, float2** slice,
                                                   const int3& size, int step)
{
    int3 flowsize = size;
    detect.findCritpnts(slice, &flowsize);
    detect.spotCripnts(slice, makeInt2(size.x, size.y));
    const critpntArray& t = *detect.critpoints;
    const std::pair<const float2*, int> tables[] = {
        {t.repFocus, detect.repFocusCnt}, {t.attrFocus, detect.attrFocusCnt},
        {t.center, detect.centerCnt},     {t.repNode, detect.repNodeCnt},
        {t.attrNode, detect.attrNodeCnt}, {t.saddlePnt, detect.saddlePntCnt}};
    const int codes[] = {3, 2, 6, 1, 0, 4};
    std::vector<trackPoint> points;
    for (int k = 0; k < 6; ++k)
        for (int n = 0; n < tables[k].second; ++n)
            points.push_back(trackPoint{step, tables[k].first[n], codes[k]});
    return points;
}

void CritpntTracker::link(const std::vector<std::vector<trackPoint>>& steps)
{
    tracks.clear();
    events.clear();
    if (steps.empty())
        return;
    std::vector<int> open;
    for (const trackPoint& p : steps[0])
    {
        open.push_back(int(tracks.size()));
        tracks.push_back(critpntTrack{{p}});
    }
    for (std::size_t k = 1; k < steps.size(); ++k)
        linkStep(steps[k], open);
    std::stable_sort(events.begin(), events.end(),
                     [](const trackEvent& a, const trackEvent& b) { return a.step < b.step; });
}

// Continues the open tracks (those with a point in the previous step) into next; what is left
// over ends or starts a track, and ends and starts are paired into deaths and births.
void CritpntTracker::linkStep(const std::vector<trackPoint>& next, std::vector<int>& open)
{
    std::vector<trackPoint> previous;
    for (const int id : open)
        previous.push_back(tracks[id].points.back());
    const std::vector<float> sepPrevious = separations(previous);
    const std::vector<float> sepNext = separations(next);
    const auto staysOnTrack = [&](int a, int b, float d)
    {
        return isSaddle(previous[a].type) == isSaddle(next[b].type) && d < sepPrevious[a] &&
               d < sepNext[b];
    };
    std::vector<int> nextTrack(next.size(), -1);
    std::vector<bool> continued(previous.size());
    for (const auto& [a, b] : greedyPairs(previous, next, staysOnTrack))
    {
        critpntTrack& track = tracks[open[a]];
        if (previous[a].type != next[b].type)
            events.push_back(trackEvent{TEK_TYPE_CHANGE, next[b].step, next[b].pos, open[a], -1,
                                        previous[a].type, next[b].type});
        track.points.push_back(next[b]);
        nextTrack[b] = open[a];
        continued[a] = true;
    }
    std::vector<int> ended;
    for (std::size_t a = 0; a < previous.size(); ++a)
        if (!continued[a])
            ended.push_back(int(a));
    pairEnds(TEK_DEATH, ended, sepPrevious, previous, open);
    std::vector<int> started;
    for (std::size_t b = 0; b < next.size(); ++b)
        if (nextTrack[b] < 0)
        {
            nextTrack[b] = int(tracks.size());
            tracks.push_back(critpntTrack{{next[b]}});
            started.push_back(int(b));
        }
    pairEnds(TEK_BIRTH, started, sepNext, next, nextTrack);
    open = nextTrack;
}

// A saddle and a node or focus that end (or start) in the same step, nearer to each other than
// either is to another point of its kind, died (or were born) as a pair.
void CritpntTracker::pairEnds(TrackEventKind kind, const std::vector<int>& ends,
                              const std::vector<float>& separation,
                              const std::vector<trackPoint>& points, const std::vector<int>& ids)
{
    std::vector<trackPoint> saddles, others;
    std::vector<int> saddleIdx, otherIdx;
    for (const int e : ends)
    {
        const bool saddle = isSaddle(points[e].type);
        (saddle ? saddles : others).push_back(points[e]);
        (saddle ? saddleIdx : otherIdx).push_back(e);
    }
    const auto together = [&](int s, int o, float d)
    { return d < separation[saddleIdx[s]] && d < separation[otherIdx[o]]; };
    for (const auto& [s, o] : greedyPairs(saddles, others, together))
    {
        const float2 middle = 0.5f * (saddles[s].pos + others[o].pos);
        events.push_back(
            trackEvent{kind, saddles[s].step, middle, ids[saddleIdx[s]], ids[otherIdx[o]]});
    }
}
