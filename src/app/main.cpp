// Tolvane: a self-running real-time demo of a hut at night.
//
// The program takes no arguments. It runs from a directory holding
// Config.ini, the camera paths, Shader/ and Fonts/, with ../Models,
// ../Textures and ../Music beside it.
#include "app/Application.h"
#include "app/Frame.h"

using namespace tolvane;

int main()
{
    // Window, context and renderer, then the loading screen while the scene
    // is built.
    startUp();

    // Escape or closing the window ends the loop after the current frame.
    while (running)
        runFrame();

    shutDown();
    return 0;
}
