#include "base/SoftwareRenderer.h"

namespace tolvane {

bool isSoftwareRenderer(const std::string& glRenderer)
{
    for (const char* software : {"llvmpipe", "softpipe", "lavapipe", "swrast", "Software Rasterizer", "SwiftShader"})
        if (glRenderer.find(software) != std::string::npos)
            return true;
    return false;
}

}  // namespace tolvane
