#include "scene/PerspectiveCamera.h"

#include "scene/Frustum.h"

#include <glm/gtc/matrix_transform.hpp>

namespace tolvane {

namespace {
constexpr float kDegreesToRadians = 0.017453292f;
}  // namespace

PerspectiveCamera::PerspectiveCamera(float fov, float aspect, float near, float far) :
    fov(fov),
    aspect(aspect),
    near(near),
    far(far)
{
    projection = glm::perspective(fov * kDegreesToRadians, aspect, near, far);
    frustum = new Frustum();
    frustum->setViewProjection(projection, getWorldMatrix());
}

}  // namespace tolvane
