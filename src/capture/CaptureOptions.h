#pragma once

#include "session/SessionOptions.h"

#include <string>

namespace tolvane {

// The command line of tolvane-capture: how the film is played (the options
// it shares with tolvane-bench) and what is kept of it.
struct CaptureOptions {
    // Reads the command line. Returns CommandLine::Refused with a one-line
    // `error` for an unknown option, a missing or bad value, or a
    // combination that makes no sense.
    CommandLine parse(int argc, const char* const* argv, std::string& error);

    // The --help text, written from the same table that parses the options.
    static std::string usage();

    // True when the run keeps pictures (frames, video or sheet).
    bool keepsPictures() const { return !outDirectory.empty() || !videoFile.empty() || !sheetFile.empty(); }

    SessionOptions session;
    std::string outDirectory;  // PNG frames, empty = none
    std::string videoFile;     // H.264 video, empty = none
    std::string sheetFile;     // contact sheet PNG, empty = none
    std::string loadingFile;   // the loading screen as PNG, empty = none
    bool listDevices = false;  // print the EGL devices and the chosen one, then stop
};

}  // namespace tolvane
