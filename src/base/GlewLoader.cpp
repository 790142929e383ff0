#include "base/GlewLoader.h"

#include <GL/glew.h>

namespace tolvane {

// Debian's GLEW is built for GLX: glewInit first loads every GL entry point
// through glXGetProcAddress, which libglvnd answers with dispatch stubs that
// serve whichever context is current, EGL's included; then it looks for a
// GLX display and reports GLEW_ERROR_NO_GLX_DISPLAY. That last step is about
// GLX's own extensions, which nothing here uses, so an EGL context (a
// Wayland window, the off-screen capture) is as well served as a GLX one. A
// GLEW built for EGL succeeds outright.
bool loadGlewEntryPoints()
{
    glewExperimental = GL_TRUE;
    const GLenum result = glewInit();
    return result == GLEW_OK || result == GLEW_ERROR_NO_GLX_DISPLAY;
}

}  // namespace tolvane
