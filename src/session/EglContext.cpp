#include "session/EglContext.h"

#include "base/GlDebugOutput.h"
#include "base/GlewLoader.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace tolvane {

namespace {

// Seconds present() waits for the frame before last; only a hung device
// takes that long.
constexpr GLuint64 kFrameWaitNanoseconds = 60ull * 1000 * 1000 * 1000;

bool hasExtension(const char* list, const char* name)
{
    if (list == nullptr)
        return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

std::string errorName(EGLint code)
{
    switch (code) {
    case EGL_NOT_INITIALIZED: return "EGL_NOT_INITIALIZED";
    case EGL_BAD_ACCESS: return "EGL_BAD_ACCESS";
    case EGL_BAD_ALLOC: return "EGL_BAD_ALLOC";
    case EGL_BAD_ATTRIBUTE: return "EGL_BAD_ATTRIBUTE";
    case EGL_BAD_CONFIG: return "EGL_BAD_CONFIG";
    case EGL_BAD_CONTEXT: return "EGL_BAD_CONTEXT";
    case EGL_BAD_DISPLAY: return "EGL_BAD_DISPLAY";
    case EGL_BAD_MATCH: return "EGL_BAD_MATCH";
    case EGL_BAD_PARAMETER: return "EGL_BAD_PARAMETER";
    case EGL_BAD_SURFACE: return "EGL_BAD_SURFACE";
    default: return "EGL error " + std::to_string(code);
    }
}

std::string candidateName(const EglCandidate& option)
{
    switch (option.kind) {
    case EglCandidate::Kind::Hardware: return "hardware device " + std::to_string(option.device);
    case EglCandidate::Kind::Software: return "software device " + std::to_string(option.device);
    case EglCandidate::Kind::Surfaceless: break;
    }
    return "surfaceless platform";
}

// A 3.3 core profile, forward-compatible as a window's is, and a debug
// context when asked for: EGL 1.5 names these with attributes of their own,
// EGL_KHR_create_context with bits of one flags attribute.
std::vector<EGLint> contextAttributes(bool egl15, bool debug)
{
    std::vector<EGLint> attributes = {EGL_CONTEXT_MAJOR_VERSION,       3,
                                      EGL_CONTEXT_MINOR_VERSION,       3,
                                      EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT};
    if (egl15) {
        attributes.insert(attributes.end(), {EGL_CONTEXT_OPENGL_FORWARD_COMPATIBLE, EGL_TRUE});
        if (debug)
            attributes.insert(attributes.end(), {EGL_CONTEXT_OPENGL_DEBUG, EGL_TRUE});
    } else {
        const EGLint flags =
            EGL_CONTEXT_OPENGL_FORWARD_COMPATIBLE_BIT_KHR | (debug ? EGL_CONTEXT_OPENGL_DEBUG_BIT_KHR : 0);
        attributes.insert(attributes.end(), {EGL_CONTEXT_FLAGS_KHR, flags});
    }
    attributes.push_back(EGL_NONE);
    return attributes;
}

}  // namespace

// The EGL functions the context uses: the core ones straight from the
// library, the device and platform extensions through eglGetProcAddress.
struct EglContext::Library {
    void* handle = nullptr;
    PFNEGLGETPROCADDRESSPROC getProcAddress = nullptr;
    PFNEGLGETERRORPROC getError = nullptr;
    PFNEGLQUERYSTRINGPROC queryString = nullptr;
    PFNEGLINITIALIZEPROC initialize = nullptr;
    PFNEGLTERMINATEPROC terminate = nullptr;
    PFNEGLCHOOSECONFIGPROC chooseConfig = nullptr;
    PFNEGLGETCONFIGATTRIBPROC getConfigAttrib = nullptr;
    PFNEGLBINDAPIPROC bindApi = nullptr;
    PFNEGLCREATECONTEXTPROC createContext = nullptr;
    PFNEGLDESTROYCONTEXTPROC destroyContext = nullptr;
    PFNEGLCREATEPBUFFERSURFACEPROC createPbufferSurface = nullptr;
    PFNEGLDESTROYSURFACEPROC destroySurface = nullptr;
    PFNEGLMAKECURRENTPROC makeCurrent = nullptr;
    PFNEGLRELEASETHREADPROC releaseThread = nullptr;
    PFNEGLQUERYDEVICESEXTPROC queryDevices = nullptr;
    PFNEGLQUERYDEVICESTRINGEXTPROC queryDeviceString = nullptr;
    PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay = nullptr;
    std::vector<EGLDeviceEXT> devices;
};

std::vector<EglCandidate> rankEglCandidates(std::vector<EglCandidate> devices, bool surfaceless)
{
    std::stable_partition(devices.begin(), devices.end(),
                          [](const EglCandidate& option) { return option.kind == EglCandidate::Kind::Hardware; });
    if (surfaceless)
        devices.push_back(EglCandidate{});
    return devices;
}

EglContext::EglContext(std::string library) : libraryName(std::move(library)), egl(std::make_unique<Library>()) {}

EglContext::~EglContext()
{
    if (context != nullptr && egl->makeCurrent(display, surface, surface, context)) {
        for (GlFence& frame : framesInFlight)
            frame.reset();
    }
    if (display != nullptr) {
        egl->makeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        releaseSurface();
        if (context != nullptr)
            egl->destroyContext(display, context);
        egl->terminate(display);
        egl->releaseThread();
    }
    // The library stays loaded: drivers may still have exit handlers in it.
}

bool EglContext::loadLibrary(std::string& error)
{
    egl->handle = dlopen(libraryName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (egl->handle == nullptr) {
        const char* reason = dlerror();
        error = "EGL is not available (" + std::string(reason != nullptr ? reason : libraryName) +
                "; Debian packages libegl1 and libegl-mesa0)";
        return false;
    }
    const char* missing = nullptr;
    const auto load = [this, &missing](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(egl->handle, name));
        if (function == nullptr && missing == nullptr)
            missing = name;
    };
    load(egl->getProcAddress, "eglGetProcAddress");
    load(egl->getError, "eglGetError");
    load(egl->queryString, "eglQueryString");
    load(egl->initialize, "eglInitialize");
    load(egl->terminate, "eglTerminate");
    load(egl->chooseConfig, "eglChooseConfig");
    load(egl->getConfigAttrib, "eglGetConfigAttrib");
    load(egl->bindApi, "eglBindAPI");
    load(egl->createContext, "eglCreateContext");
    load(egl->destroyContext, "eglDestroyContext");
    load(egl->createPbufferSurface, "eglCreatePbufferSurface");
    load(egl->destroySurface, "eglDestroySurface");
    load(egl->makeCurrent, "eglMakeCurrent");
    load(egl->releaseThread, "eglReleaseThread");
    if (missing != nullptr) {
        error = "EGL is not usable: " + libraryName + " has no " + missing;
        return false;
    }
    egl->queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(egl->getProcAddress("eglQueryDevicesEXT"));
    egl->queryDeviceString =
        reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(egl->getProcAddress("eglQueryDeviceStringEXT"));
    egl->getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(egl->getProcAddress("eglGetPlatformDisplayEXT"));
    return true;
}

std::vector<EglCandidate> EglContext::listDevices()
{
    std::vector<EglCandidate> found;
    const char* clientExtensions = egl->queryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    EGLint count = 0;
    if (!hasExtension(clientExtensions, "EGL_EXT_device_enumeration") || egl->queryDevices == nullptr ||
        egl->queryDeviceString == nullptr || !egl->queryDevices(0, nullptr, &count) || count <= 0) {
        lines.emplace_back("EGL devices: none");
        return found;
    }
    egl->devices.resize(static_cast<std::size_t>(count));
    egl->queryDevices(count, egl->devices.data(), &count);
    egl->devices.resize(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        EglCandidate option;
        option.device = index;
        const char* extensions = egl->queryDeviceString(egl->devices[index], EGL_EXTENSIONS);
        option.extensions = extensions != nullptr ? extensions : "";
        option.kind = hasExtension(extensions, "EGL_MESA_device_software") ? EglCandidate::Kind::Software
                                                                           : EglCandidate::Kind::Hardware;
        if (hasExtension(extensions, "EGL_EXT_device_drm")) {
            const char* file = egl->queryDeviceString(egl->devices[index], EGL_DRM_DEVICE_FILE_EXT);
            option.file = file != nullptr ? file : "";
        }
        lines.push_back("EGL device " + std::to_string(index) + ": " +
                        (option.kind == EglCandidate::Kind::Hardware ? "hardware" : "software") +
                        (option.file.empty() ? "" : " " + option.file) + " (" + option.extensions + ")");
        found.push_back(option);
    }
    return found;
}

bool EglContext::open(std::string& error)
{
    if (!loadLibrary(error))
        return false;
    const char* clientExtensions = egl->queryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    const bool surfaceless =
        hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless") && egl->getPlatformDisplay != nullptr;
    const std::vector<EglCandidate> options = rankEglCandidates(listDevices(), surfaceless);
    lines.push_back(std::string("EGL surfaceless platform: ") + (surfaceless ? "offered" : "not offered"));
    if (options.empty()) {
        error = "EGL found no device to draw on (no EGL driver answered; Mesa's is Debian package libegl-mesa0)";
        return false;
    }
    std::string reasons;
    for (const EglCandidate& option : options) {
        std::string reason;
        if (tryCandidate(option, reason)) {
            candidate = option;
            return true;
        }
        reasons += (reasons.empty() ? "" : "; ") + candidateName(option) + ": " + reason;
    }
    error = "no EGL device gives an OpenGL 3.3 core context (" + reasons + ")";
    return false;
}

bool EglContext::tryCandidate(const EglCandidate& option, std::string& reason)
{
    const bool onDevice = option.kind != EglCandidate::Kind::Surfaceless;
    if (egl->getPlatformDisplay == nullptr) {
        reason = "no eglGetPlatformDisplayEXT";
        return false;
    }
    display = onDevice ? egl->getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, egl->devices[option.device], nullptr)
                       : egl->getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0;
    EGLint minor = 0;
    if (display == EGL_NO_DISPLAY || !egl->initialize(display, &major, &minor)) {
        reason = "eglInitialize failed (" + errorName(egl->getError()) + ")";
        display = nullptr;
        return false;
    }
    const bool egl15 = major > 1 || minor >= 5;
    const bool createContextAttributes =
        egl15 || hasExtension(egl->queryString(display, EGL_EXTENSIONS), "EGL_KHR_create_context");
    const std::vector<EGLint> attributes = contextAttributes(egl15, glDebugRequested());
    if (!createContextAttributes)
        reason = "no EGL_KHR_create_context, so no core profile can be asked for";
    else if (!egl->bindApi(EGL_OPENGL_API))
        reason = "no desktop OpenGL (" + errorName(egl->getError()) + ")";
    else if (chooseConfig(reason)) {
        context = egl->createContext(display, config, EGL_NO_CONTEXT, attributes.data());
        if (context != EGL_NO_CONTEXT)
            return true;
        context = nullptr;
        reason = "eglCreateContext failed (" + errorName(egl->getError()) + ")";
    }
    egl->terminate(display);
    display = nullptr;
    return false;
}

// The default framebuffer a GLFW window has: 8-bit RGBA, 24-bit depth,
// 8-bit stencil, no multisampling. eglChooseConfig sorts deeper colour
// first, so the exact match is picked from its list.
bool EglContext::chooseConfig(std::string& reason)
{
    const EGLint wanted[] = {EGL_SURFACE_TYPE,
                             EGL_PBUFFER_BIT,
                             EGL_RENDERABLE_TYPE,
                             EGL_OPENGL_BIT,
                             EGL_RED_SIZE,
                             8,
                             EGL_GREEN_SIZE,
                             8,
                             EGL_BLUE_SIZE,
                             8,
                             EGL_ALPHA_SIZE,
                             8,
                             EGL_DEPTH_SIZE,
                             24,
                             EGL_STENCIL_SIZE,
                             8,
                             EGL_NONE};
    EGLConfig configs[64];
    EGLint count = 0;
    if (!egl->chooseConfig(display, wanted, configs, 64, &count) || count <= 0) {
        reason = "no OpenGL pbuffer configuration with 8-bit RGBA, depth and stencil";
        return false;
    }
    config = configs[0];
    for (EGLint i = 0; i < count; ++i) {
        EGLint red = 0;
        EGLint alpha = 0;
        egl->getConfigAttrib(display, configs[i], EGL_RED_SIZE, &red);
        egl->getConfigAttrib(display, configs[i], EGL_ALPHA_SIZE, &alpha);
        if (red == 8 && alpha == 8) {
            config = configs[i];
            break;
        }
    }
    return true;
}

bool EglContext::makeCurrent(int width, int height)
{
    if (context == nullptr)
        return false;
    if (surface == nullptr || width != surfaceWidth || height != surfaceHeight) {
        EGLint maxWidth = 0;
        EGLint maxHeight = 0;
        egl->getConfigAttrib(display, config, EGL_MAX_PBUFFER_WIDTH, &maxWidth);
        egl->getConfigAttrib(display, config, EGL_MAX_PBUFFER_HEIGHT, &maxHeight);
        if (width <= 0 || height <= 0 || width > maxWidth || height > maxHeight)
            return false;
        egl->makeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        releaseSurface();
        const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
        surface = egl->createPbufferSurface(display, config, size);
        if (surface == EGL_NO_SURFACE) {
            surface = nullptr;
            return false;
        }
        surfaceWidth = width;
        surfaceHeight = height;
    }
    return egl->makeCurrent(display, surface, surface, context) == EGL_TRUE;
}

void EglContext::releaseSurface()
{
    if (surface != nullptr)
        egl->destroySurface(display, surface);
    surface = nullptr;
}

bool EglContext::loadEntryPoints()
{
    return loadGlewEntryPoints();
}

GlContext::Function EglContext::procAddress(const char* name) const
{
    return egl->getProcAddress != nullptr ? egl->getProcAddress(name) : nullptr;
}

// A pbuffer has nothing to swap. Without a swap chain nothing would hold
// the program back while the device falls behind, so each frame waits for
// the one before last, as double buffering would.
void EglContext::present()
{
    glFlush();
    GlFence& oldest = framesInFlight[nextFrame];
    oldest.wait(kFrameWaitNanoseconds);
    oldest = GlFence::insert();
    nextFrame = 1 - nextFrame;
}

bool EglContext::hasWindow() const
{
    return false;
}

std::string EglContext::describe() const
{
    std::string name = "EGL " + candidateName(candidate);
    if (!candidate.file.empty())
        name += " (" + candidate.file + ")";
    return name;
}

}  // namespace tolvane
