#pragma once

namespace tolvane {

// The settings Config.ini may change, with the built-in defaults it keeps
// for every key it does not set.
struct Settings {
    int width = 1024;         // window width, pixels
    int height = 600;         // window height, pixels
    bool fullscreen = false;  // full screen on the primary monitor
    int refreshRate = 0;      // GLFW_REFRESH_RATE hint in Hz, 0 = don't care
    float ambient = 0.1f;     // intensity of the scene's ambient light
    float intensity = 1.0f;   // intensity of the orbiting point light
};

}  // namespace tolvane
