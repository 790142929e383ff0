#include "scene/OrthogonalCamera.h"

#include <glm/gtc/matrix_transform.hpp>

namespace tolvane {

OrthogonalCamera::OrthogonalCamera(float leftEdge, float rightEdge, float bottomEdge, float topEdge, float nearPlane,
                                   float farPlane) :
    left(leftEdge),
    right(rightEdge),
    bottom(bottomEdge),
    top(topEdge),
    near(nearPlane),
    far(farPlane)
{
    projection = glm::ortho(leftEdge, rightEdge, bottomEdge, topEdge);
}

}  // namespace tolvane
