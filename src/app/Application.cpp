#include "app/Application.h"

#include "app/Config.h"
#include "app/Diagnostics.h"
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
    logMessage("The window size %ix%i from Config.ini %s.", width, height, reason);
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
        glfwTerminate();
        fatalError("Failed to open window");
    }
    glfwMakeContextCurrent(window);
}

void loadGLEntryPoints()
{
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK)
        fatalError("Failed to initialize glew");
    // GLEW's initialisation leaves GL_INVALID_ENUM behind in core profiles.
    glGetError();
}

// These eight are taken from GLFW's loader rather than GLEW's, so they are
// the window system's own entry points for the current context.
void overrideEntryPoints()
{
    glGenVertexArrays = reinterpret_cast<PFNGLGENVERTEXARRAYSPROC>(glfwGetProcAddress("glGenVertexArrays"));
    glBindVertexArray = reinterpret_cast<PFNGLBINDVERTEXARRAYPROC>(glfwGetProcAddress("glBindVertexArray"));
    glDeleteVertexArrays = reinterpret_cast<PFNGLDELETEVERTEXARRAYSPROC>(glfwGetProcAddress("glDeleteVertexArrays"));
    glGenerateMipmap = reinterpret_cast<PFNGLGENERATEMIPMAPPROC>(glfwGetProcAddress("glGenerateMipmap"));
    glGenFramebuffers = reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(glfwGetProcAddress("glGenFramebuffers"));
    glBindFramebuffer = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(glfwGetProcAddress("glBindFramebuffer"));
    glCheckFramebufferStatus = reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(glfwGetProcAddress("glCheckFramebufferStatus"));
    glFramebufferTexture = reinterpret_cast<PFNGLFRAMEBUFFERTEXTUREPROC>(glfwGetProcAddress("glFramebufferTexture"));
}

}  // namespace

void initialise()
{
    if (!glfwInit())
        fatalError("Failed to init glfw");
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    readConfig("Config.ini");
    applyWindowOverrides();
    glfwWindowHint(GLFW_REFRESH_RATE, refreshRate);
    createWindow();
    loadGLEntryPoints();
    checkDriverLimits();
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
