#pragma once
#include "MeshBuilder.h"

namespace tolvane::content {

// The ground: level (y = 0) around the hut and the fire pit, gently uneven
// in the clearing and rising into a wooded rim at its edge.
class Terrain {
public:
    static float height(float x, float z);
    // A square grid of cells x cells over the whole patch.
    static MeshBuilder build(int cells);
};

}  // namespace tolvane::content
