#include "scene/Camera.h"

#include "scene/Frustum.h"

#include <glm/gtc/matrix_transform.hpp>

namespace tolvane {

Camera::Camera()
{
    updateView();
}

Camera::~Camera()
{
    delete frustum;
}

void Camera::updateView()
{
    localMatrix = glm::lookAt(position, target, up);
    if (frustum != nullptr) {
        frustum->setViewProjection(projection, getWorldMatrix());
    }
}

}  // namespace tolvane
