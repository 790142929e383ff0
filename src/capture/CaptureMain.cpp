// tolvane-capture: plays the demo off-screen with a fixed-step clock and
// keeps its frames as PNG files, a video or a contact sheet, or times it.
// Runs from the demo's run directory; see --help.
#include "capture/CaptureOptions.h"
#include "capture/CaptureSession.h"

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

using namespace tolvane;

int main(int argc, char** argv)
{
    CaptureOptions options;
    std::string error;
    if (!options.parse(std::vector<std::string>(argv + 1, argv + argc), error)) {
        std::cerr << "tolvane-capture: " << error << std::endl;
        return 2;
    }
    if (options.help) {
        std::cout << CaptureOptions::usage();
        return 0;
    }
    // A helper (ffmpeg) that dies must not take the capture with it; its
    // closed pipe then shows as a failed write.
    std::signal(SIGPIPE, SIG_IGN);
    CaptureSession session(options);
    return session.run();
}
