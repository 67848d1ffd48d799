// Critical point detection, classification and template seeds on slice 0 of the default
// 500 x 500 x 48 hurricane field, as the view runs it.
#include "benchHurricane.h"
#include "critpnt/critpntDetect.h"
#include "critpnt/critpntTracker.h"

#include <benchmark/benchmark.h>
#include <string>

namespace
{
void BM_GenAllCritpntData(benchmark::State& state)
{
    const DataManipulate& data = benchHurricane();
    int3 size = data.flowFieldSize;
    CritpntDetect detect;
    for (auto _ : state)
    {
        detect.genAllCritpntData(data.orgnvectField2dSlice[0], 36.0f, &size);
        benchmark::ClobberMemory();
    }
    state.counters["candidates"] = detect.allPntCnt;
    state.counters["saddle"] = detect.saddlePntCnt;
    state.counters["repFocus"] = detect.repFocusCnt;
    state.counters["attrFocus"] = detect.attrFocusCnt;
    state.counters["center"] = detect.centerCnt;
    state.counters["repNode"] = detect.repNodeCnt;
    state.counters["attrNode"] = detect.attrNodeCnt;
    state.SetLabel("slice 0 of the 500 x 500 x 48 hurricane field");
}
} // namespace

BENCHMARK(BM_GenAllCritpntData)->Unit(benchmark::kMillisecond);

namespace
{
// The tracks through all 48 steps of the default field, on one thread and on all cores.
void BM_TrackCritpnts(benchmark::State& state)
{
    DataManipulate& data = benchHurricane();
    CritpntTracker tracker;
    tracker.threadCount = unsigned(state.range(0));
    const int3 size = data.flowFieldSize;
    for (auto _ : state)
    {
        tracker.track(data.orgnvectField2dSlice.data(), size, 0, size.z - 1);
        benchmark::ClobberMemory();
    }
    state.counters["tracks"] = double(tracker.tracks.size());
    state.counters["events"] = double(tracker.events.size());
    state.SetLabel("48 steps of the 500 x 500 hurricane field, threads (0: all cores)");
}
} // namespace

BENCHMARK(BM_TrackCritpnts)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
