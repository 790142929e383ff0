#pragma once

#include <glm/glm.hpp>

namespace tolvane {

class BoundingBox;

// View volume of a perspective camera, used to cull meshes. Owned by its
// camera and refreshed by Camera::updateView().
class Frustum {
public:
    // Result of testBox: callers treat anything but kOutside as visible.
    static constexpr int kOutside = 0;
    static constexpr int kVisible = 2;

    // matrix = projection * view.
    void setViewProjection(const glm::mat4& projection, const glm::mat4& view);

    // kOutside when all eight corners of `box`, placed in the world by
    // `model`, lie beyond one and the same clip plane; kVisible otherwise.
    // Conservative: a box whose corners are spread over different planes
    // counts as visible even when it misses the volume.
    int testBox(const BoundingBox& box, const glm::mat4& model) const;

    glm::mat4 matrix{1.0f};  // world space to clip space, as of the last view
};

}  // namespace tolvane
