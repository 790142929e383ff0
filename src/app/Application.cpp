#include "app/Application.h"

#include "app/Config.h"
#include "app/Diagnostics.h"
#include "app/GlfwContext.h"
#include "app/Overlays.h"
#include "app/SceneAssembly.h"
#include "base/Clock.h"
#include "base/CpuProfiler.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "scene/OrthogonalCamera.h"
#include "scene/Text.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

namespace tolvane {

namespace {

// GLFW knows why it failed (no display, a refused connection, ...); the
// user should too, in the line before the fatal one.
void logGlfwReason()
{
    const char* description = nullptr;
    if (glfwGetError(&description) != GLFW_NO_ERROR && description != nullptr)
        logMessage("GLFW: %s", description);
}

void applyWindowOverrides()
{
    if (!windowVisible)
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    if (windowWidthOverride > 0 && windowHeightOverride > 0) {
        width = windowWidthOverride;
        height = windowHeightOverride;
    }
}

// GLFW asserts on a negative size and fails on zero; a size beyond what the
// driver can render to would only give incomplete framebuffers. Either way
// the user learns which setting is at fault.
void refuseWindowSize(const char* reason)
{
    const char* origin = windowWidthOverride > 0 ? "asked for" : "from Config.ini";
    logMessage("The window size %ix%i %s %s.", width, height, origin, reason);
    glfwTerminate();
    fatalError("Failed to open window");
}

void checkDriverLimits()
{
    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    GLint maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    if (width > maxTextureSize || height > maxTextureSize || width > maxViewport[0] || height > maxViewport[1])
        refuseWindowSize("is larger than this OpenGL driver can render");
}

void createWindow()
{
    if (width <= 0 || height <= 0)
        refuseWindowSize("is not a usable size");
    GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    window = glfwCreateWindow(width, height, "Tolvane", monitor, nullptr);
    if (window == nullptr) {
        logGlfwReason();
        glfwTerminate();
        fatalError("Failed to open window");
    }
    GlfwContext::windowContext().makeCurrent(width, height);
}

// A context the caller opened before start-up: no GLFW, no window; its
// default framebuffer is made at the window size.
void openChosenContext()
{
    if (width <= 0 || height <= 0)
        refuseWindowSize("is not a usable size");
    if (!glContext->makeCurrent(width, height))
        refuseWindowSize("is larger than this OpenGL driver can render");
}

void loadGLEntryPoints()
{
    if (!activeGlContext().loadEntryPoints())
        fatalError("Failed to initialize glew");
    // GLEW's initialisation leaves GL_INVALID_ENUM behind in core profiles.
    glGetError();
}

// These eight are taken from the context's own loader (GLFW's for the
// window) rather than GLEW's, so they are the window system's own entry
// points for the current context.
void overrideEntryPoints()
{
    glGenVertexArrays = reinterpret_cast<PFNGLGENVERTEXARRAYSPROC>(activeGlContext().procAddress("glGenVertexArrays"));
    glBindVertexArray = reinterpret_cast<PFNGLBINDVERTEXARRAYPROC>(activeGlContext().procAddress("glBindVertexArray"));
    glDeleteVertexArrays =
        reinterpret_cast<PFNGLDELETEVERTEXARRAYSPROC>(activeGlContext().procAddress("glDeleteVertexArrays"));
    glGenerateMipmap = reinterpret_cast<PFNGLGENERATEMIPMAPPROC>(activeGlContext().procAddress("glGenerateMipmap"));
    glGenFramebuffers = reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(activeGlContext().procAddress("glGenFramebuffers"));
    glBindFramebuffer = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(activeGlContext().procAddress("glBindFramebuffer"));
    glCheckFramebufferStatus =
        reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(activeGlContext().procAddress("glCheckFramebufferStatus"));
    glFramebufferTexture =
        reinterpret_cast<PFNGLFRAMEBUFFERTEXTUREPROC>(activeGlContext().procAddress("glFramebufferTexture"));
}

}  // namespace

void initialise()
{
    if (glContext != nullptr) {
        readConfig("Config.ini");
        applyWindowOverrides();
        openChosenContext();
    } else {
        if (!glfwInit()) {
            logGlfwReason();
            fatalError("Failed to init glfw");
        }
        glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
        glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
        readConfig("Config.ini");
        applyWindowOverrides();
        glfwWindowHint(GLFW_REFRESH_RATE, refreshRate);
        createWindow();
    }
    loadGLEntryPoints();
    checkDriverLimits();
    if (activeGlContext().hasWindow())
        glfwSetInputMode(window, GLFW_STICKY_KEYS, GL_TRUE);
    logMessage("OpenGL %s, GLSL %s.\n", reinterpret_cast<const char*>(glGetString(GL_VERSION)),
               reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION)));
    overrideEntryPoints();
    renderer = new Renderer();
    renderer->init();
}

void startUp(const LoadingScreenDraw& firstLoadingScreen)
{
    initialise();
    running = true;
    frameDelta = 0.0;
    timelineClock = 0.0;
    lastFrameTime = currentTime();
    {
        CpuProfiler::Scope timing(CpuSection::Overlays);
        buildOverlays();
    }
    if (firstLoadingScreen)
        firstLoadingScreen();
    else
        showLoadingMessage("Please wait...");
    buildScene();
    checkGLError();
    startTime = currentTime();
}

void releaseAll()
{
    releaseSoundEngine();
    delete renderer;
    renderer = nullptr;
    releaseSceneResources();
    delete overlayCamera;
    overlayCamera = nullptr;
    releaseOverlayFont();
    delete fpsText;
    fpsText = nullptr;
    delete creditsRoot;
    creditsRoot = nullptr;
    // The scene owns the camera, the imported meshes, the lights, the
    // particle systems and the billboards.
    delete scene;
    scene = nullptr;
    camera = nullptr;
    releaseSceneContext();
}

void shutDown()
{
    releaseAll();
    glfwTerminate();
}

}  // namespace tolvane
