#pragma once

#include <string>
#include <vector>

namespace tolvane {

// One OpenGL implementation limit the program relies on: what it needs at
// least and what the current context offers.
struct DriverLimit {
    const char* name;  // e.g. "GL_MAX_GEOMETRY_OUTPUT_VERTICES"
    unsigned int key;  // the glGetIntegerv name
    int needed;        // the least the program works with
    int offered = 0;   // the current context's value
};

// The limits the program relies on, for a window of width x height: the
// particle update's geometry output (32 vertices of 8 four-component
// outputs), its 13 captured components, the shadow cube maps' 1000 texels,
// the window-sized targets, the two colour outputs of the scene pass, and
// the texture units and vertex attributes the shaders use. Values not read.
std::vector<DriverLimit> requiredLimits(int width, int height);

// Reads every limit's `offered` from the current context.
void readLimits(std::vector<DriverLimit>& limits);

// The one line that says why the context is not enough: the first limit
// below its need ("GL_MAX_GEOMETRY_OUTPUT_VERTICES is 16 here, the program
// needs at least 32"), or the missing transform-feedback objects when
// `feedbackObjects` is false; empty when everything is there.
std::string driverShortfall(const std::vector<DriverLimit>& limits, bool feedbackObjects);

// True when the context can make transform-feedback objects (OpenGL 4.0 or
// ARB_transform_feedback2), which the particle systems need.
bool hasFeedbackObjects();

}  // namespace tolvane
