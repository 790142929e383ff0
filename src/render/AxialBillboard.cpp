#include "render/AxialBillboard.h"

#include "scene/Camera.h"

#include <cmath>

namespace tolvane {

namespace {
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

// The signed angle from +z to the camera, about +y. Turning by the change
// of the unsigned angle alone about an axis that flips with the camera's
// side would leave the flame facing away (and culled) whenever the camera
// crosses the billboard's z axis between two updates.
void AxialBillboard::turnTowardsCamera()
{
    const glm::vec3 p = getWorldPosition();
    const float dx = camera->position.x - p.x;
    const float dz = camera->position.z - p.z;
    // A camera straight above or below has no direction to turn to.
    if (!(dx * dx + dz * dz > 1e-12f))
        return;
    const float angle = std::atan2(dx, dz) * 180.0f / kPi;
    if (angle == currentAngle)
        return;
    rotate(angle - currentAngle, glm::vec3(0.0f, 1.0f, 0.0f));
    currentAngle = angle;
}

}  // namespace tolvane
