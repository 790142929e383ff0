#include "capture/CaptureOptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace tolvane {

namespace {

// The stretch --bench plays when no range is given: after the fade-in, with
// the camera moving, long enough for stable medians.
constexpr double kBenchFrom = 3.0;
constexpr double kBenchLength = 10.0;
constexpr double kMaxFps = 1000.0;
constexpr int kMaxSide = 16384;

bool isFlag(const std::string& name)
{
    return name == "--fire" || name == "--bench" || name == "--reference" || name == "--quiet" || name == "--help" ||
           name == "-h" || name == "--list-devices";
}

bool isValueOption(const std::string& name)
{
    static const char* const kNames[] = {
        "--fps",   "--from",           "--to",   "--every", "--size", "--out",    "--video",
        "--sheet", "--loading-screen", "--json", "--plot",  "--at",   "--census", "--gl"};
    for (const char* known : kNames)
        if (name == known)
            return true;
    return false;
}

// The whole string must be one finite number.
bool parseNumber(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(value);
}

bool parseInteger(const std::string& text, long& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

bool parseSize(const std::string& text, int& width, int& height)
{
    const std::size_t cross = text.find('x');
    if (cross == std::string::npos)
        return false;
    long w = 0;
    long h = 0;
    if (!parseInteger(text.substr(0, cross), w) || !parseInteger(text.substr(cross + 1), h))
        return false;
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool badValue(const std::string& name, const std::string& value, const char* expected, std::string& error)
{
    error = name + ": '" + value + "' is not " + expected;
    return false;
}

}  // namespace

bool CaptureOptions::parse(const std::vector<std::string>& arguments, std::string& error)
{
    bool rangeGiven = false;
    bool everyGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::string value;
        const std::size_t equals = name.find('=');
        const bool inlineValue = name.rfind("--", 0) == 0 && equals != std::string::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (isFlag(name)) {
            if (inlineValue) {
                error = name + " takes no value";
                return false;
            }
            if (!applyOption(name, value, error))
                return false;
            continue;
        }
        if (!isValueOption(name)) {
            error = "unknown option '" + name + "' (see --help)";
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= arguments.size()) {
                error = name + " needs a value";
                return false;
            }
            value = arguments[++i];
        }
        if (!applyOption(name, value, error))
            return false;
        rangeGiven = rangeGiven || name == "--from" || name == "--to";
        everyGiven = everyGiven || name == "--every";
    }
    if (help || listDevices)
        return true;
    if (!at.empty() && (rangeGiven || everyGiven)) {
        error = "--at picks its own frames; leave out --from, --to and --every";
        return false;
    }
    if (bench && !rangeGiven) {
        from = kBenchFrom;
        to = kBenchFrom + kBenchLength;
    }
    return checkCombination(error);
}

bool CaptureOptions::applyOption(const std::string& name, const std::string& value, std::string& error)
{
    if (name == "--help" || name == "-h")
        help = true;
    else if (name == "--fire")
        fire = true;
    else if (name == "--bench")
        bench = true;
    else if (name == "--reference")
        reference = true;
    else if (name == "--quiet")
        quiet = true;
    else if (name == "--list-devices")
        listDevices = true;
    else if (name == "--gl") {
        if (value == "auto")
            gl = GlPath::Auto;
        else if (value == "egl")
            gl = GlPath::Egl;
        else if (value == "glfw")
            gl = GlPath::Glfw;
        else
            return badValue(name, value, "one of egl, glfw, auto", error);
    } else if (name == "--fps") {
        if (!parseNumber(value, fps) || fps <= 0.0 || fps > kMaxFps)
            return badValue(name, value, "a frame rate above 0 and at most 1000", error);
    } else if (name == "--from") {
        if (!parseNumber(value, from) || from < 0.0)
            return badValue(name, value, "a time in seconds, 0 or more", error);
    } else if (name == "--to") {
        if (!parseNumber(value, to) || to <= 0.0)
            return badValue(name, value, "a time in seconds above 0", error);
    } else if (name == "--every") {
        long n = 0;
        if (!parseInteger(value, n) || n < 1 || n > 1000000)
            return badValue(name, value, "a whole number of 1 or more", error);
        every = static_cast<int>(n);
    } else if (name == "--at") {
        return parseTimes(name, value, error);
    } else if (name == "--size") {
        if (!parseSize(value, width, height))
            return badValue(name, value, "a size like 1024x600", error);
    } else if (value.empty()) {
        error = name + " needs a file or directory name";
        return false;
    } else if (name == "--out")
        outDirectory = value;
    else if (name == "--video")
        videoFile = value;
    else if (name == "--sheet")
        sheetFile = value;
    else if (name == "--loading-screen")
        loadingFile = value;
    else if (name == "--json")
        jsonFile = value;
    else if (name == "--plot")
        plotFile = value;
    else if (name == "--census")
        censusFile = value;
    return true;
}

bool CaptureOptions::parseTimes(const std::string& name, const std::string& value, std::string& error)
{
    at.clear();
    std::size_t begin = 0;
    while (begin <= value.size()) {
        std::size_t end = value.find(',', begin);
        if (end == std::string::npos)
            end = value.size();
        double time = 0.0;
        if (!parseNumber(value.substr(begin, end - begin), time) || time < 0.0)
            return badValue(name, value, "a list of times in seconds like 3,42.5", error);
        at.push_back(time);
        begin = end + 1;
    }
    std::sort(at.begin(), at.end());
    return true;
}

bool CaptureOptions::checkCombination(std::string& error) const
{
    if (!at.empty() && (outDirectory.empty() || !videoFile.empty() || bench)) {
        error = "--at keeps single frames: use it with --out, without --video or --bench";
        return false;
    }
    if (to != kEndOfFilm && to <= from) {
        error = "--to must come after --from";
        return false;
    }
    if ((!jsonFile.empty() || !plotFile.empty() || reference) && !bench) {
        error = "--json, --plot and --reference need --bench";
        return false;
    }
    if (!keepsPictures() && !bench && loadingFile.empty() && censusFile.empty()) {
        error = "nothing to do: give --out, --video, --sheet, --loading-screen, --bench or --census (see --help)";
        return false;
    }
    return true;
}

bool CaptureOptions::keepsPictures() const
{
    return !outDirectory.empty() || !videoFile.empty() || !sheetFile.empty();
}

bool CaptureOptions::drawsWithEgl(const char* display) const
{
    if (gl == GlPath::Auto)
        return display == nullptr || display[0] == '\0';
    return gl == GlPath::Egl;
}

std::string CaptureOptions::usage()
{
    return "Usage: tolvane-capture [options]\n"
           "Plays the demo off-screen with a fixed-step clock, from its run directory\n"
           "(the one holding Config.ini), and keeps pictures, a video or timings.\n"
           "Times are seconds of demo time; 0 is the end of loading, the film starts at 2.\n"
           "\n"
           "  --fps N             frames per second of demo time (default 50)\n"
           "  --from S            first frame at or after S seconds (default 0)\n"
           "  --to S              stop before S seconds (default: a second after the music ends)\n"
           "  --every N           keep every Nth frame of the range (default 1)\n"
           "  --at S1,S2,...      keep only the frames at these times (with --out)\n"
           "  --size WxH          picture size instead of Config.ini's\n"
           "  --out DIR           write the kept frames as DIR/frame-NNNNNN.png\n"
           "  --video FILE        encode the kept frames with the music (needs ffmpeg)\n"
           "  --sheet FILE        contact sheet of evenly spaced kept frames (PNG)\n"
           "  --loading-screen F  the loading screen as a PNG\n"
           "  --fire              light the camp fire at the start (as key P)\n"
           "  --bench             time every pass and print medians and 95th percentiles\n"
           "                      (default range 3 to 13 s)\n"
           "  --reference         with --bench: also time the reference passes (9-tap\n"
           "                      Gaussian and copy blurs, unlit scene, empty shadow\n"
           "                      fragment stage) and the start-up's floor, and print\n"
           "                      every pass as a ratio to them\n"
           "  --json FILE         with --bench: the figures as JSON\n"
           "  --plot FILE         with --bench: frame-time plot as PNG (needs gnuplot)\n"
           "  --census FILE       every 10 s of demo time, resident memory and live GL\n"
           "                      objects as a table (for soak runs)\n"
           "  --gl egl|glfw|auto  how to reach OpenGL: EGL without any window system (a GPU,\n"
           "                      else Mesa's software renderer), a hidden GLFW window on\n"
           "                      the X display, or auto: EGL when DISPLAY is unset (default)\n"
           "  --list-devices      print the EGL devices and the one EGL would draw with\n"
           "  --quiet             no progress bar\n"
           "  --help              this text\n";
}

}  // namespace tolvane
