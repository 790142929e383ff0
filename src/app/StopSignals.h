#pragma once

// Stopping from outside: Ctrl+C in the terminal (SIGINT) and a logout's or
// a script's `kill`/`timeout` (SIGTERM) end the frame loop after the current
// pass, through the same release as Escape. The first of them puts both back
// to their default action, so a second one of either kind, while that
// release is still running, ends the process at once.
namespace tolvane {

// Installs the handlers. Call first thing in an entry point, before any
// library that might install its own.
void installStopSignals();

// The signal that asked the program to stop, or 0 while none has arrived.
int stopSignal();

}  // namespace tolvane
