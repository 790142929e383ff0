// Definitions of the process-wide application state declared in
// ApplicationState.h, with their start values.
#include "app/ApplicationState.h"

#include "app/TimelineState.h"
#include "base/Clock.h"

#include <GLFW/glfw3.h>

namespace tolvane {

int width = 1024;
int height = 600;
bool fullscreen = false;
int refreshRate = 0;
float ambient = 0.1f;
float intensity = 1.0f;

GLFWwindow* window = nullptr;
Renderer* renderer = nullptr;

bool running = false;
double frameDelta = 0.0;
double lastFrameTime = 0.0;
double timelineClock = 0.0;
double startTime = 0.0;

bool showFps = false;
bool showCredits = false;

OrthogonalCamera* overlayCamera = nullptr;
Text* fpsText = nullptr;
Scene* creditsRoot = nullptr;
Scene* scene = nullptr;
PerspectiveCamera* camera = nullptr;

bool windowVisible = true;
int windowWidthOverride = 0;
int windowHeightOverride = 0;

void resetApplicationState()
{
    width = 1024;
    height = 600;
    fullscreen = false;
    refreshRate = 0;
    ambient = 0.1f;
    intensity = 1.0f;
    window = nullptr;
    renderer = nullptr;
    running = false;
    frameDelta = lastFrameTime = timelineClock = startTime = 0.0;
    showFps = showCredits = false;
    overlayCamera = nullptr;
    fpsText = nullptr;
    creditsRoot = nullptr;
    scene = nullptr;
    camera = nullptr;
    windowVisible = true;
    windowWidthOverride = windowHeightOverride = 0;
    timelineStarted = false;
    timelineState = 0;
    lastFpsUpdate = 0.0;
    timeSource = glfwGetTime;
}

}  // namespace tolvane
