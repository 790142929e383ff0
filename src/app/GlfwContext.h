#pragma once

#include "app/GlContext.h"
#include "base/FramePacer.h"

namespace tolvane {

// The context of the application's window, demo.window, which start-up
// creates with GLFW at the configured size: presenting swaps its buffers, and
// GL functions come from GLFW's loader. It follows that window; its only
// state is how swaps are paced.
class GlfwContext : public GlContext {
public:
    // Makes the window's context current; false when there is no window. The
    // size is the window's own.
    bool makeCurrent(int width, int height) override;
    bool loadEntryPoints() override;
    Function procAddress(const char* name) const override;
    void present() override;
    bool hasWindow() const override;
    std::string describe() const override;

    // The window's framebuffer size in pixels now; false without a window or
    // while another context draws (demo.glContext set).
    bool framebufferSize(int& width, int& height) const;

    // Swaps without waiting for the display and holds each present() to
    // `periodSeconds` instead (0: swaps wait for the display again). For a
    // Wayland surface, whose waiting swap blocks for as long as the
    // compositor sends no frame events, as it may while the window is hidden.
    void paceSwapsTo(double periodSeconds);

private:
    FramePacer pacer;  // idle unless paceSwapsTo() gave it a period
};

// Before glfwInit: picks X11 when there is an X display and no Wayland
// session, so that GLFW's Wayland probe prints nothing; otherwise GLFW's own
// choice, Wayland first. GLFW before 3.4 knows only the system it was built
// for, and this does nothing.
void chooseWindowSystem();
// After glfwInit: true when GLFW talks to a Wayland compositor.
bool onWayland();

// The context everything draws with: demo.glContext when a tool chose one, else
// the GLFW window's.
GlContext& activeGlContext();

}  // namespace tolvane
