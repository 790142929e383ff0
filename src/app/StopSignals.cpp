#include "app/StopSignals.h"

#include <csignal>

namespace tolvane {

namespace {

volatile std::sig_atomic_t receivedSignal = 0;

void recordSignal(int signal)
{
    receivedSignal = signal;
}

}  // namespace

void installStopSignals()
{
    struct sigaction action {};
    action.sa_handler = recordSignal;
    sigemptyset(&action.sa_mask);
    // Restarting keeps interrupted reads and writes out of every library's
    // error paths; the loop polls the flag anyway. Resetting to the default
    // makes a second signal fatal, in case the release itself hangs.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int stopSignal()
{
    return receivedSignal;
}

}  // namespace tolvane
