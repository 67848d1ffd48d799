// Frame time of the flow view drawing many tube-mode field-lines, against the number of
// drawn points. Run it under a virtual display with Mesa's software GL:
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a build/bench/bench_view
#include "view/flowView.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace
{

constexpr int kPointsPerLine = 2000;

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
            drawLineTexture(line.data(), kPointsPerLine, flowlineRadius, 0,
                            float4{1.0f, 0.0f, 0.0f, 1.0f}, 0.0f, false);
    }

private:
    std::vector<std::vector<float2>> lines;
};

BenchView* view = nullptr;

void BM_TubeLinesFrame(benchmark::State& state)
{
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
    ->UseRealTime()
    ->Complexity(benchmark::oN);

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
