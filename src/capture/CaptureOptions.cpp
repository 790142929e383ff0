#include "capture/CaptureOptions.h"

#include "app/Timeline.h"

#include <CLI/CLI.hpp>

#include <algorithm>

namespace tolvane {

namespace {

constexpr const char* kDescription = "Plays the demo off-screen with a fixed-step clock, from its run directory\n"
                                     "(the one holding Config.ini), and keeps pictures or a video; tolvane-bench\n"
                                     "times it. Times are seconds of demo time; 0 is the end of loading, the film\n"
                                     "starts at 2.";

std::vector<double> parseTimes(const std::string& value)
{
    std::vector<double> at;
    std::size_t begin = 0;
    while (begin <= value.size()) {
        std::size_t end = value.find(',', begin);
        if (end == std::string::npos)
            end = value.size();
        try {
            at.push_back(parseSeconds("--at", value.substr(begin, end - begin), true));
        } catch (const CLI::ValidationError&) {
            throw CLI::ValidationError("--at", "'" + value + "' is not a list of times in seconds like 3,42.5");
        }
        begin = end + 1;
    }
    std::sort(at.begin(), at.end());
    return at;
}

// Every option of the capture, in the order --help lists them.
void addOptions(CLI::App& app, CaptureOptions& o)
{
    addSessionOptions(app, o.session);
    app.add_option_function<std::string>(
           "--every",
           [&o](const std::string& value) {
               char* end = nullptr;
               const long n = std::strtol(value.c_str(), &end, 10);
               if (value.empty() || *end != '\0' || n < 1 || n > 1000000)
                   throw CLI::ValidationError("--every", "'" + value + "' is not a whole number of 1 or more");
               o.session.every = static_cast<int>(n);
           },
           "keep every Nth frame of the range (default 1)")
        ->type_name("N");
    app.add_option_function<std::string>(
           "--at", [&o](const std::string& value) { o.session.at = parseTimes(value); },
           "keep only the frames at these times (with --out)")
        ->type_name("S1,S2,...");
    const auto file = [&app](const char* name, std::string& target, const char* value, const char* help) {
        app.add_option_function<std::string>(
               name, [name, &target](const std::string& text) { target = parseFileName(name, text); }, help)
            ->type_name(value);
    };
    file("--out", o.outDirectory, "DIR", "write the kept frames as DIR/frame-NNNNNN.png");
    file("--video", o.videoFile, "FILE", "encode the kept frames with the music (needs ffmpeg)");
    file("--sheet", o.sheetFile, "FILE", "contact sheet of evenly spaced kept frames (PNG)");
    file("--loading-screen", o.loadingFile, "F", "the loading screen as a PNG");
    app.add_flag("--list-devices", o.listDevices, "print the EGL devices and the one EGL would draw with");
}

}  // namespace

CommandLine CaptureOptions::parse(int argc, const char* const* argv, std::string& error)
{
    CLI::App app(kDescription, "tolvane-capture");
    addOptions(app, *this);
    const CommandLine outcome = parseCommandLine(app, argc, argv, error);
    if (outcome != CommandLine::Run || listDevices)
        return outcome;
    session.keepsPictures = keepsPictures();
    const bool rangeGiven = app.count("--from") > 0 || app.count("--to") > 0;
    // The whole film starts where the timeline starts the music and the
    // fade-in, so that a video opens on picture and sound, not on the start
    // delay's black silence.
    if (!rangeGiven && session.at.empty())
        session.from = kTimelineStartDelay;
    if (!session.at.empty() && (rangeGiven || app.count("--every") > 0))
        error = "--at picks its own frames; leave out --from, --to and --every";
    else if (!session.at.empty() && (outDirectory.empty() || !videoFile.empty()))
        error = "--at keeps single frames: use it with --out, without --video";
    else if (session.to != SessionOptions::kEndOfFilm && session.to <= session.from)
        error = "--to must come after --from";
    else if (!keepsPictures() && loadingFile.empty())
        error = "nothing to do: give --out, --video, --sheet or --loading-screen (tolvane-bench times the film; "
                "see --help)";
    return error.empty() ? CommandLine::Run : CommandLine::Refused;
}

std::string CaptureOptions::usage()
{
    CaptureOptions options;
    CLI::App app(kDescription, "tolvane-capture");
    addOptions(app, options);
    return app.help();
}

}  // namespace tolvane
