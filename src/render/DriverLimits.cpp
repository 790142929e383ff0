#include "render/DriverLimits.h"

#include "base/GlDebugOutput.h"

#include <GL/glew.h>

#include <algorithm>

namespace tolvane {

namespace {

// The particle update emits at most 32 records a step, each of seven
// outputs and the position, every one a whole vec4 slot.
constexpr int kUpdateVertices = 32;
constexpr int kUpdateComponentsPerVertex = (7 + 1) * 4;
constexpr int kCapturedComponents = 13;  // one particle record
constexpr int kShadowFaceTexels = 1000;

}  // namespace

std::vector<DriverLimit> requiredLimits(int width, int height)
{
    const int side = std::max({width, height, 1});
    return {
        {"GL_MAX_GEOMETRY_OUTPUT_VERTICES", GL_MAX_GEOMETRY_OUTPUT_VERTICES, kUpdateVertices},
        {"GL_MAX_GEOMETRY_TOTAL_OUTPUT_COMPONENTS", GL_MAX_GEOMETRY_TOTAL_OUTPUT_COMPONENTS,
         kUpdateVertices * kUpdateComponentsPerVertex},
        {"GL_MAX_GEOMETRY_OUTPUT_COMPONENTS", GL_MAX_GEOMETRY_OUTPUT_COMPONENTS, kUpdateComponentsPerVertex},
        {"GL_MAX_TRANSFORM_FEEDBACK_INTERLEAVED_COMPONENTS", GL_MAX_TRANSFORM_FEEDBACK_INTERLEAVED_COMPONENTS,
         kCapturedComponents},
        {"GL_MAX_TEXTURE_SIZE", GL_MAX_TEXTURE_SIZE, std::max(side, kShadowFaceTexels)},
        {"GL_MAX_CUBE_MAP_TEXTURE_SIZE", GL_MAX_CUBE_MAP_TEXTURE_SIZE, kShadowFaceTexels},
        {"GL_MAX_RENDERBUFFER_SIZE", GL_MAX_RENDERBUFFER_SIZE, side},
        {"GL_MAX_DRAW_BUFFERS", GL_MAX_DRAW_BUFFERS, 2},
        {"GL_MAX_COLOR_ATTACHMENTS", GL_MAX_COLOR_ATTACHMENTS, 2},
        {"GL_MAX_TEXTURE_IMAGE_UNITS", GL_MAX_TEXTURE_IMAGE_UNITS, 3},
        {"GL_MAX_VERTEX_ATTRIBS", GL_MAX_VERTEX_ATTRIBS, 7},
    };
}

void readLimits(std::vector<DriverLimit>& limits)
{
    for (DriverLimit& limit : limits) {
        GLint value = 0;
        glGetIntegerv(limit.key, &value);
        limit.offered = value;
    }
}

std::string driverShortfall(const std::vector<DriverLimit>& limits, bool feedbackObjects)
{
    for (const DriverLimit& limit : limits)
        if (limit.offered < limit.needed)
            return std::string(limit.name) + " is " + std::to_string(limit.offered) +
                   " here, the program needs at least " + std::to_string(limit.needed);
    if (!feedbackObjects)
        return "transform feedback objects (OpenGL 4.0 or GL_ARB_transform_feedback2) are missing here, "
               "the particles need them";
    return {};
}

// A loader may hand out an address for any name, so the context itself is
// asked: its version, else its extensions.
bool hasFeedbackObjects()
{
    if (glGenTransformFeedbacks == nullptr || glBindTransformFeedback == nullptr ||
        glDeleteTransformFeedbacks == nullptr)
        return false;
    GLint major = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    if (major >= 4)
        return true;
    return hasGlExtension("GL_ARB_transform_feedback2");
}

}  // namespace tolvane
