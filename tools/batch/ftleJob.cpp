#include "ftleJob.h"

#include "batchArguments.h"
#include "batchFailure.h"
#include "fieldInput.h"
#include "fileExtension.h"
#include "ftle/ftleColourMap.h"
#include "ftle/ftleField.h"
#include "netcdf/progress.h"
#include "numberText.h"
#include "stagedFile.h"

#include <QImage>
#include <atomic>
#include <fstream>
#include <future>

namespace fs = std::filesystem;

namespace
{
// One row per seed, row after row from the bottom, positions in grid units.
void writeCsv(const FtleField& ftle, const fs::path& out)
{
    const StagedFile staged(out);
    std::ofstream file(staged.path());
    file << "x,y,ftle\n";
    for (int j = 0; j < ftle.seedsY; ++j)
        for (int i = 0; i < ftle.seedsX; ++i)
        {
            const float2 p = ftle.seedPosition(i, j);
            file << numberText(p.x) << ',' << numberText(p.y) << ',' << numberText(ftle.value(i, j))
                 << '\n';
        }
    file.close();
    staged.commit(bool(file));
}

// One pixel per seed, north up, through the perceptually uniform map over the values' range.
void writePng(const FtleField& ftle, const fs::path& out, std::ostream& err)
{
    const FtleColourMap::Range range = FtleColourMap::range(ftle.values);
    QImage image(ftle.seedsX, ftle.seedsY, QImage::Format_RGB888);
    for (int j = 0; j < ftle.seedsY; ++j)
    {
        uchar* row = image.scanLine(ftle.seedsY - 1 - j);
        for (int i = 0; i < ftle.seedsX; ++i)
        {
            const FtleColourMap::Rgb c = FtleColourMap::colour(
                FtleColourMap::Map::Viridis, ftle.value(i, j), range.low, range.high);
            std::copy(c.begin(), c.end(), row + 3 * i);
        }
    }
    const StagedFile staged(out);
    staged.commit(image.save(QString::fromStdString(staged.path().string()), "PNG"));
    err << "ftle range " << numberText(range.low) << " to " << numberText(range.high) << '\n';
}

// Computes on all cores while the progress line follows the steps.
void compute(FtleField& ftle, const DataManipulate& data, const FtleSettings& settings)
{
    std::atomic<int> steps{0};
    auto done = std::async(std::launch::async,
                           [&]
                           {
                               return ftle.compute(data.flowFieldSize, data.orgnvectField2d.data(),
                                                   settings, nullptr, &steps);
                           });
    Progress progress("ftle", FtleField::stepCount(settings));
    while (done.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready)
        progress.show(steps.load());
    if (!done.get())
        throw BatchFailure::badInput(ftle.problem);
    progress.show(FtleField::stepCount(settings));
}
} // namespace

void FtleJob::run(const std::vector<std::string>& words, std::ostream& err)
{
    const BatchArguments args(
        words, FieldInput::withFieldOptions({"--time", "--duration", "--resolution"}),
        {"--backward"}, 2);
    const fs::path out = args.positional(1);
    const std::string extension = lowerExtension(out);
    if (extension != ".csv" && extension != ".png")
        throw BatchFailure::badUsage("the result is OUT.csv or OUT.png, not " + out.string());
    if (!args.has("--duration"))
        throw BatchFailure::badUsage("give the --duration in time steps");
    FtleSettings settings;
    settings.startTime = float(args.number("--time", 0.0));
    settings.duration = float(args.number("--duration", 0.0));
    settings.bBackward = args.has("--backward");
    settings.resolution = args.integer("--resolution", 1);
    FieldInput input(args.positional(0), args, err, 0, -1);
    const std::string refusal = FtleField::refusal(input.data.flowFieldSize, settings);
    if (!refusal.empty())
        throw BatchFailure::badUsage(refusal);
    FtleField ftle;
    compute(ftle, input.data, settings);
    if (extension == ".csv")
        writeCsv(ftle, out);
    else
        writePng(ftle, out, err);
}
