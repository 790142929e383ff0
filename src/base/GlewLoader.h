#pragma once

namespace tolvane {

// Loads GLEW's entry points for the context current on this thread, whatever
// window system made it (GLX, or EGL under Wayland or without a display).
// False when GLEW could not load the core entry points.
bool loadGlewEntryPoints();

}  // namespace tolvane
