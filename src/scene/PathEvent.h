#pragma once

#include <glm/glm.hpp>

#include <cstdint>

namespace tolvane {

// Kinds of record in a camera-path file; each matches one element name.
enum PathEventType : int32_t {
    SplinePosition = 0,  // "spline_position": a camera position
    FadeIn = 1,          // "fade_in"
    FadeOut = 2,         // "fade_out"
    FireOn = 3,          // "fire_on"
    FireOff = 4,         // "fire_off"
    Credits = 5,         // "credits"
};

// One step of a camera path, executed once by the demo timeline.
struct PathEvent {
    PathEventType type = SplinePosition;
    // The file's "time" attribute of a position; 0 for the other types.
    // Informational only: every record lasts one timeline step.
    float time = 0.0f;
    // World-space camera position of a position record; (0, 0, 0) otherwise.
    glm::vec3 position{0.0f, 0.0f, 0.0f};
};

}  // namespace tolvane
