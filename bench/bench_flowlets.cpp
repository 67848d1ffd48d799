// Frame time of the flowlet animation: a 600 x 600 view on the default hurricane field
// (500 x 500 x 48) with 100 streamlines seeded on a uniform 10 x 10 grid, each frame drawing
// every layer (frames/0), or the tracks and flowlets over the backdrop and LIC background kept
// from the frame before (frames/1); 200 frames after the start (heads on the first 200 points of
// each line) or long after it (a full train on every line). The CPU column is the whole
// process, Mesa's rasteriser threads included. Run it under a virtual display with Mesa's
// software GL:
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a build/bench/bench_flowlets
#include "datasetWriter.h"
#include "view/flowView.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace
{

class BenchView : public FlowView
{
public:
    BenchView() : FlowView(nullptr, 600, 600) { resize(600, 600); }

    void frame()
    {
        makeCurrent();
        paintGL();
        glFinish();
        doneCurrent();
    }
};

BenchView* view = nullptr;

// Arg 0: 0 for the frame without lines, for reference, 1 for 100 streamlines with flowlets;
// arg 1: 1 when the layers under the flowlets are kept between frames; arg 2: the frame
// counter at the start.
void BM_FlowletFrame(benchmark::State& state)
{
    view->tmpLines->streamlineNum = 0;
    view->bFrameCache = state.range(1) == 1;
    if (state.range(0) == 1)
    {
        const int3 size = view->dataMani->flowFieldSize;
        view->trace->getUnifSdPnts(view->trace->rakeSeeds, 10, 10, size,
                                   view->dataMani->orgnvectField2dSlice.data(),
                                   view->tmpLines.get());
    }
    view->on_view_flowlet(2);
    view->iTimer->stop();
    view->animStep = static_cast<int>(state.range(2));
    view->frame();
    const int restoredBefore = view->framesFromCache();
    for (auto _ : state)
        view->frame();
    state.counters["kept"] = view->framesFromCache() - restoredBefore;
    const TracedLines& lines = *view->tmpLines;
    int points = 0;
    for (int i = 0; i < lines.streamlineNum; ++i)
        points += lines.streamlineIndxArray[i].numPoint + 1;
    state.counters["streamlines"] = lines.streamlineNum;
    state.counters["points"] = points;
}
BENCHMARK(BM_FlowletFrame)
    ->ArgsProduct({{0, 1}, {0, 1}, {200}})
    ->ArgsProduct({{1}, {0, 1}, {60000}})
    ->ArgNames({"lines", "frames", "animStep"})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    DatasetWriter::writeHurricaneSlices("data/hurricane_z_8.dat");
    {
        BenchView benchView;
        benchView.show();
        app.processEvents();
        view = &benchView;
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    QDir::setCurrent(previous);
    return 0;
}
