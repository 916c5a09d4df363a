#include "cli/interruption.h"

#include <atomic>
#include <csignal>

namespace {
// Lock-free, so a signal handler may set it.
std::atomic<bool> interrupted{false};

void interrupt(int)
{
    interrupted = true;
}

using Handler = void (*)(int);
Handler previousInterrupt = SIG_DFL;
Handler previousTerminate = SIG_DFL;
} // namespace

Interruption::Interruption()
{
    interrupted = false;
    previousInterrupt = std::signal(SIGINT, interrupt);
    previousTerminate = std::signal(SIGTERM, interrupt);
}

Interruption::~Interruption()
{
    std::signal(SIGINT, previousInterrupt);
    std::signal(SIGTERM, previousTerminate);
}

bool Interruption::requested() const
{
    return interrupted.load();
}
