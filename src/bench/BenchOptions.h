#pragma once

#include "session/SessionOptions.h"

#include <string>

namespace tolvane {

// The command line of tolvane-bench: the film's play, as tolvane-capture
// takes it, and what is measured.
struct BenchOptions {
    // The stretch the film bench plays when no range is given: after the
    // fade-in, with the camera moving, long enough for stable medians.
    static constexpr double kFrom = 3.0;
    static constexpr double kLength = 10.0;

    // What is measured: the film (the default), the render passes of the
    // small test scene, or the particle systems at full capacity.
    enum class Mode { Film, Passes, Particles };

    // Reads the command line. Returns CommandLine::Refused with a one-line
    // `error` for an unknown option, a missing or bad value, or a
    // combination that makes no sense.
    CommandLine parse(int argc, const char* const* argv, std::string& error);

    // The --help text, written from the same table that parses the options.
    static std::string usage();

    SessionOptions session;
    Mode mode = Mode::Film;
    bool reference = false;  // time the reference passes and the start-up floor
    std::string jsonFile;    // the figures as JSON, empty = none
    std::string plotFile;    // frame-time plot PNG, empty = none
    std::string censusFile;  // memory and GL object counts every 10 s of demo time, empty = none
    int frames = 0;          // --passes and --particles: frames to time; 0 = the mode's default
    std::string savePath;    // --passes: the last frame as PNG, empty = none
};

}  // namespace tolvane
