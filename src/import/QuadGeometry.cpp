#include "import/QuadGeometry.h"

#include <iterator>

namespace tolvane {

namespace {

// clang-format off
const float kPositions[12] = {
    -0.5f, -0.5f, 0.0f,
     0.5f, -0.5f, 0.0f,
     0.5f,  0.5f, 0.0f,
    -0.5f,  0.5f, 0.0f,
};
// clang-format on
// clang-format off
const float kNormals[12] = {
    0.0f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f,
    0.0f, 0.0f, 1.0f,
};
// clang-format on
// clang-format off
const float kUvs[8] = {
    0.0f, 0.0f,
    1.0f, 0.0f,
    1.0f, 1.0f,
    0.0f, 1.0f,
};
// clang-format on
const uint32_t kIndices[6] = {0, 1, 2, 0, 2, 3};

}  // namespace

QuadGeometry::QuadGeometry()
{
    assignTables(kPositions, kNormals, kUvs, kIndices);
}

QuadGeometry::~QuadGeometry() = default;

}  // namespace tolvane
