// The GL half of the diagnostics, apart from the console log, so that code
// which only logs (the settings and camera-path readers) links without GL.
#include "base/Diagnostics.h"

#include <GL/glew.h>

namespace tolvane {

const char* glErrorText(unsigned int errorCode)
{
    switch (errorCode) {
    case GL_INVALID_ENUM: return "OpenGL Error: GL_INVALID_ENUM";
    case GL_INVALID_VALUE: return "OpenGL Error: GL_INVALID_VALUE";
    case GL_INVALID_OPERATION: return "OpenGL Error: GL_INVALID_OPERATION";
    case GL_STACK_OVERFLOW: return "OpenGL Error: GL_STACK_OVERFLOW";
    case GL_STACK_UNDERFLOW: return "OpenGL Error: GL_STACK_UNDERFLOW";
    case GL_OUT_OF_MEMORY: return "OpenGL Error: GL_OUT_OF_MEMORY";
    case GL_INVALID_FRAMEBUFFER_OPERATION: return "OpenGL Error: GL_INVALID_FRAMEBUFFER_OPERATION";
    default: return "OpenGL Error: Unknown";
    }
}

void checkGLError()
{
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        logMessage("%s", glErrorText(error));
}

}  // namespace tolvane
