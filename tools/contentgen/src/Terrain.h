#pragma once
#include "GroundCover.h"
#include "MeshBuilder.h"

#include <vector>

namespace tolvane::content {

// The ground: level (y = 0) around the hut and the fire pit, gently uneven
// in the clearing and rising into a wooded rim at its edge.
class Terrain {
public:
    static float height(float x, float z);
    // A square grid of cells x cells over the whole patch, in tiles x tiles
    // meshes (row by row from -z, each from -x), so that a renderer can leave
    // out the tiles a view or a light cannot reach. Neighbouring tiles share
    // their edge vertices, positions, normals, texture coordinates and
    // tints (from `cover`) alike.
    static std::vector<MeshBuilder> build(int cells, int tiles, const GroundCover& cover);
};

}  // namespace tolvane::content
