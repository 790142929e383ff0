#pragma once

#include "scene/Geometry.h"

namespace tolvane {

// Unit cube centred on the origin: four vertices per face so every face has
// its own normal and texture coordinates, 24 vertices and 36 indices. All
// triangles wind counter-clockwise seen from outside, so the outside
// survives back-face culling.
class CubeGeometry : public Geometry {
public:
    CubeGeometry();
    ~CubeGeometry() override;
};

}  // namespace tolvane
