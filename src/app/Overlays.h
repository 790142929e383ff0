#pragma once

#include <string>

// The two-dimensional text of the demo: the loading screen, the frame
// counter and the end credits, all drawn with one orthographic camera that
// maps one unit to one window pixel, origin at the bottom-left corner.
namespace tolvane {

// Creates demo.overlayCamera, the text program and the two fonts
// (demo.overlays), demo.fpsText and demo.creditsRoot with its texts, for the
// configured window size, and makes showLoadingProgress the loading-message
// handler (loadingMessageHandler, base/Diagnostics.h). Needs the GL context;
// shader failures are fatal, font failures only printed.
void buildOverlays();

// Draws the credits over the picture at demo.creditsOpacity.
void drawCredits();

// Draws and presents one loading-screen frame: the window cleared to the
// current clear colour with `message` in the top-left corner.
void showLoadingMessage(std::string message);

// The loading-message handler buildOverlays installs: showLoadingMessage for
// the messages that LoadingScreenPace lets through. The import reports its
// progress about a hundred times, and every message drawn is a whole frame
// whose buffer swap waits for the screen under vsync: drawn one by one they
// would add well over a second of waiting to a 60 Hz start-up.
void showLoadingProgress(std::string message);

// Lets a loading message through when at least a thirtieth of a second has
// passed since the last one it let through (the first always passes).
class LoadingScreenPace {
public:
    static constexpr double kInterval = 1.0 / 30.0;  // seconds
    bool due(double nowSeconds);

private:
    double lastShown = -1.0;  // seconds; negative until a message passed
};

// Releases the text program and the fonts made by buildOverlays. The texts
// that use them must not be drawn afterwards.
void releaseOverlayFont();

}  // namespace tolvane
