#pragma once

#include <string>

namespace tolvane {

// True when `glRenderer` (the context's GL_RENDERER string) names a
// rasteriser that runs on the CPU: Mesa's llvmpipe, softpipe and swrast,
// zink over lavapipe, SwiftShader. Such a renderer pays per pixel for what
// a graphics card gets for free, so a few choices follow it.
bool isSoftwareRenderer(const std::string& glRenderer);

}  // namespace tolvane
