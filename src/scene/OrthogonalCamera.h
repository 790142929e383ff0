#pragma once

#include "scene/Camera.h"

namespace tolvane {

// Pixel-space camera of the text overlays: maps (left, bottom) to (-1, -1)
// and (right, top) to (1, 1). It has no frustum, so hand it only to draws
// that do not cull.
class OrthogonalCamera : public Camera {
public:
    // Extents in view-space units (window pixels for the overlays). near and
    // far are kept for reference; the projection ignores them and passes
    // depth through as -z.
    OrthogonalCamera(float left, float right, float bottom, float top, float near, float far);

    float left;
    float right;
    float bottom;
    float top;
    float near;
    float far;
};

}  // namespace tolvane
