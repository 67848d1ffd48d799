#include "netcdf/fieldOpener.h"

#include "common/inputFile.h"
#include "netcdf/fieldFailure.h"

#include <cmath>
#include <filesystem>
#include <iostream>
#include <new>

namespace fs = std::filesystem;

namespace
{
std::string withCommas(std::int64_t value)
{
    std::string digits = std::to_string(value);
    for (int k = int(digits.size()) - 3; k > 0; k -= 3)
        digits.insert(std::size_t(k), ",");
    return digits;
}
} // namespace

FieldOpener::FieldOpener(const std::string& path, const Options& options, std::ostream& notes,
                         int first, int last)
{
    const InputFile input(path);
    if (!input.usable())
        throw FieldFailure::badInput(path + ": " + input.problem);
    if (NetcdfField::looksLikeNetcdf(path))
    {
        loadNetcdf(path, options, notes, first, last);
        return;
    }
    if (!options.selection.u.empty() || !options.selection.v.empty() || options.scale)
        throw FieldFailure::badUsage("--u, --v and --scale apply to NetCDF files only");
    if (fs::path(path).extension() == ".txt")
        loadHeader(path, options);
    else
    {
        if (options.levelGiven)
            throw FieldFailure::badUsage("--level applies to unsteady headers and NetCDF files");
        // Without a NetCDF signature or a header's extension the file can only be a slice file.
        if (input.size == 0)
            throw FieldFailure::badInput(path + ": the file is empty");
        if (!data.readVectorDataSlice(path.c_str()))
            throw FieldFailure::badInput(path + ": neither a NetCDF file (no NetCDF signature) " +
                                         "nor a binary slice file (its size does not fit its " +
                                         "header), nor a header STEM.txt");
    }
    checkSteps(path, data.flowFieldSize.z, first, last);
}

// A header names a steady field when STEM.dat lies beside it, an unsteady one when its folder
// holds Uf/Uf01.dat.
void FieldOpener::loadHeader(const std::string& path, const Options& options)
{
    const fs::path header(path);
    fs::path vectors = header;
    vectors.replace_extension(".dat");
    const fs::path firstU = header.parent_path() / "Uf" / "Uf01.dat";
    QString licImage;
    if (fs::exists(vectors))
    {
        if (options.levelGiven)
            throw FieldFailure::badUsage("--level applies to unsteady headers and NetCDF files");
        data = DataManipulate(QString::fromStdString(path),
                              QString::fromStdString(vectors.string()), "", "", true);
        if (!data.readVectFile(true, licImage))
            throw FieldFailure::badInput(path + ": the steady field was refused");
        return;
    }
    if (!fs::exists(firstU))
        throw FieldFailure::badInput(path + ": neither " + vectors.string() + " (steady) nor " +
                                     firstU.string() + " (unsteady) exists");
    data = DataManipulate("", "", QString::fromStdString(path),
                          QString::fromStdString(firstU.string()), false);
    data.uiUnstdySlicId = options.selection.level;
    if (!data.readHeaderFile(false, licImage))
        throw FieldFailure::badInput(path + ": the unsteady header was refused");
    if (data.uiUnstdySlicId < 0 || data.uiUnstdySlicId >= data.unstdyDepth)
        throw FieldFailure::badInput(path + ": level " + std::to_string(data.uiUnstdySlicId) +
                                     " out of range: the series has " +
                                     std::to_string(data.unstdyDepth) + " level(s)");
    if (!data.readVectFile(false, licImage))
        throw FieldFailure::badInput(path + ": the unsteady field was refused");
}

void FieldOpener::loadNetcdf(const std::string& path, const Options& options, std::ostream& notes,
                             int first, int last)
{
    NetcdfField netcdf(path, options.selection);
    checkSteps(path, netcdf.steps(), first, last);
    last = last < 0 ? netcdf.steps() - 1 : last;
    const double factor = scale(netcdf, options.scale, notes, first, last);
    const int3 size{netcdf.width(), netcdf.height(), last - first + 1};
    if (std::int64_t(size.x) * size.y * size.z > DataManipulate::kMaxSamples)
        throw FieldFailure::badInput(path + ": too many samples; choose fewer time steps");
    data.flowFieldSize = size;
    data.winWidth = size.x;
    data.winHeight = size.y;
    try
    {
        data.orgnvectField2d.resize(std::size_t(size.x) * size.y * size.z);
    }
    catch (const std::bad_alloc&)
    {
        throw FieldFailure::badInput(path + ": not enough memory for " + std::to_string(size.x) +
                                     " x " + std::to_string(size.y) + " x " +
                                     std::to_string(size.z) + " samples; choose fewer time steps");
    }
    data.assignPointerto2Ddata();
    float2* out = data.orgnvectField2d.data();
    for (int t = 0; t < size.z; ++t)
        netcdf.readStepInBlocks(first + t, factor,
                                [&](const float2* samples, std::size_t count)
                                { out = std::copy(samples, samples + count, out); });
    netcdf.refuseIfNoData();
    firstStep = first;
    reportMissing(netcdf, notes);
}

double FieldOpener::scale(NetcdfField& netcdf, std::optional<double> given, std::ostream& notes,
                          int first, int last)
{
    // Doubts are printed whether notes are wanted or not.
    for (const std::string& warning : netcdf.warnings())
        std::cerr << "warning: " << warning << '\n';
    const std::string units = netcdf.units().empty() ? "file units" : netcdf.units();
    notes << "components: u = " << netcdf.uName() << ", v = " << netcdf.vName() << " (" << units
          << ")\n";
    if (given)
    {
        const double factor = *given;
        if (!(factor > 0.0 && std::isfinite(factor)))
            throw FieldFailure::badUsage("--scale needs a positive number");
        notes << "scale: " << factor << " (given)\n";
        return factor;
    }
    const double factor = netcdf.defaultScale(first, last);
    if (netcdf.percentileSpeed() == 0.0)
        notes << "scale: 1 (every speed is zero); --scale overrides it\n";
    else
        notes << "scale: " << factor << " grid units per time step per " << units
              << " (the 95th-percentile speed of the steps read, " << netcdf.percentileSpeed()
              << ", becomes the default field's, " << NetcdfField::kDefaultFieldSpeed95
              << "); --scale overrides it\n";
    return factor;
}

void FieldOpener::reportMissing(const NetcdfField& netcdf, std::ostream& notes)
{
    if (netcdf.missingSamples() > 0)
        notes << withCommas(netcdf.missingSamples()) << " of " << withCommas(netcdf.samplesRead())
              << " samples missing, set to zero\n";
}

void FieldOpener::checkSteps(const std::string& source, int steps, int first, int last)
{
    const auto refuse = [&](int t)
    {
        throw FieldFailure::badInput(source + ": time step " + std::to_string(t) +
                                     " out of range: the field has " + std::to_string(steps) +
                                     " time step(s), 0 to " + std::to_string(steps - 1));
    };
    if (first < 0 || first >= steps)
        refuse(first);
    if (last >= steps || (last >= 0 && last < first))
        refuse(last);
}
