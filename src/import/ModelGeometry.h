#pragma once

#include "scene/Geometry.h"

#include <cstdint>
#include <vector>

namespace tolvane {

// Geometry copied out of one imported mesh, tangents and bitangents included.
// The arrays are taken as they come: vertexCount follows `positions` alone
// (rounded down to whole vertices), so the caller must fill every per-vertex
// array for the same vertices.
class ModelGeometry : public Geometry {
public:
    // positions, normals, tangents, biTangents: 3 floats per vertex;
    // uvs: 2 floats per vertex; colors: 3 floats per vertex or none;
    // indices: a triangle list.
    ModelGeometry(std::vector<float> positions, std::vector<uint32_t> indices, std::vector<float> normals,
                  std::vector<float> tangents, std::vector<float> biTangents, std::vector<float> uvs,
                  std::vector<float> colors = {});
    ~ModelGeometry() override;
};

}  // namespace tolvane
