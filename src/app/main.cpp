// Tolvane: a self-running real-time demo of a hut at night.
//
// The program takes no arguments. It runs from a directory holding
// Config.ini, the camera paths, Shader/ and Fonts/, with ../Models,
// ../Textures and ../Music beside it.
#include "app/Application.h"
#include "app/Diagnostics.h"
#include "app/Overlays.h"
#include "app/SceneAssembly.h"
#include "app/StopSignals.h"
#include "base/Clock.h"

#include <GLFW/glfw3.h>

#include <cstdio>

using namespace tolvane;

int main()
{
    // Every line reaches a log file or pipe as it is printed, not when a
    // buffer fills, and none is lost when the process is killed.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    installStopSignals();
    // Initialisation: window, context and renderer, then the loading screen
    // while the scene is built.
    initialise();
    running = true;
    frameDelta = 0.0;
    timelineClock = 0.0;
    lastFrameTime = currentTime();
    buildOverlays();
    showLoadingMessage("Please wait...");
    buildScene();
    checkGLError();
    startTime = currentTime();

    // The frame loop: Escape, closing the window, SIGINT or SIGTERM ends it
    // after the pass.
    while (running) {
        tickClock();
        runFrame();
    }

    // De-initialisation.
    releaseAll();
    glfwTerminate();
    return 0;
}
