#include "capture/CaptureOptions.h"

#include "base/SoftwareRenderer.h"

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

bool parseTimes(std::vector<double>& at, const std::string& name, const std::string& value, std::string& error)
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

using Apply = bool (*)(CaptureOptions& options, const std::string& name, const std::string& value, std::string& error);

// Every option, once: how it is written, what value it takes (none for a
// flag), what --help says of it and how it is applied.
struct Option {
    const char* name;
    const char* alias;  // a short form, or null
    const char* value;  // the value's name in --help; null for a flag
    const char* help;   // lines of --help, '\n' between them
    Apply apply;
};

bool setFileName(std::string& target, const std::string& name, const std::string& value, std::string& error)
{
    if (value.empty()) {
        error = name + " needs a file or directory name";
        return false;
    }
    target = value;
    return true;
}

const Option kOptions[] = {
    {"--fps", nullptr, "N",
     "frames per second of demo time (default: 30 on a software\nrenderer, 60 on a graphics card). The timeline "
     "takes a step\nper frame once more than 0.02 s have gathered, so 30 and 60\ngive a 60 Hz screen's pace "
     "(30 steps a second), the film's\nown; 50 gives 50 steps a second, 144 gives 48",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         if (!parseNumber(value, o.fps) || o.fps <= 0.0 || o.fps > kMaxFps)
             return badValue(name, value, "a frame rate above 0 and at most 1000", error);
         return true;
     }},
    {"--from", nullptr, "S", "first frame at or after S seconds (default 0)",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         if (!parseNumber(value, o.from) || o.from < 0.0)
             return badValue(name, value, "a time in seconds, 0 or more", error);
         return true;
     }},
    {"--to", nullptr, "S", "stop before S seconds (default: a second after the music ends)",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         if (!parseNumber(value, o.to) || o.to <= 0.0)
             return badValue(name, value, "a time in seconds above 0", error);
         return true;
     }},
    {"--every", nullptr, "N", "keep every Nth frame of the range (default 1)",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         long n = 0;
         if (!parseInteger(value, n) || n < 1 || n > 1000000)
             return badValue(name, value, "a whole number of 1 or more", error);
         o.every = static_cast<int>(n);
         return true;
     }},
    {"--at", nullptr, "S1,S2,...", "keep only the frames at these times (with --out)",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         return parseTimes(o.at, name, value, error);
     }},
    {"--size", nullptr, "WxH", "picture size instead of Config.ini's",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         if (!parseSize(value, o.width, o.height))
             return badValue(name, value, "a size like 1024x600", error);
         return true;
     }},
    {"--out", nullptr, "DIR", "write the kept frames as DIR/frame-NNNNNN.png",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         return setFileName(o.outDirectory, name, value, error);
     }},
    {"--video", nullptr, "FILE", "encode the kept frames with the music (needs ffmpeg)",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         return setFileName(o.videoFile, name, value, error);
     }},
    {"--sheet", nullptr, "FILE", "contact sheet of evenly spaced kept frames (PNG)",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         return setFileName(o.sheetFile, name, value, error);
     }},
    {"--loading-screen", nullptr, "F", "the loading screen as a PNG",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         return setFileName(o.loadingFile, name, value, error);
     }},
    {"--fire", nullptr, nullptr, "light the camp fire at the start (as key P)",
     [](CaptureOptions& o, const std::string&, const std::string&, std::string&) { return o.fire = true; }},
    {"--bench", nullptr, nullptr, "time every pass and print medians and 95th percentiles\n(default range 3 to 13 s)",
     [](CaptureOptions& o, const std::string&, const std::string&, std::string&) { return o.bench = true; }},
    {"--reference", nullptr, nullptr,
     "with --bench: also time the reference passes (9-tap\nGaussian and copy blurs, unlit scene, empty shadow\n"
     "fragment stage) and the start-up's floor, and print\nevery pass as a ratio to them",
     [](CaptureOptions& o, const std::string&, const std::string&, std::string&) { return o.reference = true; }},
    {"--json", nullptr, "FILE", "with --bench: the figures as JSON",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         return setFileName(o.jsonFile, name, value, error);
     }},
    {"--plot", nullptr, "FILE", "with --bench: frame-time plot as PNG (needs gnuplot)",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         return setFileName(o.plotFile, name, value, error);
     }},
    {"--census", nullptr, "FILE",
     "every 10 s of demo time, resident memory and live GL\nobjects as a table (for soak runs)",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         return setFileName(o.censusFile, name, value, error);
     }},
    {"--gl", nullptr, "egl|glfw|auto",
     "how to reach OpenGL: EGL without any window system (a GPU,\nelse Mesa's software renderer), a hidden GLFW "
     "window on\nthe X display, or auto: EGL when DISPLAY is unset (default)",
     [](CaptureOptions& o, const std::string& name, const std::string& value, std::string& error) {
         if (value == "auto")
             o.gl = CaptureOptions::GlPath::Auto;
         else if (value == "egl")
             o.gl = CaptureOptions::GlPath::Egl;
         else if (value == "glfw")
             o.gl = CaptureOptions::GlPath::Glfw;
         else
             return badValue(name, value, "one of egl, glfw, auto", error);
         return true;
     }},
    {"--every-pass", nullptr, nullptr,
     "draw every pass even where the fade is 0, instead of the\nblack picture they would give (to compare the two)",
     [](CaptureOptions& o, const std::string&, const std::string&, std::string&) { return o.everyPass = true; }},
    {"--list-devices", nullptr, nullptr, "print the EGL devices and the one EGL would draw with",
     [](CaptureOptions& o, const std::string&, const std::string&, std::string&) { return o.listDevices = true; }},
    {"--quiet", nullptr, nullptr, "no progress bar",
     [](CaptureOptions& o, const std::string&, const std::string&, std::string&) { return o.quiet = true; }},
    {"--help", "-h", nullptr, "this text",
     [](CaptureOptions& o, const std::string&, const std::string&, std::string&) { return o.help = true; }},
};

const Option* findOption(const std::string& name)
{
    for (const Option& option : kOptions)
        if (name == option.name || (option.alias != nullptr && name == option.alias))
            return &option;
    return nullptr;
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
        const Option* option = findOption(name);
        if (option == nullptr) {
            error = "unknown option '" + name + "' (see --help)";
            return false;
        }
        if (option->value == nullptr && inlineValue) {
            error = name + " takes no value";
            return false;
        }
        if (option->value != nullptr && !inlineValue) {
            if (i + 1 >= arguments.size()) {
                error = name + " needs a value";
                return false;
            }
            value = arguments[++i];
        }
        if (!option->apply(*this, name, value, error))
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

double CaptureOptions::filmFps(const std::string& renderer)
{
    return isSoftwareRenderer(renderer) ? kSoftwareFps : kDesktopFps;
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
    std::string text = "Usage: tolvane-capture [options]\n"
                       "Plays the demo off-screen with a fixed-step clock, from its run directory\n"
                       "(the one holding Config.ini), and keeps pictures, a video or timings.\n"
                       "Times are seconds of demo time; 0 is the end of loading, the film starts at 2.\n"
                       "\n";
    constexpr std::size_t kHelpColumn = 22;
    for (const Option& option : kOptions) {
        std::string head = std::string("  ") + option.name;
        if (option.value != nullptr)
            head += std::string(" ") + option.value;
        head.resize(std::max(head.size() + 2, kHelpColumn), ' ');
        if (head.size() > kHelpColumn)
            head += "\n" + std::string(kHelpColumn, ' ');
        std::string help = option.help;
        for (std::size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1))
            help.insert(at + 1, kHelpColumn, ' ');
        text += head + help + "\n";
    }
    return text;
}

}  // namespace tolvane
