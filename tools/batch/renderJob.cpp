#include "renderJob.h"

#include "batchArguments.h"
#include "batchFailure.h"
#include "common/fieldFit.h"
#include "data/fieldWriter.h"
#include "fieldInput.h"
#include "view/flowView.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace
{
// The view reads ./data/hurricane_z_8.dat and keeps its LIC images under ./data: it works in a
// folder of its own, removed afterwards, so nothing stale is shown and nothing is left behind.
class ViewFolder
{
public:
    ViewFolder() : previous(fs::current_path())
    {
        std::random_device device;
        folder = fs::temp_directory_path() / ("quorvel-render-" + std::to_string(device()));
        fs::create_directories(folder / "data");
    }
    ~ViewFolder()
    {
        std::error_code ignored;
        fs::current_path(previous, ignored);
        fs::remove_all(folder, ignored);
    }
    ViewFolder(const ViewFolder&) = delete;
    ViewFolder& operator=(const ViewFolder&) = delete;

    fs::path sliceFile() const { return folder / "data" / "hurricane_z_8.dat"; }
    void enter() const { fs::current_path(folder); }

private:
    fs::path previous;
    fs::path folder;
};

void writeSliceFile(DataManipulate& data, int index, const fs::path& file)
{
    const int3 size = data.flowFieldSize;
    FieldWriter writer(FieldWriter::Format::Slice, file, {size.x, size.y, 1});
    writer.writeStep(data.orgnvectField2dSlice[index][0]);
    if (!writer.commit())
        throw BatchFailure::badInput(writer.error());
}

void showCritpnts(FlowView& view, bool templates)
{
    if (templates)
        view.on_view_toggleCriticalPntStrml(2);
    view.on_view_toggleRepFocus(2);
    view.on_view_toggleAttrFocus(2);
    view.on_view_toggleCenter(2);
    view.on_view_toggleRepNode(2);
    view.on_view_toggleAttrNode(2);
    view.on_view_toggleSaddlePnt(2);
}

// Several seeds are drawn the way the window draws a set of seeded lines: the seeds take the
// place of a random seed set and are traced by the tracer's own seeding.
void traceSeeds(FlowView& view, const std::vector<float2>& seeds)
{
    view.uiRandSeedNum = int(seeds.size());
    view.on_view_toggleRandomSeeding(2);
    Tracing& tracer = *view.trace;
    TracedLines& lines = *view.tmpLines;
    tracer.numRakeSeeds = int(seeds.size());
    std::copy(seeds.begin(), seeds.end(), tracer.rakeSeeds);
    lines.currNumpnt = lines.streamlineNum = 0;
    tracer.rakeStrml(tracer.rakeSeeds, true, view.dataMani->flowFieldSize,
                     view.dataMani->orgnvectField2dSlice.data(), &lines, lines.currNumpnt);
}

// --mark-size, 0 when not given (the marks are then fitted to the field).
int markPercentGiven(const BatchArguments& args)
{
    if (!args.has("--mark-size"))
        return 0;
    const int percent = args.integer("--mark-size", 0);
    if (percent < FieldFit::kMinMarkPercent || percent > FieldFit::kMaxMarkPercent)
        throw BatchFailure::badUsage("--mark-size is 25 to 400 (percent), not " +
                                     std::to_string(percent));
    return percent;
}
} // namespace

void RenderJob::run(const std::vector<std::string>& words, std::ostream& err)
{
    const BatchArguments args(words,
                              FieldInput::withFieldOptions({"--time", "--seed", "--mark-size"}),
                              {"--lic", "--critical-points", "--templates"}, 2);
    const fs::path out = fs::absolute(args.positional(1));
    const QString format = QString::fromStdString(out.extension().string()).mid(1).toLower();
    if (format != "png" && format != "ppm" && format != "jpg")
        throw BatchFailure::badUsage("the image is OUT.png, OUT.ppm or OUT.jpg, not " +
                                     out.string());
    std::vector<float2> seeds;
    for (const std::string& text : args.texts("--seed"))
        seeds.push_back(BatchArguments::point(text));
    if (seeds.size() > std::size_t(Tracing::kMaxRakeSeeds))
        throw BatchFailure::badUsage("at most 2000 seeds");
    if (args.has("--templates") && (!args.has("--critical-points") || !seeds.empty()))
        throw BatchFailure::badUsage("--templates go with --critical-points and without --seed: "
                                     "the window traces them into the clicked lines' store");
    // Every option value is read before the display is asked for, so bad usage is exit 2
    // with or without one.
    const int time = args.integer("--time", 0);
    const int givenMarkPercent = markPercentGiven(args);
    FieldInput::selection(args, false);
    if (args.has("--scale"))
        args.number("--scale", 1.0);
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        throw BatchFailure::badInput("render needs a display: run it under xvfb-run -a");
    FieldInput input(args.positional(0), args, err, time, time);
    const int markPercent =
        givenMarkPercent > 0 ? givenMarkPercent : FieldFit::markPercent(input.data.flowFieldSize.x);

    const ViewFolder folder;
    writeSliceFile(input.data, input.index(time), folder.sliceFile());
    folder.enter();
    QSurfaceFormat::setDefaultFormat(FlowView::surfaceFormat());
    int argc = 1;
    char name[] = "quorvel-batch";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    FlowView view(nullptr, 600, 600);
    view.resize(600, 600);
    view.show();
    for (int k = 0; k < 1000 && !view.isValid(); ++k)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    view.on_view_changeMarkSize(markPercent);
    if (args.has("--critical-points"))
        showCritpnts(view, args.has("--templates"));
    // Confirming the step names its LIC image as the critical point layer looks for it.
    view.on_view_confirmTimeId();
    if (args.has("--lic"))
    {
        std::srand(1);
        view.on_view_toggleLICBk(2);
    }
    if (!seeds.empty())
        traceSeeds(view, seeds);
    const QImage frame = view.grabFramebuffer();
    const QString temporary = QString::fromStdString(out.string()) + ".partial";
    if (frame.isNull() || !frame.save(temporary, format.toUpper().toLatin1().constData()))
    {
        QFile::remove(temporary);
        throw BatchFailure::badInput("cannot write " + out.string());
    }
    fs::rename(temporary.toStdString(), out);
}
