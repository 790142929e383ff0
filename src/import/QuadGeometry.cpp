#include "import/QuadGeometry.h"

#include <iterator>

namespace tolvane {

namespace {

const float kPositions[12] = {
    -0.5f, -0.5f, 0.0f,
     0.5f, -0.5f, 0.0f,
     0.5f,  0.5f, 0.0f,
    -0.5f,  0.5f, 0.0f,
};
const float kNormals[12] = {
    0.0f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f,
};
const float kUvs[8] = {
    0.0f, 0.0f,
    1.0f, 0.0f,
    1.0f, 1.0f,
    0.0f, 1.0f,
};
const uint32_t kIndices[6] = {0, 1, 2, 0, 2, 3};

}  // namespace

QuadGeometry::QuadGeometry()
{
    positions.assign(std::begin(kPositions), std::end(kPositions));
    normals.assign(std::begin(kNormals), std::end(kNormals));
    uvs.assign(std::begin(kUvs), std::end(kUvs));
    indices.assign(std::begin(kIndices), std::end(kIndices));
    vertexCount = static_cast<uint32_t>(positions.size() / 3);
    indexCount = static_cast<uint32_t>(indices.size());
}

QuadGeometry::~QuadGeometry() = default;

}  // namespace tolvane
