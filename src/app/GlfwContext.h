#pragma once

#include "app/GlContext.h"

namespace tolvane {

// The context of the application's window, demo.window, which start-up
// creates with GLFW at the configured size: presenting swaps its buffers, and
// GL functions come from GLFW's loader. Stateless: it follows that window.
class GlfwContext : public GlContext {
public:
    // The window's context: stateless, it follows ApplicationState's window.
    static GlfwContext& windowContext();

    // Makes the window's context current; false when there is no window. The
    // size is the window's own.
    bool makeCurrent(int width, int height) override;
    bool loadEntryPoints() override;
    Function procAddress(const char* name) const override;
    void present() override;
    bool hasWindow() const override;
    std::string describe() const override;
};

// The context everything draws with: demo.glContext when a tool chose one, else
// the GLFW window's.
GlContext& activeGlContext();

}  // namespace tolvane
