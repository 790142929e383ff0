#include "app/StopSignals.h"

#include "app/DemoState.h"

#include <csignal>

namespace tolvane {

namespace {

void restoreDefault(int signal)
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

// Only async-signal-safe work: a flag, and sigaction to make the next
// signal of either kind fatal in case the release itself hangs.
void recordSignal(int signal)
{
    demo.stopSignal = signal;
    restoreDefault(SIGINT);
    restoreDefault(SIGTERM);
}

}  // namespace

void installStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = recordSignal;
    sigemptyset(&action.sa_mask);
    // Restarting keeps interrupted reads and writes out of every library's
    // error paths; the loop polls the flag anyway.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int stopSignal()
{
    return demo.stopSignal;
}

}  // namespace tolvane
