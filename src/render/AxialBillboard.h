#pragma once

#include "render/Mesh.h"

namespace tolvane {

class Camera;

// A mesh that keeps turning about its own vertical axis so that its front,
// local +z, faces the camera horizontally while it stays upright (the torch
// flames). Each update turns it about +y by the change of the signed angle
// from +z to the direction of the camera; placement and uniform scaling set
// by the creator are preserved. Assumes nothing else rotates the node.
class AxialBillboard : public Mesh {
public:
    // The Mesh constructor with the first two; `camera` is not owned.
    AxialBillboard(Geometry* geometry, Material* material, Camera* camera);
    ~AxialBillboard() override;

    // Turns towards the camera, then runs the Mesh update (sprite frame and
    // children), whether or not it turned.
    void update(double elapsedSeconds) override;

    Camera* camera;             // faced through its position field; not owned
    float currentAngle = 0.0f;  // degrees already applied about +y, -180 to 180

private:
    void turnTowardsCamera();
};

}  // namespace tolvane
