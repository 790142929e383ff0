#include "scene/OrthogonalCamera.h"

#include <glm/gtc/matrix_transform.hpp>

namespace tolvane {

OrthogonalCamera::OrthogonalCamera(float left, float right, float bottom, float top, float near, float far) :
    left(left),
    right(right),
    bottom(bottom),
    top(top),
    near(near),
    far(far)
{
    projection = glm::ortho(left, right, bottom, top);
}

}  // namespace tolvane
