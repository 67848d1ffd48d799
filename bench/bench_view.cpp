// Frame time of the flow view drawing many tube-mode field-lines, against the number of
// drawn points: every layer drawn in each frame (frames/0), the layers kept from the frame
// before (frames/1), and kept layers drawn again because something changed (frames/2). The
// CPU column is the whole process, Mesa's rasteriser threads included, so it shows the work
// per frame even on a busy machine. Run it under a virtual display with Mesa's software GL:
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a build/bench/bench_view
#include "view/flowView.h"

#include <QApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace
{

constexpr int kPointsPerLine = 2000;
constexpr float4 kRed{1.0f, 0.0f, 0.0f, 1.0f};

// A 600 x 600 view over a 500 x 500 field showing uniformly seeded streamlines: curves that
// sweep back and forth across it, points at most 0.6 apart (the tracer keeps points more than
// 0.5 apart), band half-width 3, shaded.
class BenchView : public FlowView
{
public:
    BenchView() : FlowView(nullptr, 600, 600)
    {
        translateX = translateY = translateZ = 250;
        resize(600, 600);
    }

    // The lines go into the view's store as streamlines of a uniform seeding; for the
    // reference drawing one call per vertex they stay with the benchmark.
    void setLines(int numLines, bool bImmediate)
    {
        immediate = bImmediate;
        lines.assign(numLines, std::vector<float2>(kPointsPerLine));
        for (int k = 0; k < numLines; ++k)
        {
            const float y0 = 20.0f + 460.0f * k / std::max(numLines - 1, 1);
            for (int i = 0; i < kPointsPerLine; ++i)
            {
                const float s = 0.6f * i;
                const float x = 250.0f + 230.0f * std::sin(s / 230.0f);
                lines[k][i] = float2{x, y0 + 8.0f * std::sin(0.05f * s + k)};
            }
        }
        TracedLines& store = *tmpLines;
        const int numStored = immediate ? 0 : numLines;
        for (int k = 0; k < numStored; ++k)
        {
            std::copy(lines[k].begin(), lines[k].end(), &store.pointArray[k * kPointsPerLine]);
            store.streamlineIndxArray[k] =
                flowlineInfo{k * kPointsPerLine, k * kPointsPerLine, kPointsPerLine - 1};
        }
        store.streamlineNum = numStored;
        store.currNumpnt = numStored * kPointsPerLine;
        trace->numRakeSeeds = numStored;
        bPnt = false;
        bUnif = true;
        invalidate();
    }

    void frame()
    {
        makeCurrent();
        paintGL();
        glFinish();
        doneCurrent();
    }

protected:
    void paintGL() override
    {
        FlowView::paintGL();
        if (!immediate)
            return;
        for (std::vector<float2>& line : lines)
            drawImmediate(line);
    }

private:
    void drawImmediate(const std::vector<float2>& line)
    {
        reference.build(line.data(), kPointsPerLine, flowlineRadius, 0, kRed, 0.0f, false);
        glPushAttrib(GL_ENABLE_BIT);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, tex);
        glBegin(GL_QUADS);
        for (const BandVertex& v : reference.quads())
        {
            glColor4f(v.r, v.g, v.b, v.a);
            glTexCoord2f(v.s, v.t);
            glVertex2f(v.x, v.y);
        }
        glEnd();
        glPopAttrib();
    }

    std::vector<std::vector<float2>> lines;
    bool immediate = false;
    BandBuilder reference;
};

BenchView* view = nullptr;

enum FrameMode
{
    kEveryLayer,
    kKeptLayers,
    kRedrawnKeptLayers
};

// Arg 0: drawn points; arg 1: the frame mode.
void BM_TubeLinesFrame(benchmark::State& state)
{
    const auto mode = static_cast<FrameMode>(state.range(1));
    view->setLines(static_cast<int>(state.range(0)) / kPointsPerLine, false);
    view->bFrameCache = mode != kEveryLayer;
    view->frame(); // first frame outside the timing
    const int restoredBefore = view->framesFromCache();
    for (auto _ : state)
    {
        if (mode == kRedrawnKeptLayers)
            view->invalidate();
        view->frame();
    }
    state.counters["points"] = static_cast<double>(state.range(0));
    state.counters["kept"] = view->framesFromCache() - restoredBefore;
}
BENCHMARK(BM_TubeLinesFrame)
    ->ArgsProduct({{24000, 50000, 100000, 200000, 400000}, {kEveryLayer}})
    ->ArgsProduct({{200000}, {kKeptLayers, kRedrawnKeptLayers}})
    ->ArgNames({"points", "frames"})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_TubeLinesFrameOneCallPerVertex(benchmark::State& state)
{
    view->setLines(static_cast<int>(state.range(0)) / kPointsPerLine, true);
    view->bFrameCache = false;
    view->frame();
    for (auto _ : state)
        view->frame();
}
BENCHMARK(BM_TubeLinesFrameOneCallPerVertex)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Building the vertex arrays alone, without GL: nanoseconds per point.
void BM_BandBuild(benchmark::State& state)
{
    std::vector<float2> line(kPointsPerLine);
    for (int i = 0; i < kPointsPerLine; ++i)
        line[i] = float2{0.6f * i, 8.0f * std::sin(0.03f * i)};
    BandBuilder band;
    for (auto _ : state)
    {
        band.build(line.data(), kPointsPerLine, 3.0f, 0, kRed, 0.0f, true);
        benchmark::DoNotOptimize(band.quads().data());
    }
    state.SetItemsProcessed(state.iterations() * kPointsPerLine);
}
BENCHMARK(BM_BandBuild);

} // namespace

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    QApplication app(argc, argv);
    BenchView benchView;
    benchView.show();
    app.processEvents();
    view = &benchView;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
