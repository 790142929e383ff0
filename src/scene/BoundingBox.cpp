#include "scene/BoundingBox.h"

#include "scene/Geometry.h"

#include <limits>

namespace tolvane {

BoundingBox::BoundingBox(const Geometry& geometry, Material* program) :
    material(program),
    max(glm::vec3(std::numeric_limits<float>::lowest())),
    min(glm::vec3(std::numeric_limits<float>::max()))
{
    for (uint32_t vertex = 0; vertex < geometry.vertexCount; ++vertex) {
        for (int axis = 0; axis < 3; ++axis) {
            const float value = geometry.positions[vertex * 3 + axis];
            if (value > max[axis]) {
                max[axis] = value;
            }
            if (value < min[axis]) {
                min[axis] = value;
            }
        }
    }
    for (int i = 0; i < 8; ++i) {
        corners[i] = glm::vec4((i & 4) ? min.x : max.x, (i & 2) ? min.y : max.y, (i & 1) ? min.z : max.z, 1.0f);
    }
}

BoundingBox::~BoundingBox() = default;

}  // namespace tolvane
