#pragma once

#include "app/ApplicationState.h"

// The application's start-up and release steps and the frame loop's pass.
namespace tolvane {

// Brings up GLFW, reads Config.ini, opens the window, loads the GL entry
// points and creates the renderer. Any failure is fatal. When the caller has
// set glContext, that context is used at the configured size instead of
// GLFW and a window.
void initialise();

// Draws one frame into the window's back buffer: the renderer's passes, then
// the frame counter and the credits when they are shown.
void renderFrame();

// Reads the clock once at the start of a frame: moves frameDelta,
// lastFrameTime and timelineClock on.
void tickClock();

// One pass of the frame loop after the clock has been read: updateFrame(),
// drawFrame(), presentFrame().
void runFrame();
// Input and the demo's update for one frame.
void updateFrame();
// The frame into the back buffer, then the GL error check; a capture reads
// the pixels between this and presentFrame().
void drawFrame();
// Presents the picture (swaps the window's buffers) and checks for GL errors
// again.
void presentFrame();

// Releases what start-up and the scene build created, in a fixed order.
void releaseAll();

}  // namespace tolvane
