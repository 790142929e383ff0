#include "scene/Frustum.h"

#include "scene/BoundingBox.h"

namespace tolvane {

void Frustum::setViewProjection(const glm::mat4& projection, const glm::mat4& view)
{
    matrix = projection * view;
}

int Frustum::testBox(const BoundingBox& box, const glm::mat4& model) const
{
    const glm::mat4 toClip = matrix * model;
    // Corners beyond each clip plane: +x, -x, +y, -y, +z, -z.
    int beyond[6] = {0, 0, 0, 0, 0, 0};
    for (const glm::vec4& corner : box.corners) {
        const glm::vec4 p = toClip * corner;
        beyond[0] += p.x > p.w;
        beyond[1] += p.x < -p.w;
        beyond[2] += p.y > p.w;
        beyond[3] += p.y < -p.w;
        beyond[4] += p.z > p.w;
        beyond[5] += p.z < -p.w;
    }
    for (int count : beyond) {
        if (count == 8) {
            return kOutside;
        }
    }
    return kVisible;
}

}  // namespace tolvane
