#pragma once

#include <string>

// The two-dimensional text of the demo: the loading screen, the frame
// counter and the end credits, all drawn with one orthographic camera that
// maps one unit to one window pixel, origin at the bottom-left corner.
namespace tolvane {

// Creates overlayCamera, the text program, the two fonts, fpsText and
// creditsRoot with its texts (see Application.h), for the current window
// size, and makes showLoadingMessage the loading-message handler. Needs the
// GL context; shader failures are fatal, font failures only printed.
void buildOverlays();

// Draws and presents one loading-screen frame: the window cleared to the
// current clear colour with `message` in the top-left corner.
void showLoadingMessage(std::string message);

// Releases the text program and the fonts made by buildOverlays. The texts
// that use them must not be drawn afterwards.
void releaseOverlayFont();

}  // namespace tolvane
