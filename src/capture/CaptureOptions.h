#pragma once

#include <string>
#include <vector>

namespace tolvane {

// The command line of tolvane-capture. Times are seconds of demo time, where
// 0 is the moment loading has finished (the timeline starts two seconds
// later). Long options take their value as the next argument or after "=".
class CaptureOptions {
public:
    // Sentinel for `to`: play until the music has ended and the credits have
    // stood a second longer.
    static constexpr double kEndOfFilm = -1.0;

    // Reads the arguments after the program name. Returns false and sets
    // `error` to a one-line message for an unknown option, a missing or bad
    // value, or a combination that makes no sense.
    bool parse(const std::vector<std::string>& arguments, std::string& error);

    // The --help text, written from the same table that parses the options.
    static std::string usage();

    // The frame rate of this run on `renderer`.
    double fpsOn(const std::string& renderer) const { return fps > 0.0 ? fps : filmFps(renderer); }

    // True when the run keeps pictures (frames, video or sheet).
    bool keepsPictures() const;

    // How the GL context is made: EGL with no window system, a hidden GLFW
    // window on the X display, or EGL exactly when no display is set.
    enum class GlPath { Auto, Egl, Glfw };
    // True when this run draws through EGL; `display` is $DISPLAY (may be null).
    bool drawsWithEgl(const char* display) const;

    // The pace of a 60 Hz screen with vsync, where the timeline takes a step
    // every second frame: 30 steps a second, the pace the film is made for.
    // A capture reproduces it at 60 frames a second on a graphics card and
    // at 30, a step every frame and half the frames to draw, on a software
    // renderer.
    static constexpr double kDesktopFps = 60.0;
    static constexpr double kSoftwareFps = 30.0;
    // The default frame rate for a renderer (GL_RENDERER's text).
    static double filmFps(const std::string& renderer);

    double fps = 0.0;        // frames per demo second; 0 = filmFps of the renderer
    double from = 0.0;       // first kept frame at or after this time
    double to = kEndOfFilm;  // frames before this time
    int every = 1;           // keep every Nth frame of the range
    std::vector<double> at;  // keep only the frames at these times (ascending)
    int width = 0;           // picture size in pixels; 0 = Config.ini's
    int height = 0;
    std::string outDirectory;  // PNG frames, empty = none
    std::string videoFile;     // H.264 video, empty = none
    std::string sheetFile;     // contact sheet PNG, empty = none
    std::string loadingFile;   // the loading screen as PNG, empty = none
    bool fire = false;         // light the fire at the start (key P)
    bool bench = false;        // collect and print timings
    bool reference = false;    // with bench: time the reference passes and the start-up floor
    std::string jsonFile;      // bench figures as JSON, empty = none
    std::string plotFile;      // frame-time plot PNG, empty = none
    std::string censusFile;    // memory and GL object counts every 10 s of demo time, empty = none
    bool quiet = false;        // no progress bar
    bool everyPass = false;    // draw black frames through every pass too
    GlPath gl = GlPath::Auto;  // --gl
    bool listDevices = false;  // print the EGL devices and the chosen one, then stop
    bool help = false;         // --help was given; nothing else matters

private:
    bool checkCombination(std::string& error) const;
};

}  // namespace tolvane
