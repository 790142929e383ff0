#include "render/AxialBillboard.h"

#include "scene/Camera.h"

#include <cmath>

namespace tolvane {

namespace {
// Within about 0.81 degrees of straight ahead or behind the turning axis
// would flip sign from frame to frame, so the billboard holds still there.
constexpr float kDeadZoneCosine = 0.9999f;
constexpr float kPi = 3.1415927f;
}  // namespace

AxialBillboard::AxialBillboard(Geometry* shape, Material* program, Camera* facing) :
    Mesh(shape, program),
    camera(facing)
{
}

AxialBillboard::~AxialBillboard() = default;

void AxialBillboard::update(double elapsedSeconds)
{
    turnTowardsCamera();
    Mesh::update(elapsedSeconds);
}

void AxialBillboard::turnTowardsCamera()
{
    const glm::vec3 p = getWorldPosition();
    const float dx = camera->position.x - p.x;
    const float dz = camera->position.z - p.z;
    const float length = std::sqrt(dx * dx + dz * dz);
    const glm::vec3 n(dx / length, 0.0f, dz / length);
    const float cosine = n.z;
    // A camera straight above or below gives NaN, which fails this test too.
    if (!(cosine > -kDeadZoneCosine && cosine < kDeadZoneCosine))
        return;
    const float angle = std::acos(cosine) * 180.0f / kPi;
    if (angle == currentAngle)
        return;
    // (0, 0, 1) x n = (0, n.x, 0): +y on the camera's +x side, -y on the other.
    rotate(angle - currentAngle, glm::cross(glm::vec3(0.0f, 0.0f, 1.0f), n));
    currentAngle = angle;
}

}  // namespace tolvane
