// Tracing on the default 500 x 500 x 48 hurricane field: one clicked streamline, a 30-seed
// rake of streamlines with and without distance control, 1000 streamlines from a uniform grid
// on one thread beside all cores (argument 0), and the 48 timelines of a 30-seed rake. The
// grid's CPU time is that of the whole process; "per_point" is it divided by stored points.
#include "data/dataManipulate.h"
#include "datasetWriter.h"
#include "tracing/tracedLines.h"
#include "tracing/tracing.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <thread>

namespace
{
struct Scene
{
    Scene() { DatasetWriter::fillHurricane(data); }
    float2*** field() { return data.orgnvectField2dSlice.data(); }
    DataManipulate data{"", "", "", "", false};
    TracedLines lines;
};

Scene& scene()
{
    static Scene s;
    return s;
}

void resetCounters(TracedLines& lines)
{
    lines.currNumpnt = 0;
    lines.streamlineNum = lines.pathlineNum = lines.streaklineNum = lines.timelineNum = 0;
}

void BM_ClickedStreamline(benchmark::State& state)
{
    Scene& s = scene();
    Tracing tracer(s.data.flowFieldSize, 0);
    float2 seed = makeFloat2(200, 300);
    for (auto _ : state)
    {
        resetCounters(s.lines);
        tracer.strmlTracing(seed, s.data.flowFieldSize, s.field(), &s.lines, nullptr, nullptr, 0,
                            s.lines.currNumpnt);
    }
    state.counters["points"] = s.lines.currNumpnt;
}

// The view's rake: two clicks across the field, streamlines from 30 seeds.
void rake(benchmark::State& state, bool bDistctrl, int flag, bool bStrml)
{
    Scene& s = scene();
    Tracing tracer(s.data.flowFieldSize, 0);
    tracer.bDistctrl = bDistctrl;
    tracer.uiDistCtrl = 0.3f;
    tracer.numRakeSeeds = 30;
    for (auto _ : state)
    {
        resetCounters(s.lines);
        bool firstSd = true;
        float2 start = makeFloat2(100, 150);
        float2 end = makeFloat2(400, 350);
        tracer.getRakeStrmPthTimeEndSdPnts(firstSd, bStrml, &start, tracer.rakeSeeds, 30,
                                           s.data.flowFieldSize, s.field(), flag, &s.lines);
        tracer.getRakeStrmPthTimeEndSdPnts(firstSd, bStrml, &end, tracer.rakeSeeds, 30,
                                           s.data.flowFieldSize, s.field(), flag, &s.lines);
    }
    state.counters["points"] = s.lines.currNumpnt;
}

void BM_RakeStreamlines(benchmark::State& state)
{
    rake(state, false, 1, true);
}

void BM_RakeStreamlinesDistanceControl(benchmark::State& state)
{
    rake(state, true, 1, true);
}

void BM_RakeTimelines(benchmark::State& state)
{
    rake(state, false, 3, false);
}

void BM_UniformStreamlines(benchmark::State& state)
{
    Scene& s = scene();
    Tracing tracer(s.data.flowFieldSize, 0);
    tracer.threadCount = static_cast<unsigned>(state.range(0));
    for (auto _ : state)
    {
        resetCounters(s.lines);
        tracer.getUnifSdPnts(tracer.rakeSeeds, 40, 25, s.data.flowFieldSize, s.field(), &s.lines);
    }
    long long points = 0;
    for (int i = 0; i < s.lines.streamlineNum; ++i)
        points += s.lines.streamlineIndxArray[i].numPoint + 1;
    state.counters["lines"] = s.lines.streamlineNum;
    state.counters["points"] = double(points);
    state.counters["per_point"] =
        benchmark::Counter(double(points), benchmark::Counter::kIsIterationInvariantRate |
                                               benchmark::Counter::kInvert);
    state.counters["threads"] =
        tracer.threadCount ? tracer.threadCount : std::thread::hardware_concurrency();
}
} // namespace

BENCHMARK(BM_ClickedStreamline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RakeStreamlines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RakeStreamlinesDistanceControl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UniformStreamlines)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(BM_RakeTimelines)->Unit(benchmark::kMillisecond);
