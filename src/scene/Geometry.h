#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tolvane {

// Vertex and index data of one drawable shape in main memory, in the shape's
// own (model) space: one float array per attribute and a triangle list.
// A Mesh uploads it to the GPU; the geometry does no GPU work itself.
// Derived constructors fill the arrays and then set the two counts; the
// content does not change afterwards. Shared by meshes, which it outlives.
class Geometry {
public:
    // Empty arrays, zero counts, no tangents.
    Geometry();
    virtual ~Geometry();

    std::vector<float> positions;   // x, y, z per vertex
    std::vector<uint32_t> indices;  // triangle list, 3 per triangle
    std::vector<float> normals;     // x, y, z per vertex
    std::vector<float> uvs;         // u, v per vertex
    std::vector<float> tangents;    // x, y, z per vertex, or empty
    std::vector<float> biTangents;  // x, y, z per vertex, or empty
    // r, g, b per vertex, or empty: a linear factor on the surface's albedo
    // (a tint painted over a repeating picture). Empty means white.
    std::vector<float> colors;
    uint32_t vertexCount = 0;  // positions.size() / 3
    uint32_t indexCount = 0;   // indices.size()
    bool hasTangents = false;  // tangents and biTangents are filled

protected:
    // Fills positions, normals, uvs and indices from fixed tables (the
    // built-in shapes) and sets both counts.
    template <size_t P, size_t N, size_t U, size_t I>
    void assignTables(const float (&positionTable)[P], const float (&normalTable)[N], const float (&uvTable)[U],
                      const uint32_t (&indexTable)[I])
    {
        positions.assign(positionTable, positionTable + P);
        normals.assign(normalTable, normalTable + N);
        uvs.assign(uvTable, uvTable + U);
        indices.assign(indexTable, indexTable + I);
        vertexCount = static_cast<uint32_t>(P / 3);
        indexCount = static_cast<uint32_t>(I);
    }
};

}  // namespace tolvane
