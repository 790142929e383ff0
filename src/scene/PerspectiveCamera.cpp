#include "scene/PerspectiveCamera.h"

#include "scene/Frustum.h"

#include <glm/gtc/matrix_transform.hpp>

namespace tolvane {

namespace {
constexpr float kDegreesToRadians = 0.017453292f;
}  // namespace

PerspectiveCamera::PerspectiveCamera(float fieldOfView, float aspectRatio, float nearPlane, float farPlane) :
    fov(fieldOfView),
    aspect(aspectRatio),
    near(nearPlane),
    far(farPlane)
{
    projection = glm::perspective(fieldOfView * kDegreesToRadians, aspectRatio, nearPlane, farPlane);
    frustum = new Frustum();
    frustum->setViewProjection(projection, getWorldMatrix());
}

}  // namespace tolvane
