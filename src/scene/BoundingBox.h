#pragma once

#include <glm/glm.hpp>

namespace tolvane {

class Geometry;
class Material;

// Axis-aligned box around a geometry, measured once in the geometry's model
// space; the camera's frustum test reads its corners. Owned by the Mesh that
// made it.
class BoundingBox {
public:
    // Measures `geometry`. A geometry without vertices leaves max at the
    // lowest and min at the largest finite float. `material` is kept, not
    // owned.
    BoundingBox(const Geometry& geometry, Material* material);
    virtual ~BoundingBox();

    Material* material;  // colour material for drawing the box; not owned
    glm::vec3 max;       // largest x, y, z over all vertices (model space)
    glm::vec3 min;       // smallest x, y, z over all vertices (model space)
    // The eight corners with w = 1: index bit 2 picks min.x over max.x,
    // bit 1 min.y, bit 0 min.z (corner 0 is max, corner 7 is min).
    glm::vec4 corners[8];
};

}  // namespace tolvane
