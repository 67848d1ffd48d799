#include "batchProgram.h"

#include "batchFailure.h"
#include "fieldImport.h"
#include "ftleJob.h"
#include "renderJob.h"
#include "resultJobs.h"

#include <exception>

const char* const BatchProgram::kUsage =
    R"(usage: quorvel-batch COMMAND ...
  import IN.nc [--u VAR] [--v VAR] [--level K|all] [--times A:B] [--scale S]
               (--steady STEM | --series DIR | --slice FILE)
  lic FIELD OUT.png|OUT.ppm [--time T | --all-times] [--equalise] [--pixels-per-cell K]
  critpnt FIELD [--time T] [--format csv|json]
  critpnt FIELD --track [--times A:B] [--format csv|json]
  trace FIELD --seed X,Y [--seed X,Y ...] [--kind streamline|pathline|streakline]
              [--time T] [--format csv|json]
  ftle FIELD OUT.csv|OUT.png --duration D [--time S] [--backward] [--resolution K]
  render FIELD OUT.png [--time T] [--lic] [--critical-points [--templates]] [--seed X,Y ...]
               [--mark-size P]
FIELD is a steady header STEM.txt (with STEM.dat), an unsteady header.txt (with its Uf/ and
Vf/ folders; --level K), a binary slice file, or a NetCDF file (--u, --v, --level, --scale as
for import). Time steps and levels count from 0. render needs a display (xvfb-run -a).
Fields narrower than 300 cells get a finer LIC (K = 600 / width pixels per cell) and marks
sized to the width (100 % x width / 500, within 25-400 %); K and P override them.
Every command takes --verbose: its notes (variables, scale, samples missing, files written)
are printed on standard error, as they are anyway while it is a terminal; -h or --help
prints this text. Exit codes: 0 success, 1 bad input, 2 bad usage.
)";

int BatchProgram::run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err)
{
    try
    {
        if (words.empty())
            throw BatchFailure::badUsage("no command given");
        const std::string& command = words[0];
        const std::vector<std::string> rest(words.begin() + 1, words.end());
        // Asking for help anywhere reads and writes nothing.
        for (const std::string& word : words)
            if (word == "--help" || word == "-h")
            {
                out << kUsage;
                return 0;
            }
        if (command == "import")
            FieldImport::run(rest, err);
        else if (command == "lic")
            ResultJobs::lic(rest, err);
        else if (command == "critpnt")
            ResultJobs::critpnt(rest, out, err);
        else if (command == "trace")
            ResultJobs::trace(rest, out, err);
        else if (command == "ftle")
            FtleJob::run(rest, err);
        else if (command == "render")
            RenderJob::run(rest, err);
        else if (command == "help")
            out << kUsage;
        else
            throw BatchFailure::badUsage("unknown command '" + command + "'");
        out.flush();
        return 0;
    }
    catch (const BatchFailure& failure)
    {
        err << "quorvel-batch: " << failure.what() << '\n';
        if (failure.exitCode == 2)
            err << kUsage;
        return failure.exitCode;
    }
    catch (const std::exception& failure)
    {
        err << "quorvel-batch: " << failure.what() << '\n';
        return 1;
    }
}
