// tolvane-bench: times the demo. By default it plays the film off-screen
// exactly as tolvane-capture does and prints the GPU time of every pass,
// the CPU time of the update, the wall time of the frames and the start-up's
// breakdown (with --reference against reference passes timed in the same
// run); --census keeps a soak run's table of memory and GL objects;
// --passes and --particles time small scenes of their own. Runs from the
// demo's run directory; see --help.
#include "app/StopSignals.h"
#include "bench/BenchOptions.h"
#include "bench/BenchRun.h"
#include "bench/SceneBenches.h"
#include "session/PlaySession.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

using namespace tolvane;

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // the log keeps every line, even when killed
    programName = "tolvane-bench";
    installStopSignals();
    BenchOptions options;
    std::string error;
    switch (options.parse(argc, argv, error)) {
    case CommandLine::Refused: reportProblem(error); return 2;
    case CommandLine::Help: std::cout << BenchOptions::usage(); return 0;
    case CommandLine::Run: break;
    }
    if (options.mode == BenchOptions::Mode::Passes)
        return benchPasses(options);
    if (options.mode == BenchOptions::Mode::Particles)
        return benchParticles(options);
    // gnuplot, drawing the plot, must not take the bench with it.
    std::signal(SIGPIPE, SIG_IGN);
    BenchRun run(options);
    PlaySession session(options.session, run);
    return session.run();
}
