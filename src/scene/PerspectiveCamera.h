#pragma once

#include "scene/Camera.h"

namespace tolvane {

// The camera that flies the camera paths and the camera of each shadow map.
// Owns a Frustum for culling, kept in step by updateView().
class PerspectiveCamera : public Camera {
public:
    // fov: vertical field of view in degrees; aspect: width / height;
    // near, far: distances of the clip planes in view-space units.
    // Depth maps to -1 at near and +1 at far (OpenGL clip space).
    PerspectiveCamera(float fov, float aspect, float near, float far);

    float fov;     // degrees, vertical
    float aspect;  // width / height
    float near;
    float far;
};

}  // namespace tolvane
