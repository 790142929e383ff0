#include "import/ModelGeometry.h"
#include "import/QuadGeometry.h"
#include "scene/BoundingBox.h"
#include "scene/CubeGeometry.h"

#include "GlmAssertions.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tolvane {
namespace {

using test::expectVecNear;

glm::vec3 vertexOf(const std::vector<float>& array, uint32_t vertex)
{
    return glm::vec3(array[vertex * 3], array[vertex * 3 + 1], array[vertex * 3 + 2]);
}

glm::vec2 uvOf(const Geometry& geometry, uint32_t vertex)
{
    return glm::vec2(geometry.uvs[vertex * 2], geometry.uvs[vertex * 2 + 1]);
}

// Checks that the arrays hold data for vertexCount vertices and that every
// index refers to one of them.
void expectConsistentArrays(const Geometry& geometry)
{
    EXPECT_EQ(geometry.vertexCount * 3, geometry.positions.size());
    EXPECT_EQ(geometry.vertexCount * 3, geometry.normals.size());
    EXPECT_EQ(geometry.vertexCount * 2, geometry.uvs.size());
    EXPECT_EQ(geometry.indexCount, geometry.indices.size());
    EXPECT_EQ(0u, geometry.indexCount % 3);
    for (uint32_t index : geometry.indices) {
        EXPECT_LT(index, geometry.vertexCount);
    }
}

// For every triangle: counter-clockwise seen from the side its vertex
// normals point to, and all three vertex normals agree.
void expectTrianglesFaceTheirNormals(const Geometry& geometry)
{
    for (uint32_t i = 0; i + 2 < geometry.indexCount; i += 3) {
        const uint32_t a = geometry.indices[i];
        const uint32_t b = geometry.indices[i + 1];
        const uint32_t c = geometry.indices[i + 2];
        const glm::vec3 pa = vertexOf(geometry.positions, a);
        const glm::vec3 faceNormal =
            glm::normalize(glm::cross(vertexOf(geometry.positions, b) - pa, vertexOf(geometry.positions, c) - pa));
        SCOPED_TRACE("triangle starting at index " + std::to_string(i));
        expectVecNear(vertexOf(geometry.normals, a), faceNormal);
        expectVecNear(vertexOf(geometry.normals, b), faceNormal);
        expectVecNear(vertexOf(geometry.normals, c), faceNormal);
    }
}

TEST(CubeData, HasTwentyFourVerticesThirtySixIndicesAndNoTangents)
{
    CubeGeometry cube;
    EXPECT_EQ(24u, cube.vertexCount);
    EXPECT_EQ(36u, cube.indexCount);
    EXPECT_TRUE(cube.tangents.empty());
    EXPECT_TRUE(cube.biTangents.empty());
    EXPECT_FALSE(cube.hasTangents);
    expectConsistentArrays(cube);
}

TEST(CubeData, EveryFaceWindsCounterClockwiseSeenFromOutside)
{
    CubeGeometry cube;
    expectTrianglesFaceTheirNormals(cube);
    // Normals point outward: each vertex lies on the face its normal names.
    for (uint32_t v = 0; v < cube.vertexCount; ++v) {
        EXPECT_FLOAT_EQ(0.5f, glm::dot(vertexOf(cube.positions, v), vertexOf(cube.normals, v))) << "vertex " << v;
    }
}

TEST(CubeData, FacesComeInTheOrderMinusZPlusZPlusYMinusYPlusXMinusX)
{
    CubeGeometry cube;
    const glm::vec3 faceNormals[6] = {{0, 0, -1}, {0, 0, 1}, {0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};
    for (uint32_t face = 0; face < 6; ++face) {
        std::set<std::pair<float, float>> uvCorners;
        std::set<std::tuple<float, float, float>> positions;
        for (uint32_t v = face * 4; v < face * 4 + 4; ++v) {
            expectVecNear(faceNormals[face], vertexOf(cube.normals, v));
            const glm::vec2 uv = uvOf(cube, v);
            uvCorners.insert({uv.x, uv.y});
            const glm::vec3 p = vertexOf(cube.positions, v);
            positions.insert({p.x, p.y, p.z});
        }
        // Each face maps the whole texture once onto four distinct corners.
        EXPECT_EQ((std::set<std::pair<float, float>>{{0, 0}, {0, 1}, {1, 0}, {1, 1}}), uvCorners) << "face " << face;
        EXPECT_EQ(4u, positions.size()) << "face " << face;
        const uint32_t first = face * 6;
        const uint32_t base = face * 4;
        EXPECT_EQ((std::vector<uint32_t>{base, base + 1, base + 2, base, base + 2, base + 3}),
                  std::vector<uint32_t>(cube.indices.begin() + first, cube.indices.begin() + first + 6));
    }
}

TEST(QuadData, IsAUnitSquareFacingPlusZ)
{
    QuadGeometry quad;
    EXPECT_EQ(4u, quad.vertexCount);
    EXPECT_EQ(6u, quad.indexCount);
    EXPECT_FALSE(quad.hasTangents);
    EXPECT_TRUE(quad.tangents.empty());
    EXPECT_TRUE(quad.biTangents.empty());
    expectConsistentArrays(quad);
    expectTrianglesFaceTheirNormals(quad);
    expectVecNear(glm::vec3(0.0f, 0.0f, 1.0f), vertexOf(quad.normals, 0));
    // uv (0, 0) at the lower-left corner, (1, 1) at the upper right.
    expectVecNear(glm::vec3(-0.5f, -0.5f, 0.0f), vertexOf(quad.positions, 0));
    EXPECT_EQ(glm::vec2(0.0f, 0.0f), uvOf(quad, 0));
    expectVecNear(glm::vec3(0.5f, 0.5f, 0.0f), vertexOf(quad.positions, 2));
    EXPECT_EQ(glm::vec2(1.0f, 1.0f), uvOf(quad, 2));
}

TEST(ModelData, TakesEachArrayInItsOwnRole)
{
    ModelGeometry model({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {0, 1, 2, 0, 2, 3}, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1},
                        {1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0}, {0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0},
                        {0, 0, 1, 0, 1, 1, 0, 1});

    EXPECT_EQ(4u, model.vertexCount);
    EXPECT_EQ(6u, model.indexCount);
    EXPECT_TRUE(model.hasTangents);
    expectVecNear(glm::vec3(1.0f, 1.0f, 0.0f), vertexOf(model.positions, 2));
    expectVecNear(glm::vec3(0.0f, 0.0f, 1.0f), vertexOf(model.normals, 0));
    expectVecNear(glm::vec3(1.0f, 0.0f, 0.0f), vertexOf(model.tangents, 0));
    expectVecNear(glm::vec3(0.0f, 1.0f, 0.0f), vertexOf(model.biTangents, 0));
    EXPECT_EQ(glm::vec2(1.0f, 1.0f), uvOf(model, 2));
    expectConsistentArrays(model);
}

TEST(ModelData, CountsComeFromPositionsAndIndicesAlone)
{
    ModelGeometry ragged(std::vector<float>(13, 0.0f), {}, {}, {}, {}, {});
    EXPECT_EQ(4u, ragged.vertexCount);
    EXPECT_EQ(0u, ragged.indexCount);

    ModelGeometry empty({}, {}, {}, {}, {}, {});
    EXPECT_EQ(0u, empty.vertexCount);
    EXPECT_EQ(0u, empty.indexCount);
    EXPECT_TRUE(empty.hasTangents);
}

// A geometry holding just the given positions.
class PointCloud : public Geometry {
public:
    explicit PointCloud(std::vector<float> points)
    {
        positions = std::move(points);
        vertexCount = static_cast<uint32_t>(positions.size() / 3);
    }
};

TEST(BoundingBoxMeasure, CubeSpansHalfAUnitEachWay)
{
    CubeGeometry cube;
    BoundingBox box(cube, nullptr);

    expectVecNear(glm::vec3(0.5f), box.max);
    expectVecNear(glm::vec3(-0.5f), box.min);
    expectVecNear(glm::vec4(0.5f, 0.5f, 0.5f, 1.0f), box.corners[0]);
    expectVecNear(glm::vec4(-0.5f, -0.5f, -0.5f, 1.0f), box.corners[7]);
}

TEST(BoundingBoxMeasure, CornersFollowTheFixedOrder)
{
    PointCloud cloud({1.0f, 20.0f, 300.0f, -1.0f, -20.0f, -300.0f});
    BoundingBox box(cloud, nullptr);

    const glm::vec4 expected[8] = {
        {1, 20, 300, 1},  {1, 20, -300, 1},  {1, -20, 300, 1},  {1, -20, -300, 1},
        {-1, 20, 300, 1}, {-1, 20, -300, 1}, {-1, -20, 300, 1}, {-1, -20, -300, 1},
    };
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE("corner " + std::to_string(i));
        expectVecNear(expected[i], box.corners[i]);
    }
}

TEST(BoundingBoxMeasure, EachAxisIsMeasuredIndependently)
{
    // x rises, y falls and z peaks in the middle; all values negative, so a
    // start at zero or at the smallest positive float would show.
    PointCloud cloud({-3.0f, -1.0f, -5.0f, -2.0f, -2.0f, -4.0f, -1.0f, -3.0f, -6.0f});
    BoundingBox box(cloud, nullptr);

    expectVecNear(glm::vec3(-1.0f, -1.0f, -4.0f), box.max);
    expectVecNear(glm::vec3(-3.0f, -3.0f, -6.0f), box.min);

    PointCloud firstIsSmallest({0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 2.0f, 0.0f, 0.0f});
    BoundingBox rising(firstIsSmallest, nullptr);
    EXPECT_FLOAT_EQ(0.0f, rising.min.x);
    EXPECT_FLOAT_EQ(2.0f, rising.max.x);
}

TEST(BoundingBoxMeasure, SingleVertexGivesADegenerateBox)
{
    PointCloud cloud({1.0f, 2.0f, 3.0f});
    BoundingBox box(cloud, nullptr);

    EXPECT_EQ(glm::vec3(1.0f, 2.0f, 3.0f), box.max);
    EXPECT_EQ(glm::vec3(1.0f, 2.0f, 3.0f), box.min);
    for (const glm::vec4& corner : box.corners) {
        EXPECT_EQ(glm::vec4(1.0f, 2.0f, 3.0f, 1.0f), corner);
    }
}

TEST(BoundingBoxMeasure, EmptyGeometryKeepsTheStartingExtremes)
{
    PointCloud empty({});
    auto* material = reinterpret_cast<Material*>(&empty);  // kept, never used
    BoundingBox box(empty, material);

    EXPECT_EQ(glm::vec3(std::numeric_limits<float>::lowest()), box.max);
    EXPECT_EQ(glm::vec3(std::numeric_limits<float>::max()), box.min);
    EXPECT_EQ(material, box.material);
}

}  // namespace
}  // namespace tolvane
