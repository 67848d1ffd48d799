// Traces field-lines through a 2-D field, steady or unsteady, by fourth-order Runge-Kutta in
// grid units: streamlines with distance control, pathlines, streaklines and timelines, from a
// single seed, a rake, a uniform grid or random seeds, into a TracedLines store.
#pragma once

#include "common/typeOperations.h"
#include "tracing/pointGrid.h"

#include <cstdint>
#include <random>
#include <vector>

class TracedLines;

class Tracing
{
public:
    static constexpr int kMaxRakeSeeds = 2000;
    // A half streamline ends after this many steps without storing a point. At the slowest
    // speed that is traced (0.01) and the shortest step (h = 0.1) a point moving straight is
    // 0.5 away after 500 steps, so ten times that means it circles or stalls.
    static constexpr int kMaxStepsWithoutPoint = 5000;
    // A streak particle takes at most as many steps as the longest pathline.
    static constexpr int kMaxParticleSteps = 2000;

    Tracing(int3 flowFieldSize, int uiTimelDispTimeId);

    // Integrator.
    bool interpolateVect(float2 pos, float timeIntplId, float2& vec, int3 flowFieldSize,
                         float2*** orgnvectField2dSlice) const;
    bool RK4(float2& pos, float timeIntplId, int direction, int3 flowFieldSize,
             float2*** orgnvectField2dSlice) const;

    // Streamlines and distance control.
    void strmlTracing(float2& seedPos, int3 flowFieldSize, float2*** orgnvectField2dSlice,
                      TracedLines* flowlines, TracedLines* commitedLines,
                      TracedLines* otherTmpLines, int prevNumLines, int& prevNumPnts);
    void restoreStreamlinepntsOrder(TracedLines* flowlines, int prevNumLines,
                                    int prevNumPnts) const;
    bool distanceControl(TracedLines* lines, const float2& pos) const;
    bool distanceControl(float2* points, const int& numPoints, const float2& pos) const;
    bool distanceControl(TracedLines* commitedLines, TracedLines* otherTmpLines, float2 pos) const;

    // Unsteady field-lines.
    float2 pthlTracing(float2& seedPos, float pthlTraceTimeIntv, int pthlStartTimeId,
                       float strkStpTime, int3 flowFieldSize, float2*** orgnvectField2dSlice,
                       TracedLines* flowlines, int prevNumLines, int& prevNumPnts);
    void multiSlicePthl(float2 seed, int3 flowFieldSize, int numpthlines,
                        float2*** orgnvectField2dSlice, TracedLines* flowlines, int& prevNumPnts);
    void strklTracing(float2& seedPos, float pthlTraceTimeIntv, int strkStpTime,
                      float strkParticleTimeId, int3 flowFieldSize, float2*** orgnvectField2dSlice,
                      TracedLines* flowlines);
    // The streakline a click makes: record 0 from particles released every
    // uiStrkParticleTimeIntv up to strkStpTime, its points from index 0 on; currNumpnt and
    // streaklineNum count it.
    void buildStreakline(float2 seedPos, int3 flowFieldSize, float2*** orgnvectField2dSlice,
                         TracedLines* flowlines);
    void timelTracing(float2* seedArr, int numSeed, int3 flowFieldSize,
                      float2*** orgnvectField2dSlice, TracedLines* flowlines, int& prevNumPnts);

    // Seeding.
    void computeRakeSeed(float2* seedArr, int numSeed) const;
    void rakeStrml(float2* rakeSeeds, bool bStrml, int3 flowFieldSize,
                   float2*** orgnvectField2dSlice, TracedLines* flowlines, int& prevNumPnts);
    void getRakeStrmPthTimeEndSdPnts(bool& firstSd, bool bStrml, float2* seedPos, float2* seedArr,
                                     int numSeed, int3 flowFieldSize,
                                     float2*** orgnvectField2dSlice, int flagStrmPathPthtime,
                                     TracedLines* flowlines);
    void getUnifSdPnts(float2* seedArr, int numXSeed, int numYSeed, int3 flowFieldSize,
                       float2*** orgnvectField2dSlice, TracedLines* flowlines);
    void getRandSdPnts(float2* seedArr, int numSeed, int3 flowFieldSize,
                       float2*** orgnvectField2dSlice, TracedLines* flowlines);

    int3 flowFieldSize;
    int winWidth;
    int winHeight;
    int uiIntvTracStp = 1;
    float uiDistCtrl = 0.0f;
    int numRakeSeeds = 10;
    int currRakeSeedId = 0;
    bool flgMulti = false;
    float2 rakeSeeds[kMaxRakeSeeds] = {};
    int iNumPointsStrl = 2000;
    bool bDistctrl = false;
    bool bMulti = false;
    float pthlTraceTimeIntv = 0.1f;
    float pthTimeId = 0.0f;
    float strkStpTime;
    float uiStrkParticleTimeIntv = 1.0f;
    int uiTimelDispTimeId;
    // Threads that uniform and random seeding trace on without distance control; 0: one per
    // core. The store ends up the same whatever their number.
    unsigned threadCount = 0;

private:
    // A streamline traced apart from any store: the backward half from the seed outward, then
    // the forward half.
    struct StreamlineHalves
    {
        std::vector<float2> backward;
        std::vector<float2> forward;
    };

    float stepLength(int direction) const;
    // Streamline steps; false when the line is refused for lack of capacity.
    bool traceStreamline(const float2& seedPos, int3 size, float2*** field, TracedLines* flowlines,
                         int prevNumLines, int& prevNumPnts);
    int traceHalf(const float2& seedPos, int direction, int count, int3 size, float2*** field,
                  TracedLines* flowlines, int prevNumPnts);
    template <class Keep>
    int walkHalf(const float2& seedPos, int direction, int count, int3 size, float2*** field,
                 Keep&& keep) const;
    void traceApart(const float2& seedPos, int3 size, float2*** field,
                    StreamlineHalves& line) const;
    bool storeStreamline(const StreamlineHalves& line, TracedLines* flowlines, int prevNumLines,
                         int& prevNumPnts) const;
    bool keepCandidate(TracedLines* flowlines, int prevNumPnts, int count, const float2& pos);
    bool distanceControlActive() const;
    void prepareStoreIndex(TracedLines* flowlines, int3 size, int base);
    void extendStoreIndex(TracedLines* flowlines);

    // Unsteady steps.
    bool tracePathline(const float2& seedPos, float timeIntv, int pthlStartTimeId, float endTime,
                       int3 size, float2*** field, TracedLines* flowlines, int prevNumLines,
                       int& prevNumPnts, float2& endPos);
    int advancePathline(float2& pos, float timeIntv, float startTime, float endTime, int budget,
                        int3 size, float2*** field, float2* points);
    int traceTimelines(const float2* seedArr, int seeds, int numTimel, int3 size, float2*** field,
                       TracedLines* flowlines, int& prevNumPnts);
    void traceParticle(const float2& seedPos, float endTime, int3 size, float2*** field);
    float2 positionAtTime(float endTime) const;

    // Seeding steps.
    int traceSeededStreamlines(float2* seedArr, int numSeed, int3 size, float2*** field,
                               TracedLines* flowlines);
    int traceSeededInParallel(const float2* seedArr, int numSeed, int threads, int3 size,
                              float2*** field, TracedLines* flowlines) const;
    int drawUniform(int upper);

    // Distance control index: the first storeIndexCount points of the grid mirror the first
    // points of storeIndexed; the points of the half being traced follow them.
    PointGrid grid;
    const TracedLines* storeIndexed = nullptr;
    int storeIndexCount = 0;
    bool bIndexUsable = false;

    // The track of the particle a timeline set is following, and where it ended.
    std::vector<float2> particleTrack;
    float2 particleEndPos{};
    bool bStrklRefusalSaid = false;
    std::mt19937 seedGenerator{20240607u};
};
