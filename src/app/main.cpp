// Tolvane: a self-running real-time demo of a hut at night.
//
// The program takes no arguments. It runs from a directory holding
// Config.ini, the camera paths, Shader/ and Fonts/, with ../Models,
// ../Textures and ../Music beside it.
#include "app/Application.h"
#include "app/Frame.h"
#include "app/StopSignals.h"

#include <cstdio>

using namespace tolvane;

int main()
{
    // Every line reaches a log file or pipe as it is printed, not when a
    // buffer fills, and none is lost when the process is killed.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    installStopSignals();
    // Window, context and renderer, then the loading screen while the scene
    // is built.
    startUp();

    // Escape, closing the window, SIGINT or SIGTERM ends the loop after the
    // current frame.
    while (demo.running)
        runFrame();

    shutDown();
    return 0;
}
