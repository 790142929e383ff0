#pragma once

#include <string>

namespace tolvane {

// The OpenGL context the program draws with and the default framebuffer
// (framebuffer 0) it draws the finished picture into: a GLFW window for the
// demo, or a context without any window system for tools that render
// off-screen. Everything else (entry points, renderer, frame loop) is the
// same whichever context draws.
class GlContext {
public:
    using Function = void (*)();

    virtual ~GlContext() = default;

    // Makes the context current on this thread with a default framebuffer of
    // width x height pixels. False when the context cannot give that size.
    virtual bool makeCurrent(int width, int height) = 0;
    // Loads GLEW's entry points for the current context; false when GLEW
    // cannot load them.
    virtual bool loadEntryPoints() = 0;
    // The address of a GL function for this context, null when unknown.
    virtual Function procAddress(const char* name) const = 0;
    // Hands the finished picture in framebuffer 0 on: a buffer swap for a
    // window. Returns at once or after a short wait for earlier frames.
    virtual void present() = 0;
    // True when the picture goes to a window, whose keys the program reads.
    virtual bool hasWindow() const = 0;
    // How the context was reached, for the console: "a GLFW window",
    // "EGL hardware device 0 (/dev/dri/card0)".
    virtual std::string describe() const = 0;
};

}  // namespace tolvane
