// Imported geometry that breaks the usual assumptions (tangents of zero
// length or along the normal, normals of zero length, positions that are not
// numbers) must not blank the frame: a NaN written by one fragment would be
// spread by the bloom's blur over a large block of the picture.
#include "ModelFiles.h"
#include "Picture.h"
#include "TestFiles.h"
#include "TestScene.h"

#include "import/ModelGeometry.h"
#include "render/Material.h"
#include "render/Mesh.h"
#include "render/Scene.h"
#include "render/ShaderFiles.h"
#include "render/Texture.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

namespace tolvane {
namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 96;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// One vertex of a test square: its tangent and normal may be anything.
struct Frame {
    glm::vec3 normal{0.0f, 1.0f, 0.0f};
    glm::vec3 tangent{1.0f, 0.0f, 0.0f};
};

// A horizontal square of side 1.5 just above the floor, left of the cube,
// drawn with the normal-mapping program of imported models.
ModelGeometry* makeSquare(const Frame (&frames)[4], float x, float z, bool nanCorner = false)
{
    const float corners[4][2] = {{0, 0}, {1.5f, 0}, {1.5f, 1.5f}, {0, 1.5f}};
    std::vector<float> positions, normals, tangents, biTangents, uvs;
    for (int v = 0; v < 4; ++v) {
        const bool broken = nanCorner && v == 2;
        for (float value : {x + corners[v][0], 0.02f, z + corners[v][1]})
            positions.push_back(broken ? kNaN : value);
        for (int c = 0; c < 3; ++c) {
            normals.push_back(frames[v].normal[c]);
            tangents.push_back(frames[v].tangent[c]);
        }
        for (float value : {0.0f, 0.0f, -1.0f})
            biTangents.push_back(value);
        uvs.push_back(corners[v][0]);
        uvs.push_back(corners[v][1]);
    }
    return new ModelGeometry(positions, {0, 2, 1, 0, 3, 2}, normals, tangents, biTangents, uvs);
}

class HostileGeometryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        directory = test::makeScratchDirectory("tolvane-hostile");
        ASSERT_TRUE(test::writeTestPng(directory + "/flat_nm.png", 128, 128, 255));
        normalMap = new Texture(directory + "/flat_nm.png", 1);
        material = new Material(ShaderFiles::kNormalMapVertex, ShaderFiles::kNormalMapFragment, "");
        material->color = glm::vec3(0.6f);
        material->shininess = 5.0f;
    }
    void TearDown() override
    {
        for (Geometry* geometry : geometries)
            delete geometry;
        delete material;
        delete normalMap;
        std::filesystem::remove_all(directory);
    }

    // Adds a square to the scene (the scene owns the mesh).
    Mesh* add(ModelGeometry* geometry)
    {
        geometries.push_back(geometry);
        Mesh* mesh = new Mesh(geometry, material);
        mesh->texture = scene.whiteTexture;
        mesh->normalMap = normalMap;
        scene.root->addChild(mesh);
        return mesh;
    }

    test::Picture render()
    {
        scene.renderFrame(1.0f);
        return test::Picture::readFramebuffer(kWidth, kHeight);
    }

    // Share of the pixels whose channels differ by more than `tolerance`.
    static double differingShare(const test::Picture& a, const test::Picture& b, int tolerance = 6)
    {
        int differing = 0;
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.width; ++x)
                for (int c = 0; c < 3; ++c)
                    if (std::abs(a.at(x, y, c) - b.at(x, y, c)) > tolerance) {
                        ++differing;
                        break;
                    }
        return static_cast<double>(differing) / (a.width * a.height);
    }

    test::TestScene scene{kWidth, kHeight};
    std::string directory;
    Texture* normalMap = nullptr;
    Material* material = nullptr;
    std::vector<Geometry*> geometries;
};

TEST_F(HostileGeometryTest, DegenerateTangentsAndNormalsShadeLikeASoundFrame)
{
    const Frame sound[4] = {};
    Mesh* shown = add(makeSquare(sound, -3.0f, 0.3f));
    const test::Picture expected = render();
    const glm::ivec2 square = scene.pixelOf(glm::vec3(-2.25f, 0.02f, 1.05f));
    ASSERT_GT(expected.meanBrightness(square.x, square.y, 2), 20.0) << "the square is not in view";

    // Tangents of zero length, tangents along the normal, normals of zero
    // length: the flat normal map must still give the square's own normal,
    // so the picture is the same.
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    const Frame zeroTangents[4] = {{up, {}}, {up, {}}, {up, {}}, {up, {}}};
    const Frame parallelTangents[4] = {{up, up}, {up, up}, {up, -up}, {up, up}};
    const Frame zeroNormals[4] = {{{}, {1, 0, 0}}, {{}, {1, 0, 0}}, {{}, {1, 0, 0}}, {{}, {1, 0, 0}}};
    const char* const names[] = {"zero tangents", "parallel tangents", "zero normals"};
    int index = 0;
    for (const auto* frames : {&zeroTangents, &parallelTangents, &zeroNormals}) {
        SCOPED_TRACE(names[index++]);
        shown->localMatrix[3] = glm::vec4(0.0f, -100.0f, 0.0f, 1.0f);
        shown = add(makeSquare(*frames, -3.0f, 0.3f));
        const test::Picture actual = render();
        EXPECT_LT(differingShare(actual, expected), 0.002);
        EXPECT_NEAR(actual.meanBrightness(square.x, square.y, 2), expected.meanBrightness(square.x, square.y, 2), 3.0);
    }
}

TEST_F(HostileGeometryTest, AMeshWithPositionsThatAreNotNumbersLeavesTheRestOfTheFrameClean)
{
    const Frame sound[4] = {};
    add(makeSquare(sound, -3.0f, 0.3f));
    const test::Picture expected = render();

    // One corner of a second square is not a number.
    add(makeSquare(sound, -1.0f, 1.5f, true));
    const test::Picture actual = render();
    // At most the broken mesh's own pixels may differ; a NaN let into the
    // bloom would darken a block around it.
    EXPECT_LT(differingShare(actual, expected), 0.02);
}

TEST_F(HostileGeometryTest, AColourThatIsNotANumberStaysInItsOwnPixels)
{
    const Frame sound[4] = {};
    Mesh* broken = add(makeSquare(sound, -3.0f, 0.3f));
    const test::Picture expected = render();
    Material brokenMaterial(ShaderFiles::kNormalMapVertex, ShaderFiles::kNormalMapFragment, "");
    brokenMaterial.color = glm::vec3(kNaN);
    broken->material = &brokenMaterial;
    const test::Picture actual = render();
    broken->material = material;
    EXPECT_LT(differingShare(actual, expected), 0.03);
}

}  // namespace
}  // namespace tolvane
