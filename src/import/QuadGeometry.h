#pragma once

#include "scene/Geometry.h"

namespace tolvane {

// Unit square in the x-y plane, centred on the origin and facing +z: four
// vertices, two counter-clockwise triangles, uv (0, 0) at the lower left.
// No tangents. Shared by the flame billboards.
class QuadGeometry : public Geometry {
public:
    QuadGeometry();
    ~QuadGeometry() override;
};

}  // namespace tolvane
