#pragma once

#include "app/GlContext.h"
#include "base/GlFence.h"

#include <GL/glew.h>

#include <memory>
#include <string>
#include <vector>

namespace tolvane {

// One place EGL can draw on without a window system: a device of the
// device platform, or Mesa's surfaceless platform.
struct EglCandidate {
    enum class Kind { Hardware, Software, Surfaceless };
    Kind kind = Kind::Surfaceless;
    int device = -1;         // index in EGL's device list; -1 for surfaceless
    std::string file;        // the device's DRM file, when it names one
    std::string extensions;  // the device's EGL extensions
};

// The order candidates are tried in: hardware devices first, then software
// devices (each group in EGL's order), then the surfaceless platform when
// the library offers it.
std::vector<EglCandidate> rankEglCandidates(std::vector<EglCandidate> devices, bool surfaceless);

// An OpenGL 3.3 core context reached through EGL with no window system: the
// library is loaded at run time, so a machine without it still runs the
// GLFW path and learns in one line why EGL is missing. The default
// framebuffer is a pbuffer of the requested size; presenting flushes and
// keeps at most two frames in flight, as a window's swap chain would.
class EglContext : public GlContext {
public:
    static constexpr const char* kLibrary = "libEGL.so.1";

    explicit EglContext(std::string library = kLibrary);
    ~EglContext() override;

    EglContext(const EglContext&) = delete;
    EglContext& operator=(const EglContext&) = delete;

    // Loads the library, lists its devices and keeps the first candidate (in
    // rankEglCandidates order) that creates an OpenGL 3.3 core context.
    // Returns false with a one-line reason in `error`.
    bool open(std::string& error);

    // One line per device EGL lists, and one for the surfaceless platform;
    // filled by open(), also when it fails.
    const std::vector<std::string>& deviceLines() const { return lines; }
    // The candidate open() chose.
    const EglCandidate& chosen() const { return candidate; }

    // Creates the pbuffer on first use (and again for another size); false
    // when the size exceeds the configuration's pbuffer limits or EGL refuses it.
    bool makeCurrent(int width, int height) override;
    // GLEW's entry points through libglvnd's dispatch; see the definition.
    bool loadEntryPoints() override;
    Function procAddress(const char* name) const override;
    void present() override;
    bool hasWindow() const override;
    std::string describe() const override;

private:
    struct Library;

    bool loadLibrary(std::string& error);
    std::vector<EglCandidate> listDevices();
    bool tryCandidate(const EglCandidate& option, std::string& reason);
    bool chooseConfig(std::string& reason);
    void releaseSurface();

    std::string libraryName;
    std::unique_ptr<Library> egl;
    std::vector<std::string> lines;
    EglCandidate candidate;
    void* display = nullptr;  // EGLDisplay
    void* config = nullptr;   // EGLConfig
    void* context = nullptr;  // EGLContext
    void* surface = nullptr;  // EGLSurface, the pbuffer
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    GlFence framesInFlight[2];  // the last two frames presented
    int nextFrame = 0;
};

}  // namespace tolvane
