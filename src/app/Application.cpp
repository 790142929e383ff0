#include "app/Application.h"

#include "app/Config.h"
#include "app/GlfwContext.h"
#include "app/Overlays.h"
#include "app/SceneAssembly.h"
#include "base/Clock.h"
#include "base/CpuProfiler.h"
#include "base/Diagnostics.h"
#include "base/GlDebugOutput.h"
#include "render/DriverLimits.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "render/Text.h"
#include "scene/OrthogonalCamera.h"

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

void applyWindowRequest()
{
    const WindowRequest& request = demo.windowRequest;
    if (!request.visible)
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    if (request.width > 0 && request.height > 0) {
        demo.settings.width = request.width;
        demo.settings.height = request.height;
    }
}

// GLFW asserts on a negative size and fails on zero; a size beyond what the
// driver can render to would only give incomplete framebuffers. Either way
// the user learns which setting is at fault.
void refuseWindowSize(const char* reason)
{
    const char* origin = demo.windowRequest.width > 0 ? "asked for" : "from Config.ini";
    logMessage("The window size %ix%i %s %s.", demo.settings.width, demo.settings.height, origin, reason);
    glfwTerminate();
    fatalError("Failed to open window");
}

void checkDriverLimits()
{
    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    GLint maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    const int width = demo.settings.width;
    const int height = demo.settings.height;
    if (width > maxTextureSize || height > maxTextureSize || width > maxViewport[0] || height > maxViewport[1])
        refuseWindowSize("is larger than this OpenGL driver can render");
}

// A driver that offers less than the program needs would fail later in
// ways that say little (a program that does not link, a crash in the
// particles); it is refused here in one line instead.
void requireDriverLimits()
{
    std::vector<DriverLimit> limits = requiredLimits(demo.settings.width, demo.settings.height);
    readLimits(limits);
    const std::string shortfall = driverShortfall(limits, hasFeedbackObjects());
    if (!shortfall.empty())
        fatalError(("This OpenGL driver cannot run the demo: " + shortfall + ".").c_str());
}

// The display's refresh period, from the monitor the window is on when full
// screen, else the primary one; 60 Hz when the compositor does not say.
double refreshPeriod(GLFWmonitor* monitor)
{
    if (monitor == nullptr)
        monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
    const int hertz = mode != nullptr && mode->refreshRate > 0 ? mode->refreshRate : 60;
    return 1.0 / hertz;
}

void createWindow()
{
    const Settings& settings = demo.settings;
    if (settings.width <= 0 || settings.height <= 0)
        refuseWindowSize("is not a usable size");
    GLFWmonitor* monitor = settings.fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    demo.window = glfwCreateWindow(settings.width, settings.height, "Tolvane", monitor, nullptr);
    if (demo.window == nullptr) {
        logGlfwReason();
        glfwTerminate();
        fatalError("Failed to open window");
    }
    demo.windowContext.makeCurrent(settings.width, settings.height);
    // One frame per refresh, rather than whatever the driver's setting says:
    // the timeline's pace follows the frame rate, and a fast card would
    // otherwise draw thousands of frames a second at full power. A Wayland
    // swap that waits for the display waits for the compositor's frame
    // event, which a hidden window may never get: there the program keeps
    // the pace itself, so Escape, a close request and SIGTERM are still seen.
    // A window never shown (a capture's) has nothing to wait for and no pace
    // to keep: GLFW returns from its swaps at once.
    const bool paced = onWayland() && demo.windowRequest.visible;
    demo.windowContext.paceSwapsTo(paced ? refreshPeriod(monitor) : 0.0);
}

// A context the caller opened before start-up: no GLFW, no window; its
// default framebuffer is made at the window size.
void openChosenContext()
{
    if (demo.settings.width <= 0 || demo.settings.height <= 0)
        refuseWindowSize("is not a usable size");
    if (!demo.glContext->makeCurrent(demo.settings.width, demo.settings.height))
        refuseWindowSize("is larger than this OpenGL driver can render");
}

void loadGLEntryPoints()
{
    if (!activeGlContext().loadEntryPoints())
        fatalError("Failed to initialize glew");
    // GLEW's initialisation leaves GL_INVALID_ENUM behind in core profiles.
    glGetError();
}

}  // namespace

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

void initialise()
{
    if (demo.glContext != nullptr) {
        readConfig("Config.ini", demo.settings);
        applyWindowRequest();
        openChosenContext();
    } else {
        chooseWindowSystem();
        if (!glfwInit()) {
            logGlfwReason();
            fatalError("Failed to init glfw");
        }
        glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
        glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
        // Some drivers give a core profile only as forward-compatible.
        glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
        glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, glDebugRequested() ? GLFW_TRUE : GLFW_FALSE);
#ifdef GLFW_SCALE_FRAMEBUFFER
        // On a scaled output (a HiDPI screen at 200%) a window's framebuffer
        // would otherwise have four times the pixels of the configured size:
        // a quarter of the frame rate on a software renderer for a picture
        // the composition would only stretch. The compositor scales the
        // configured size instead.
        glfwWindowHint(GLFW_SCALE_FRAMEBUFFER, GLFW_FALSE);
#endif
        readConfig("Config.ini", demo.settings);
        applyWindowRequest();
        glfwWindowHint(GLFW_REFRESH_RATE, demo.settings.refreshRate);
        createWindow();
    }
    loadGLEntryPoints();
    checkDriverLimits();
    if (activeGlContext().hasWindow())
        glfwSetInputMode(demo.window, GLFW_STICKY_KEYS, GL_TRUE);
    logMessage("OpenGL %s, GLSL %s.\n", reinterpret_cast<const char*>(glGetString(GL_VERSION)),
               reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION)));
    overrideEntryPoints();
    requireDriverLimits();
    if (glDebugRequested()) {
        if (installGlDebugOutput(&demo.glDebugLog))
            logMessage("GL debug: on, the driver's messages follow as they come");
        else
            logMessage("GL debug: this context offers no KHR_debug; only glGetError is checked");
    }
    demo.renderer = new Renderer();
    demo.renderer->init(demo.settings.width, demo.settings.height);
}

void startUp(const LoadingScreenDraw& firstLoadingScreen)
{
    initialise();
    demo.running = true;
    demo.frameDelta = 0.0;
    demo.timelineClock = 0.0;
    demo.lastFrameTime = currentTime();
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
    demo.startTime = currentTime();
}

void releaseAll()
{
    releaseSoundEngine();
    delete demo.renderer;
    demo.renderer = nullptr;
    releaseSceneResources();
    delete demo.overlayCamera;
    demo.overlayCamera = nullptr;
    releaseOverlayFont();
    delete demo.fpsText;
    demo.fpsText = nullptr;
    delete demo.creditsRoot;
    demo.creditsRoot = nullptr;
    // The scene owns the camera, the imported meshes, the lights, the
    // particle systems and the billboards.
    delete demo.scene;
    demo.scene = nullptr;
    demo.camera = nullptr;
    releaseSceneContext();
}

void shutDown()
{
    releaseAll();
    glfwTerminate();
}

}  // namespace tolvane
