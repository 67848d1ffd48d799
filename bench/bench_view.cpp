// Frame time of the flow view drawing many tube-mode field-lines, against the number of
// drawn points. The CPU column is the whole process, Mesa's rasteriser threads included, so
// it shows the work per frame even on a busy machine. Run it under a virtual display with Mesa's
// software GL:
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a build/bench/bench_view
#include "view/flowView.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace
{

constexpr int kPointsPerLine = 2000;
constexpr float4 kRed{1.0f, 0.0f, 0.0f, 1.0f};

// A 600 x 600 view over a 500 x 500 field, drawing streamline-like curves that sweep back and
// forth across it: points at most 0.6 apart (the tracer keeps points more than 0.5 apart),
// band half-width 3, shaded.
class BenchView : public FlowView
{
public:
    BenchView() : FlowView(nullptr, 600, 600)
    {
        translateX = translateY = translateZ = 250;
        resize(600, 600);
    }

    void setLines(int numLines)
    {
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
    }

    // The same bands sent one vertex per call, as a reference for the vertex arrays.
    bool immediate = false;

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
        for (std::vector<float2>& line : lines)
        {
            if (immediate)
                drawImmediate(line);
            else
                drawLineTexture(line.data(), kPointsPerLine, flowlineRadius, 0, kRed, 0.0f, false);
        }
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
    BandBuilder reference;
};

BenchView* view = nullptr;

void BM_TubeLinesFrame(benchmark::State& state)
{
    view->immediate = false;
    const int numLines = static_cast<int>(state.range(0)) / kPointsPerLine;
    view->setLines(numLines);
    view->frame(); // first frame outside the timing
    for (auto _ : state)
        view->frame();
    state.SetComplexityN(state.range(0));
    state.counters["points"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_TubeLinesFrame)
    ->Arg(24000)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Complexity(benchmark::oN);

void BM_TubeLinesFrameOneCallPerVertex(benchmark::State& state)
{
    view->immediate = true;
    view->setLines(static_cast<int>(state.range(0)) / kPointsPerLine);
    view->frame();
    for (auto _ : state)
        view->frame();
    view->immediate = false;
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
