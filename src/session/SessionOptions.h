#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tolvane {

// How a PlaySession plays the film, as both programs' command lines set it.
// Times are seconds of demo time, where 0 is the moment loading has
// finished (the timeline starts two seconds later).
struct SessionOptions {
    // Sentinel for `to`: play until the music has ended and the credits have
    // stood a second longer.
    static constexpr double kEndOfFilm = -1.0;

    // The pace of a 60 Hz screen with vsync, where the timeline takes a step
    // every second frame: 30 steps a second, the pace the film is made for.
    // A run reproduces it at 60 frames a second on a graphics card and at
    // 30, a step every frame and half the frames to draw, on a software
    // renderer.
    static constexpr double kDesktopFps = 60.0;
    static constexpr double kSoftwareFps = 30.0;
    // The default frame rate for a renderer (GL_RENDERER's text).
    static double filmFps(const std::string& renderer);

    // The frame rate of this run on `renderer`.
    double fpsOn(const std::string& renderer) const { return fps > 0.0 ? fps : filmFps(renderer); }

    // How the GL context is made: EGL with no window system, a hidden GLFW
    // window on the X display, or EGL exactly when no display is set.
    enum class GlPath { Auto, Egl, Glfw };
    // True when this run draws through EGL; `display` is $DISPLAY (may be null).
    bool drawsWithEgl(const char* display) const;

    double fps = 0.0;        // frames per demo second; 0 = filmFps of the renderer
    double from = 0.0;       // first kept or timed frame at or after this time
    double to = kEndOfFilm;  // frames before this time
    int every = 1;           // keep every Nth frame of the range
    std::vector<double> at;  // keep only the frames at these times (ascending)
    int width = 0;           // picture size in pixels; 0 = Config.ini's
    int height = 0;
    bool keepsPictures = false;  // frames of the range are kept (by the capture)
    bool fire = false;           // light the fire at the start (key P)
    bool everyPass = false;      // draw black frames through every pass too
    bool quiet = false;          // no progress bar
    GlPath gl = GlPath::Auto;
};

// The options both programs take (--fps, --from, --to, --size, --fire,
// --gl, --every-pass, --quiet), added to `app` with their --help texts,
// and --help itself; parsing fills `options`.
void addSessionOptions(CLI::App& app, SessionOptions& options);

// The parts of a command line, as the programs' own options use them. Each
// throws CLI::ValidationError naming the option and saying what was wrong
// with the value.
double parseSeconds(const std::string& option, const std::string& text, bool zeroAllowed);
std::string parseFileName(const std::string& option, const std::string& text);

// What came of parsing a command line.
enum class CommandLine { Run, Help, Refused };

// Parses `argv` with `app`: Help when --help was given (the caller prints
// app.help()), Refused with a one-line `error` for an unknown option, a
// missing or bad value.
CommandLine parseCommandLine(CLI::App& app, int argc, const char* const* argv, std::string& error);

}  // namespace tolvane
