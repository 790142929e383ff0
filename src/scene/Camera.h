#pragma once

#include "scene/Object3D.h"

#include <glm/glm.hpp>

namespace tolvane {

class Frustum;

// What every draw needs to see the world. The view matrix (world space to the
// camera's right-handed view space, looking along -z) is kept in localMatrix,
// so a camera under a parent is carried along by it: draws take the view from
// getWorldMatrix(). Aim a camera by changing position, target or up and then
// calling updateView().
class Camera : public Object3D {
public:
    // Looks from (1, 0, 0) at the origin with +y up; identity projection.
    Camera();
    // Releases the frustum along with the camera.
    ~Camera() override;

    // Rebuilds localMatrix from position, target and up; when there is a
    // frustum, also refreshes it from the projection and the world view
    // (the parent chain included).
    void updateView();

    glm::vec3 position{1.0f, 0.0f, 0.0f};  // eye, in the parent's space
    glm::vec3 target{0.0f, 0.0f, 0.0f};    // point looked at, parent's space
    glm::vec3 up{0.0f, 1.0f, 0.0f};        // up direction, parent's space
    glm::mat4 projection{1.0f};            // view space to clip space
    Frustum* frustum = nullptr;            // owned; perspective cameras only
};

}  // namespace tolvane
