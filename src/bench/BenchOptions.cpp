#include "bench/BenchOptions.h"

#include <CLI/CLI.hpp>

#include <cstdlib>

namespace tolvane {

namespace {

constexpr const char* kDescription = "Times the demo: by default the film, played off-screen with a fixed-step clock\n"
                                     "from its run directory (the one holding Config.ini), as tolvane-capture plays\n"
                                     "it, from 3 to 13 s unless --from or --to say otherwise; with --passes or\n"
                                     "--particles small scenes of their own. Times are seconds of demo time; 0 is\n"
                                     "the end of loading, the film starts at 2.";

void addOptions(CLI::App& app, BenchOptions& o)
{
    addSessionOptions(app, o.session);
    app.add_flag("--reference", o.reference,
                 "also time the reference passes (9-tap Gaussian and copy\nblurs, unlit scene, empty shadow fragment "
                 "stage) and the\nstart-up's floor, and print every pass as a ratio to them");
    const auto file = [&app](const char* name, std::string& target, const char* help) {
        app.add_option_function<std::string>(
               name, [name, &target](const std::string& text) { target = parseFileName(name, text); }, help)
            ->type_name("FILE");
    };
    file("--json", o.jsonFile, "the figures as JSON");
    file("--plot", o.plotFile, "frame-time plot as PNG (needs gnuplot)");
    file("--census", o.censusFile,
         "every 10 s of demo time, resident memory and live GL\nobjects as a table (for soak runs)");
    app.add_flag_function(
        "--passes", [&o](std::int64_t) { o.mode = BenchOptions::Mode::Passes; },
        "instead of the film: the median GPU time of each render\npass of a small lit test scene at 1024x600, "
        "through EGL");
    app.add_flag_function(
        "--particles", [&o](std::int64_t) { o.mode = BenchOptions::Mode::Particles; },
        "instead of the film: the median GPU time of one update and\none draw of each particle system full to "
        "its 1000 records");
    app.add_option_function<std::string>(
           "--frames",
           [&o](const std::string& value) {
               char* end = nullptr;
               const long n = std::strtol(value.c_str(), &end, 10);
               if (value.empty() || *end != '\0' || n < 1 || n > 1000000)
                   throw CLI::ValidationError("--frames", "'" + value + "' is not a whole number of 1 or more");
               o.frames = static_cast<int>(n);
           },
           "with --passes or --particles: frames to time (default 300\nand 200)")
        ->type_name("N");
    app.add_option_function<std::string>(
           "--save", [&o](const std::string& text) { o.savePath = parseFileName("--save", text); },
           "with --passes: the test scene's picture as PNG")
        ->type_name("FILE");
}

}  // namespace

CommandLine BenchOptions::parse(int argc, const char* const* argv, std::string& error)
{
    CLI::App app(kDescription, "tolvane-bench");
    addOptions(app, *this);
    const CommandLine outcome = parseCommandLine(app, argc, argv, error);
    if (outcome != CommandLine::Run)
        return outcome;
    const bool rangeGiven = app.count("--from") > 0 || app.count("--to") > 0;
    const bool filmOnly = reference || !jsonFile.empty() || !plotFile.empty() || !censusFile.empty();
    if (app.count("--passes") > 0 && app.count("--particles") > 0)
        error = "--passes and --particles are benches of their own: give one";
    else if (mode != Mode::Film && filmOnly)
        error = "--json, --plot, --reference and --census time the film: leave out --passes and --particles";
    else if ((frames > 0 && mode == Mode::Film) || (!savePath.empty() && mode != Mode::Passes))
        error = "--frames needs --passes or --particles, --save needs --passes";
    else if (session.to != SessionOptions::kEndOfFilm && session.to <= session.from)
        error = "--to must come after --from";
    if (!error.empty())
        return CommandLine::Refused;
    if (!rangeGiven) {
        session.from = kFrom;
        session.to = kFrom + kLength;
    }
    return CommandLine::Run;
}

std::string BenchOptions::usage()
{
    BenchOptions options;
    CLI::App app(kDescription, "tolvane-bench");
    addOptions(app, options);
    return app.help();
}

}  // namespace tolvane
