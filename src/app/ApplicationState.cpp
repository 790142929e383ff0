// Definitions of the process-wide application state declared in
// Application.h, with their start values.
#include "app/Application.h"

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

TimeSource timeSource = glfwGetTime;

double currentTime()
{
    return timeSource();
}

}  // namespace tolvane
