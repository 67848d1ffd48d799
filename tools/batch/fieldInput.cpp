#include "fieldInput.h"

#include "batchArguments.h"
#include "batchFailure.h"

#include <cstdio>
#include <unistd.h>

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

FieldOpener::Options options(const BatchArguments& args)
{
    FieldOpener::Options chosen;
    chosen.selection = FieldInput::selection(args, false);
    chosen.levelGiven = args.has("--level");
    if (args.has("--scale"))
        chosen.scale = args.number("--scale", 1.0);
    return chosen;
}

FieldOpener openDiverted(const std::string& path, const BatchArguments& args, std::ostream& err,
                         int first, int last)
{
    LoaderMessagesToStderr divert;
    return FieldOpener(path, options(args), args.notes(err), first, last);
}
} // namespace

FieldInput::FieldInput(const std::string& path, const BatchArguments& args, std::ostream& err,
                       int first, int last)
    : FieldOpener(openDiverted(path, args, err, first, last))
{
}

std::set<std::string> FieldInput::withFieldOptions(std::set<std::string> options)
{
    options.insert({"--u", "--v", "--level", "--scale"});
    return options;
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

double FieldInput::scale(NetcdfField& netcdf, const BatchArguments& args, std::ostream& err,
                         int first, int last)
{
    std::optional<double> given;
    if (args.has("--scale"))
        given = args.number("--scale", 1.0);
    return FieldOpener::scale(netcdf, given, args.notes(err), first, last);
}
