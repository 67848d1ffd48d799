#include "fieldInput.h"

#include "batchArguments.h"
#include "batchFailure.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
// The loaders report on standard output, which holds a job's results: while they run, their
// messages go to standard error.
class LoaderMessagesToStderr
{
public:
    LoaderMessagesToStderr()
    {
        std::fflush(stdout);
        saved = dup(STDOUT_FILENO);
        dup2(STDERR_FILENO, STDOUT_FILENO);
    }
    ~LoaderMessagesToStderr()
    {
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }
    LoaderMessagesToStderr(const LoaderMessagesToStderr&) = delete;
    LoaderMessagesToStderr& operator=(const LoaderMessagesToStderr&) = delete;

private:
    int saved;
};

std::string withCommas(std::int64_t value)
{
    std::string digits = std::to_string(value);
    for (int k = int(digits.size()) - 3; k > 0; k -= 3)
        digits.insert(std::size_t(k), ",");
    return digits;
}
} // namespace

FieldInput::FieldInput(const std::string& path, const BatchArguments& args, std::ostream& err,
                       int first, int last)
{
    if (!fs::is_regular_file(path))
        throw BatchFailure::badInput(path + ": no such file");
    if (NetcdfField::looksLikeNetcdf(path))
    {
        loadNetcdf(path, args, err, first, last);
        return;
    }
    if (args.has("--u") || args.has("--v") || args.has("--scale"))
        throw BatchFailure::badUsage("--u, --v and --scale apply to NetCDF files only");
    LoaderMessagesToStderr divert;
    if (fs::path(path).extension() == ".txt")
        loadHeader(path, args);
    else
    {
        if (args.has("--level"))
            throw BatchFailure::badUsage("--level applies to unsteady headers and NetCDF files");
        if (!data.readVectorDataSlice(path.c_str()))
            throw BatchFailure::badInput(path + ": not a readable binary slice file");
    }
    checkSteps(path, data.flowFieldSize.z, first, last);
}

// A header names a steady field when STEM.dat lies beside it, an unsteady one when its folder
// holds Uf/Uf01.dat.
void FieldInput::loadHeader(const std::string& path, const BatchArguments& args)
{
    const fs::path header(path);
    fs::path vectors = header;
    vectors.replace_extension(".dat");
    const fs::path firstU = header.parent_path() / "Uf" / "Uf01.dat";
    QString licImage;
    if (fs::exists(vectors))
    {
        if (args.has("--level"))
            throw BatchFailure::badUsage("--level applies to unsteady headers and NetCDF files");
        data = DataManipulate(QString::fromStdString(path),
                              QString::fromStdString(vectors.string()), "", "", true);
        if (!data.readVectFile(true, licImage))
            throw BatchFailure::badInput(path + ": the steady field was refused");
        return;
    }
    if (!fs::exists(firstU))
        throw BatchFailure::badInput(path + ": neither " + vectors.string() + " (steady) nor " +
                                     firstU.string() + " (unsteady) exists");
    data = DataManipulate("", "", QString::fromStdString(path),
                          QString::fromStdString(firstU.string()), false);
    data.uiUnstdySlicId = args.integer("--level", 0);
    if (!data.readHeaderFile(false, licImage))
        throw BatchFailure::badInput(path + ": the unsteady header was refused");
    if (data.uiUnstdySlicId < 0 || data.uiUnstdySlicId >= data.unstdyDepth)
        throw BatchFailure::badInput(path + ": level " + std::to_string(data.uiUnstdySlicId) +
                                     " out of range: the series has " +
                                     std::to_string(data.unstdyDepth) + " level(s)");
    if (!data.readVectFile(false, licImage))
        throw BatchFailure::badInput(path + ": the unsteady field was refused");
}

void FieldInput::loadNetcdf(const std::string& path, const BatchArguments& args, std::ostream& err,
                            int first, int last)
{
    NetcdfField netcdf(path, selection(args, false));
    checkSteps(path, netcdf.steps(), first, last);
    const double factor = scale(netcdf, args, err);
    last = last < 0 ? netcdf.steps() - 1 : last;
    const int3 size{netcdf.width(), netcdf.height(), last - first + 1};
    if (std::int64_t(size.x) * size.y * size.z > DataManipulate::kMaxSamples)
        throw BatchFailure::badInput(path + ": too many samples; choose fewer time steps");
    data.flowFieldSize = size;
    data.winWidth = size.x;
    data.winHeight = size.y;
    data.orgnvectField2d.resize(std::size_t(size.x) * size.y * size.z);
    data.assignPointerto2Ddata();
    std::vector<float2> samples;
    for (int t = 0; t < size.z; ++t)
    {
        netcdf.readStep(first + t, factor, samples);
        std::copy(samples.begin(), samples.end(), data.orgnvectField2dSlice[t][0]);
    }
    firstStep = first;
    reportMissing(netcdf, err);
}

NetcdfField::Selection FieldInput::selection(const BatchArguments& args, bool levelsMayBeAll)
{
    NetcdfField::Selection chosen;
    chosen.u = args.text("--u");
    chosen.v = args.text("--v");
    chosen.allLevels = args.text("--level") == "all";
    if (chosen.allLevels && !levelsMayBeAll)
        throw BatchFailure::badUsage("--level all applies to import --series only");
    if (!chosen.allLevels)
        chosen.level = args.integer("--level", 0);
    return chosen;
}

double FieldInput::scale(NetcdfField& netcdf, const BatchArguments& args, std::ostream& err)
{
    const std::string units = netcdf.units().empty() ? "file units" : netcdf.units();
    err << "components: u = " << netcdf.uName() << ", v = " << netcdf.vName() << " (" << units
        << ")\n";
    if (args.has("--scale"))
    {
        const double factor = args.number("--scale", 1.0);
        if (!(factor > 0.0 && std::isfinite(factor)))
            throw BatchFailure::badUsage("--scale needs a positive number");
        err << "scale: " << factor << " (given)\n";
        return factor;
    }
    const double factor = netcdf.defaultScale();
    err << "scale: " << factor << " grid units per time step per " << units
        << " (the 95th-percentile speed becomes the default field's, "
        << NetcdfField::kDefaultFieldSpeed95 << "); --scale overrides it\n";
    return factor;
}

void FieldInput::reportMissing(const NetcdfField& netcdf, std::ostream& err)
{
    if (netcdf.missingSamples() > 0)
        err << withCommas(netcdf.missingSamples()) << " of " << withCommas(netcdf.samplesRead())
            << " samples missing, set to zero\n";
}

void FieldInput::checkSteps(const std::string& source, int steps, int first, int last)
{
    const auto refuse = [&](int t)
    {
        throw BatchFailure::badInput(source + ": time step " + std::to_string(t) +
                                     " out of range: the field has " + std::to_string(steps) +
                                     " time step(s), 0 to " + std::to_string(steps - 1));
    };
    if (first < 0 || first >= steps)
        refuse(first);
    if (last >= steps || (last >= 0 && last < first))
        refuse(last);
}
