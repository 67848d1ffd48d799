#include "fieldImport.h"

#include "batchArguments.h"
#include "batchFailure.h"
#include "data/fieldWriter.h"
#include "fieldInput.h"
#include "interruption.h"
#include "netcdf/progress.h"

#include <charconv>

FieldImport::StepRange FieldImport::parseTimes(const std::string& text)
{
    StepRange range;
    const std::size_t colon = text.find(':');
    const std::string a = text.substr(0, colon);
    const std::string b = colon == std::string::npos ? a : text.substr(colon + 1);
    const auto parse = [&](const std::string& part, int& value)
    {
        const auto result = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || result.ec != std::errc() || result.ptr != part.data() + part.size())
            throw BatchFailure::badUsage("--times is A:B or A, not '" + text + "'");
    };
    parse(a, range.first);
    parse(b, range.last);
    if (range.last < range.first)
        throw BatchFailure::badUsage("--times " + text + ": the last step comes before the first");
    return range;
}

namespace
{
FieldWriter::Format outputFormat(const BatchArguments& args, std::string& target)
{
    const std::pair<const char*, FieldWriter::Format> outputs[] = {
        {"--steady", FieldWriter::Format::Steady},
        {"--series", FieldWriter::Format::Unsteady},
        {"--slice", FieldWriter::Format::Slice}};
    int chosen = 0;
    FieldWriter::Format format = FieldWriter::Format::Slice;
    for (const auto& [option, kind] : outputs)
        if (args.has(option))
        {
            ++chosen;
            format = kind;
            target = args.text(option);
        }
    if (chosen != 1)
        throw BatchFailure::badUsage("give one of --steady STEM, --series DIR, --slice FILE");
    return format;
}
} // namespace

void FieldImport::run(const std::vector<std::string>& words, std::ostream& err)
{
    const BatchArguments args(
        words, {"--u", "--v", "--level", "--times", "--scale", "--steady", "--series", "--slice"},
        {}, 1);
    std::string target;
    const FieldWriter::Format format = outputFormat(args, target);
    const NetcdfField::Selection selection =
        FieldInput::selection(args, format == FieldWriter::Format::Unsteady);
    const std::string& input = args.positional(0);
    NetcdfField netcdf(input, selection);
    StepRange range = args.has("--times") ? parseTimes(args.text("--times")) : StepRange{};
    if (range.last < 0)
        range.last = format == FieldWriter::Format::Steady ? range.first : netcdf.steps() - 1;
    FieldInput::checkSteps(input, netcdf.steps(), range.first, range.last);
    const int steps = range.last - range.first + 1;
    if (format == FieldWriter::Format::Steady && steps != 1)
        throw BatchFailure::badUsage("--steady writes one time step: give --times A");

    const double factor = FieldInput::scale(netcdf, args, err, range.first, range.last);
    FieldWriter writer(format, target, {netcdf.width(), netcdf.height(), steps}, netcdf.levels());
    Progress progress("import", steps);
    for (int t = 0; t < steps && writer.error().empty(); ++t)
    {
        netcdf.readStepInBlocks(range.first + t, factor,
                                [&](const float2* samples, std::size_t count)
                                {
                                    Interruption::check();
                                    writer.writeSamples(samples, count);
                                });
        progress.show(t + 1);
    }
    if (writer.error().empty())
        netcdf.refuseIfNoData();
    if (!writer.commit())
        throw BatchFailure::badInput(writer.error());
    FieldInput::reportMissing(netcdf, args.notes(err));
    args.notes(err) << "wrote " << target << ": " << netcdf.width() << " x " << netcdf.height()
                    << ", " << steps << " time step(s), " << netcdf.levels() << " level(s)\n";
}
