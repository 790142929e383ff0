#pragma once

#include "app/DemoState.h"

#include <functional>

// The demo's life: start-up, the frame loop's pass (Frame.h) and release.
// The demo's main() and tolvane-capture both run exactly these, so a
// captured frame is the frame a viewer sees.
namespace tolvane {

// Draws the first loading screen in place of the demo's own; the capture
// uses it to keep that screen as a picture.
using LoadingScreenDraw = std::function<void()>;

// GLEW learns what a context offers from its extension string, which a
// core profile no longer has. An older GLEW then leaves the entry points of
// vertex arrays and framebuffer objects, core since 3.0 but once
// extensions, null although the context has them; a GLEW built for GLX may
// also hand out GLX's addresses under an EGL context. These eight are
// therefore taken from the current context's own loader (GLFW's for the
// window, EGL's without one). initialise() does it; a program that makes
// its own context calls it once that context is current.
void overrideEntryPoints();

// Start-up, in the order it runs:
//   1. initialise(): GLFW, Config.ini, the window and its context, the GL
//      entry points, the renderer and its off-screen targets
//   2. the clocks: demo.running is set and the previous frame's time taken
//   3. buildOverlays(), then one loading-screen frame "Please wait..."
//      (or `firstLoadingScreen` when given)
//   4. buildScene(), which redraws the loading screen with its progress
//   5. demo.startTime: the timeline counts its start delay from here
// Any failure to set up a resource is fatal.
void startUp(const LoadingScreenDraw& firstLoadingScreen = {});

// Step 1 of startUp: brings up GLFW, reads Config.ini, opens the window,
// loads the GL entry points and creates the renderer. Any failure is fatal.
// When the caller has set demo.glContext, that context is used at the configured
// size instead of GLFW and a window.
void initialise();

// Releases what start-up and the scene build created, in a fixed order.
void releaseAll();

// releaseAll(), then GLFW's own end: the last call of the program.
void shutDown();

}  // namespace tolvane
