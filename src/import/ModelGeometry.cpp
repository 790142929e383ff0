#include "import/ModelGeometry.h"

#include <utility>

namespace tolvane {

ModelGeometry::ModelGeometry(std::vector<float> positions, std::vector<uint32_t> indices, std::vector<float> normals,
                             std::vector<float> tangents, std::vector<float> biTangents, std::vector<float> uvs)
{
    this->positions = std::move(positions);
    this->indices = std::move(indices);
    this->normals = std::move(normals);
    this->tangents = std::move(tangents);
    this->biTangents = std::move(biTangents);
    this->uvs = std::move(uvs);
    hasTangents = true;
    vertexCount = static_cast<uint32_t>(this->positions.size() / 3);
    indexCount = static_cast<uint32_t>(this->indices.size());
}

ModelGeometry::~ModelGeometry() = default;

}  // namespace tolvane
