#include "import/ModelGeometry.h"

#include <utility>

namespace tolvane {

ModelGeometry::ModelGeometry(std::vector<float> vertexPositions, std::vector<uint32_t> triangleIndices,
                             std::vector<float> vertexNormals, std::vector<float> vertexTangents,
                             std::vector<float> vertexBiTangents, std::vector<float> vertexUvs,
                             std::vector<float> vertexColors)
{
    this->positions = std::move(vertexPositions);
    this->indices = std::move(triangleIndices);
    this->normals = std::move(vertexNormals);
    this->tangents = std::move(vertexTangents);
    this->biTangents = std::move(vertexBiTangents);
    this->uvs = std::move(vertexUvs);
    this->colors = std::move(vertexColors);
    hasTangents = true;
    vertexCount = static_cast<uint32_t>(this->positions.size() / 3);
    indexCount = static_cast<uint32_t>(this->indices.size());
}

ModelGeometry::~ModelGeometry() = default;

}  // namespace tolvane
