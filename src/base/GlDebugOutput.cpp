#include "base/GlDebugOutput.h"

#include "base/Diagnostics.h"

#include <GL/glew.h>

#include <cstdlib>
#include <cstring>

namespace tolvane {

namespace {

void GLAPIENTRY printMessage(GLenum source, GLenum type, GLuint id, GLenum severity, GLsizei, const GLchar* message,
                             const void* userParam)
{
    auto* log = static_cast<GlDebugLog*>(const_cast<void*>(userParam));
    ++log->messages;
    log->errors += type == GL_DEBUG_TYPE_ERROR ? 1 : 0;
    log->highSeverity += severity == GL_DEBUG_SEVERITY_HIGH ? 1 : 0;
    logMessage("GL debug: source=%s type=%s severity=%s id=%u: %s", glDebugSourceName(source), glDebugTypeName(type),
               glDebugSeverityName(severity), id, message);
}

}  // namespace

bool glDebugRequested()
{
    const char* value = std::getenv("TOLVANE_GL_DEBUG");
    return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

bool hasGlExtension(const char* name)
{
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const auto* extension = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (extension != nullptr && std::strcmp(extension, name) == 0)
            return true;
    }
    return false;
}

bool installGlDebugOutput(GlDebugLog* log)
{
    if (glDebugMessageCallback == nullptr || !hasGlExtension("GL_KHR_debug"))
        return false;
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(printMessage, log);
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_TRUE);
    return true;
}

const char* glDebugSourceName(unsigned int source)
{
    switch (source) {
    case GL_DEBUG_SOURCE_API: return "API";
    case GL_DEBUG_SOURCE_WINDOW_SYSTEM: return "WINDOW_SYSTEM";
    case GL_DEBUG_SOURCE_SHADER_COMPILER: return "SHADER_COMPILER";
    case GL_DEBUG_SOURCE_THIRD_PARTY: return "THIRD_PARTY";
    case GL_DEBUG_SOURCE_APPLICATION: return "APPLICATION";
    default: return "OTHER";
    }
}

const char* glDebugTypeName(unsigned int type)
{
    switch (type) {
    case GL_DEBUG_TYPE_ERROR: return "ERROR";
    case GL_DEBUG_TYPE_DEPRECATED_BEHAVIOR: return "DEPRECATED_BEHAVIOR";
    case GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR: return "UNDEFINED_BEHAVIOR";
    case GL_DEBUG_TYPE_PORTABILITY: return "PORTABILITY";
    case GL_DEBUG_TYPE_PERFORMANCE: return "PERFORMANCE";
    case GL_DEBUG_TYPE_MARKER: return "MARKER";
    case GL_DEBUG_TYPE_PUSH_GROUP: return "PUSH_GROUP";
    case GL_DEBUG_TYPE_POP_GROUP: return "POP_GROUP";
    default: return "OTHER";
    }
}

const char* glDebugSeverityName(unsigned int severity)
{
    switch (severity) {
    case GL_DEBUG_SEVERITY_HIGH: return "HIGH";
    case GL_DEBUG_SEVERITY_MEDIUM: return "MEDIUM";
    case GL_DEBUG_SEVERITY_LOW: return "LOW";
    default: return "NOTIFICATION";
    }
}

}  // namespace tolvane
