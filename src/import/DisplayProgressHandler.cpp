#include "import/DisplayProgressHandler.h"

#include "base/Diagnostics.h"

#include <cmath>

namespace tolvane {

bool DisplayProgressHandler::Update(float percentage)
{
    if (percentage == -1.0f) {
        static const char* const kDots[] = {
            "Loading Scene",
            "Loading Scene.",
            "Loading Scene..",
            "Loading Scene...",
        };
        postLoadingMessage("%s", kDots[dotCounter]);
        dotCounter = (dotCounter + 1) % 4;
    } else {
        const int percent = static_cast<int>(std::round(static_cast<double>(percentage) * 100.0));
        postLoadingMessage("Loading Scene... (%i%%)", percent);
    }
    return true;
}

}  // namespace tolvane
