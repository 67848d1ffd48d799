#include "interruption.h"

#include "batchFailure.h"

#include <csignal>

namespace
{
volatile std::sig_atomic_t caught = 0;

void record(int signal)
{
    caught = signal;
}

const int kSignals[] = {SIGINT, SIGTERM};
struct sigaction previous[2];
} // namespace

Interruption::Interruption()
{
    caught = 0;
    struct sigaction action = {};
    action.sa_handler = record;
    sigemptyset(&action.sa_mask);
    // Interrupted reads and writes resume: the job stops at its next check instead.
    action.sa_flags = SA_RESTART;
    for (int k = 0; k < 2; ++k)
        sigaction(kSignals[k], &action, &previous[k]);
}

Interruption::~Interruption()
{
    for (int k = 0; k < 2; ++k)
        sigaction(kSignals[k], &previous[k], nullptr);
    caught = 0;
}

void Interruption::check()
{
    if (caught)
        throw BatchFailure(128 + caught, std::string("interrupted by signal ") +
                                             (caught == SIGINT ? "SIGINT" : "SIGTERM"));
}

void Interruption::reraise()
{
    if (caught)
    {
        std::signal(caught, SIG_DFL);
        std::raise(caught);
    }
}
