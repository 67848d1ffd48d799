#include "app/fieldRequest.h"

#include "data/dataManipulate.h"
#include "netcdf/fieldFailure.h"

#include <algorithm>
#include <memory>
#include <unistd.h>

namespace
{
// Only a missing velocity leaves the choice to the user; any other problem is the file's.
bool namesNoVelocity(const FieldFailure& failure)
{
    return std::string(failure.what()).find("velocity found") != std::string::npos;
}
} // namespace

std::optional<FieldOpener::Options> FieldRequest::options(const std::string& path,
                                                          const Chooser& choose)
{
    FieldOpener::Options chosen;
    if (!NetcdfField::looksLikeNetcdf(path))
        return chosen;
    std::unique_ptr<NetcdfField> field;
    bool asked = false;
    try
    {
        field = std::make_unique<NetcdfField>(path, chosen.selection);
    }
    catch (const FieldFailure& failure)
    {
        Candidates candidates{NetcdfField::fieldVariables(path), 1, {}, {}};
        if (!namesNoVelocity(failure) || candidates.variables.size() < 2)
            throw;
        if (!choose(candidates, chosen.selection))
            return std::nullopt;
        asked = true;
        field = std::make_unique<NetcdfField>(path, chosen.selection);
    }
    if (field->levelCount() > 1)
    {
        Candidates candidates{asked ? std::vector<std::string>{}
                                    : NetcdfField::fieldVariables(path),
                              field->levelCount(), field->uName(), field->vName()};
        if (!choose(candidates, chosen.selection))
            return std::nullopt;
        chosen.levelGiven = true;
        field = std::make_unique<NetcdfField>(path, chosen.selection);
    }
    refuseOversized(path, *field);
    return chosen;
}

std::int64_t FieldRequest::sampleLimit()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return DataManipulate::kMaxSamples;
    const std::int64_t half = std::int64_t(pages) * pageSize / 2;
    return std::min<std::int64_t>(DataManipulate::kMaxSamples, half / std::int64_t(sizeof(float2)));
}

// The window holds every time step at once; the import reads one at a time, so a part of the
// file can still be brought in.
void FieldRequest::refuseOversized(const std::string& path, const NetcdfField& field)
{
    const std::int64_t perStep = std::int64_t(field.width()) * field.height();
    const std::int64_t samples = perStep * field.steps();
    const std::int64_t limit = sampleLimit();
    if (samples <= limit)
        return;
    const std::int64_t fitting =
        std::max<std::int64_t>(limit / std::max<std::int64_t>(perStep, 1), 1);
    throw FieldFailure::badInput(
        path + ": " + std::to_string(field.steps()) + " time steps of " +
        std::to_string(field.width()) + " x " + std::to_string(field.height()) +
        " do not fit in memory here (at most " + std::to_string(fitting) +
        " steps); open part of it: quorvel-batch import " + path +
        " --times 0:" + std::to_string(fitting - 1) + " --slice part.dat, then open part.dat");
}
