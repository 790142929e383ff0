#include "session/SessionOptions.h"

#include "base/SoftwareRenderer.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace tolvane {

namespace {

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

[[noreturn]] void refuse(const std::string& option, const std::string& value, const char* expected)
{
    throw CLI::ValidationError(option, "'" + value + "' is not " + expected);
}

}  // namespace

double SessionOptions::filmFps(const std::string& renderer)
{
    return isSoftwareRenderer(renderer) ? kSoftwareFps : kDesktopFps;
}

bool SessionOptions::drawsWithEgl(const char* display) const
{
    if (gl == GlPath::Auto)
        return display == nullptr || display[0] == '\0';
    return gl == GlPath::Egl;
}

double parseSeconds(const std::string& option, const std::string& text, bool zeroAllowed)
{
    double seconds = 0.0;
    if (!parseNumber(text, seconds) || seconds < 0.0 || (!zeroAllowed && seconds == 0.0))
        refuse(option, text, zeroAllowed ? "a time in seconds, 0 or more" : "a time in seconds above 0");
    return seconds;
}

std::string parseFileName(const std::string& option, const std::string& text)
{
    if (text.empty())
        throw CLI::ValidationError(option, "needs a file or directory name");
    return text;
}

void addSessionOptions(CLI::App& app, SessionOptions& o)
{
    app.set_help_flag("-h,--help", "this text");
    app.get_formatter()->column_width(22);
    app.add_option_function<std::string>(
           "--fps",
           [&o](const std::string& value) {
               if (!parseNumber(value, o.fps) || o.fps <= 0.0 || o.fps > kMaxFps)
                   refuse("--fps", value, "a frame rate above 0 and at most 1000");
           },
           "frames per second of demo time (default: 30 on a software\nrenderer, 60 on a graphics card). The "
           "timeline takes a step\nper frame once more than 0.02 s have gathered, so 30 and 60\ngive a 60 Hz "
           "screen's pace (30 steps a second), the film's\nown; 50 gives 50 steps a second, 144 gives 48")
        ->type_name("N");
    app.add_option_function<std::string>(
           "--from", [&o](const std::string& value) { o.from = parseSeconds("--from", value, true); },
           "first frame at or after S seconds (default 0; a whole film\ncaptured starts at 2, where the music and the "
           "fade-in do)")
        ->type_name("S");
    app.add_option_function<std::string>(
           "--to", [&o](const std::string& value) { o.to = parseSeconds("--to", value, false); },
           "stop before S seconds (default: a second after the music ends)")
        ->type_name("S");
    app.add_option_function<std::string>(
           "--size",
           [&o](const std::string& value) {
               const std::size_t cross = value.find('x');
               long w = 0;
               long h = 0;
               if (cross == std::string::npos || !parseInteger(value.substr(0, cross), w) ||
                   !parseInteger(value.substr(cross + 1), h) || w < 1 || h < 1 || w > kMaxSide || h > kMaxSide)
                   refuse("--size", value, "a size like 1024x600");
               o.width = static_cast<int>(w);
               o.height = static_cast<int>(h);
           },
           "picture size instead of Config.ini's")
        ->type_name("WxH");
    app.add_flag("--fire", o.fire, "light the camp fire at the start (as key P)");
    app.add_option_function<std::string>(
           "--gl",
           [&o](const std::string& value) {
               if (value == "auto")
                   o.gl = SessionOptions::GlPath::Auto;
               else if (value == "egl")
                   o.gl = SessionOptions::GlPath::Egl;
               else if (value == "glfw")
                   o.gl = SessionOptions::GlPath::Glfw;
               else
                   refuse("--gl", value, "one of egl, glfw, auto");
           },
           "how to reach OpenGL: EGL without any window system (a GPU,\nelse Mesa's software renderer), a hidden "
           "GLFW window on\nthe X display, or auto: EGL when DISPLAY is unset (default)")
        ->type_name("egl|glfw|auto");
    app.add_flag("--every-pass", o.everyPass,
                 "draw every pass even where the fade is 0, instead of the\nblack picture they would give (to "
                 "compare the two)");
    app.add_flag("--quiet", o.quiet, "no progress bar");
}

CommandLine parseCommandLine(CLI::App& app, int argc, const char* const* argv, std::string& error)
{
    // Our messages, not the library's: every value is checked by our own
    // callbacks, a repeated option counts as its last, and anything left
    // over is named.
    app.allow_extras();
    for (CLI::Option* option : app.get_options([](CLI::Option*) { return true; }))
        option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return CommandLine::Help;
    } catch (const CLI::ParseError& failure) {
        error = failure.what();
        return CommandLine::Refused;
    }
    if (!app.remaining().empty()) {
        const std::string first = app.remaining().front();
        error = (first.rfind('-', 0) == 0 ? "unknown option '" : "unexpected argument '") + first + "' (see --help)";
        return CommandLine::Refused;
    }
    return CommandLine::Run;
}

}  // namespace tolvane
