// tolvane-capture: plays the demo off-screen with a fixed-step clock and
// keeps its frames as PNG files, a video or a contact sheet. Runs from the
// demo's run directory; see --help. tolvane-bench times the same play.
#include "app/StopSignals.h"
#include "capture/CaptureOptions.h"
#include "capture/CaptureOutputs.h"
#include "render/DriverLimits.h"
#include "session/EglContext.h"
#include "session/PlaySession.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

using namespace tolvane;

namespace {

// What the program needs of the driver, for a 1920x1080 film, against what
// it offers.
void printLimits(EglContext& egl)
{
    if (!egl.loadEntryPoints()) {
        std::cout << "Limits: GLEW cannot load the entry points\n";
        return;
    }
    std::vector<DriverLimit> limits = requiredLimits(1920, 1080);
    readLimits(limits);
    std::cout << "Limits (needed, offered):\n";
    for (const DriverLimit& limit : limits)
        std::cout << "  " << limit.name << ": " << limit.needed << ", " << limit.offered
                  << (limit.offered < limit.needed ? "  TOO FEW" : "") << '\n';
    std::cout << "  transform feedback objects: " << (hasFeedbackObjects() ? "yes" : "MISSING") << '\n';
}

// What EGL offers and what it would draw with, as a capture run without a
// display would choose; the last line names the choice ("Chosen: EGL
// hardware device ...") for scripts. Exit code 2 when nothing can draw.
int listDevices()
{
    EglContext egl;
    std::string error;
    const bool opened = egl.open(error);
    for (const std::string& line : egl.deviceLines())
        std::cout << line << '\n';
    if (!opened || !egl.makeCurrent(16, 16)) {
        reportProblem(opened ? "the EGL context cannot be made current" : error);
        return 2;
    }
    std::cout << "GL_RENDERER: " << reinterpret_cast<const char*>(glGetString(GL_RENDERER)) << '\n'
              << "GL_VENDOR: " << reinterpret_cast<const char*>(glGetString(GL_VENDOR)) << '\n'
              << "GL_VERSION: " << reinterpret_cast<const char*>(glGetString(GL_VERSION)) << '\n';
    printLimits(egl);
    std::cout << "Chosen: " << egl.describe() << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // the log keeps every line, even when killed
    installStopSignals();
    programName = "tolvane-capture";
    CaptureOptions options;
    std::string error;
    switch (options.parse(argc, argv, error)) {
    case CommandLine::Refused: reportProblem(error); return 2;
    case CommandLine::Help: std::cout << CaptureOptions::usage(); return 0;
    case CommandLine::Run: break;
    }
    if (options.listDevices)
        return listDevices();
    // A helper (ffmpeg) that dies must not take the capture with it; its
    // closed pipe then shows as a failed write.
    std::signal(SIGPIPE, SIG_IGN);
    CaptureOutputs outputs(options);
    PlaySession session(options.session, outputs);
    return session.run();
}
