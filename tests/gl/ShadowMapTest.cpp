// Cube shadow maps: face matrices, the layered framebuffer, and depth that a
// real draw leaves in the expected face; the point light that drives them.
#include "render/Material.h"
#include "render/Mesh.h"
#include "render/ODShadowMap.h"
#include "render/PointLight.h"
#include "render/SceneContext.h"
#include "render/ShaderFiles.h"
#include "scene/BoundingBox.h"
#include "scene/Geometry.h"
#include "scene/Object3D.h"
#include "scene/PerspectiveCamera.h"

#include "GlTestContext.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <vector>

namespace tolvane {
namespace {

// One square of side 2 x size, facing +y, centred on `center`.
class SquareGeometry : public Geometry {
public:
    SquareGeometry(glm::vec3 center, float size)
    {
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (const auto& corner : corners) {
            positions.insert(positions.end(), {center.x + corner[0] * size, center.y, center.z + corner[1] * size});
            normals.insert(normals.end(), {0.0f, 1.0f, 0.0f});
            uvs.insert(uvs.end(), {corner[0], corner[1]});
        }
        indices = {0, 1, 2, 0, 2, 3};
        vertexCount = 4;
        indexCount = 6;
    }
};

class ShadowMapTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        program = new Material(ShaderFiles::kShadowVertex, ShaderFiles::kShadowFragment, "");
    }
    static void TearDownTestSuite()
    {
        delete program;
        program = nullptr;
    }

    // Depth of one cube face, row-major from the bottom.
    std::vector<float> faceDepth(const ODShadowMap& map, int face)
    {
        std::vector<float> depth(1000 * 1000);
        glBindTexture(GL_TEXTURE_CUBE_MAP, map.cubeTexture());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        return depth;
    }

    static Material* program;
    SceneContext context{new Material(ShaderFiles::kColorVertex, ShaderFiles::kColorFragment, "")};
};

Material* ShadowMapTest::program = nullptr;

TEST_F(ShadowMapTest, FaceRotationsAreTheLookAtViewsOfTheCubeFaces)
{
    const glm::vec3 directions[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const glm::vec3 ups[6] = {{0, -1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}, {0, -1, 0}, {0, -1, 0}};
    for (int face = 0; face < 6; ++face) {
        glm::mat4 expected = glm::lookAt(glm::vec3(0.0f), directions[face], ups[face]);
        for (int column = 0; column < 4; ++column)
            for (int row = 0; row < 4; ++row)
                EXPECT_NEAR(ODShadowMap::faceRotations[face][column][row], expected[column][row], 1e-6)
                    << "face " << face;
    }
}

TEST_F(ShadowMapTest, MatricesFollowTheLightPosition)
{
    ODShadowMap map(program);
    map.updateMatrices(glm::vec3(0.0f));
    for (int face = 0; face < 6; ++face)
        EXPECT_EQ(map.shadowMatrices[face], map.shadowCamera->projection * ODShadowMap::faceRotations[face]);

    // From a light elsewhere, a point 5 units along each face's axis lands in
    // the middle of that face at the depth of 5 units.
    const glm::vec3 light(1.0f, -2.0f, 3.0f);
    const glm::vec3 axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    map.updateMatrices(light);
    EXPECT_EQ(map.lightPosition, light);
    const float near = 0.1f, far = 15.0f, distance = 5.0f;
    const float expectedDepth = (far + near) / (far - near) - 2.0f * far * near / ((far - near) * distance);
    for (int face = 0; face < 6; ++face) {
        glm::vec4 clip = map.shadowMatrices[face] * glm::vec4(light + axes[face] * distance, 1.0f);
        EXPECT_NEAR(clip.x / clip.w, 0.0f, 1e-5) << face;
        EXPECT_NEAR(clip.y / clip.w, 0.0f, 1e-5) << face;
        EXPECT_NEAR(clip.z / clip.w, expectedDepth, 1e-5) << face;
    }
}

TEST_F(ShadowMapTest, EachFaceHasACompleteDepthFramebufferOfItsOwn)
{
    ODShadowMap map(program);
    EXPECT_TRUE(map.complete());
    for (int face = 0; face < 6; ++face) {
        glBindFramebuffer(GL_FRAMEBUFFER, map.framebuffer(face));
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE)) << face;
        GLint attached = 0;
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                              GL_FRAMEBUFFER_ATTACHMENT_TEXTURE_CUBE_MAP_FACE, &attached);
        EXPECT_EQ(attached, GL_TEXTURE_CUBE_MAP_POSITIVE_X + face);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    GLint format = 0, size = 0;
    glBindTexture(GL_TEXTURE_CUBE_MAP, map.cubeTexture());
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 0, GL_TEXTURE_WIDTH, &size);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    EXPECT_EQ(format, GL_DEPTH_COMPONENT24);
    EXPECT_EQ(size, 1000);
}

TEST_F(ShadowMapTest, FloorBelowTheLightLandsInTheNegativeYFaceAtItsAxisDepth)
{
    ODShadowMap map(program);
    const glm::vec3 light(1.0f, 2.0f, 3.0f);
    map.updateMatrices(light);
    SquareGeometry floorGeometry(light - glm::vec3(0.0f, 4.0f, 0.0f), 20.0f);
    // Under a plain node, as a model's meshes hang under theirs: the pass
    // must hand its map down to them.
    Object3D root;
    auto* holder = new Object3D();
    root.addChild(holder);
    auto* floor = new Mesh(&floorGeometry, program);
    holder->addChild(floor);

    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    map.bindForWriting();
    for (int face = 0; face < 6; ++face) {
        map.bindFace(face);
        glClear(GL_DEPTH_BUFFER_BIT);
        root.drawShadow(map.shadowCamera, &map);
    }
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    // The face's window depth of a point 4 units down its axis (near 0.1,
    // far 15): the same under the light and at the face's corner, where the
    // floor is 4 sqrt(3) away but still 4 along the axis.
    const float near = 0.1f, far = 15.0f;
    const float expected = 0.5f * (far + near) / (far - near) + 0.5f - far * near / ((far - near) * 4.0f);
    std::vector<float> below = faceDepth(map, 3);
    EXPECT_NEAR(below[500 * 1000 + 500], expected, 1e-5);
    EXPECT_NEAR(below[2 * 1000 + 2], expected, 1e-5);
    std::vector<float> above = faceDepth(map, 2);
    EXPECT_EQ(above[500 * 1000 + 500], 1.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShadowMapTest, OnlyShadowCastingLightsMoveTheirMap)
{
    ODShadowMap map(program);
    Object3D pivot;
    pivot.translate(0.0f, 1.0f, 0.0f);
    auto* quiet = new PointLight(1.0f, 0.1f);
    quiet->shadowMap = &map;
    quiet->translate(5.0f, 0.0f, 0.0f);
    pivot.addChild(quiet);
    pivot.update(0.0);
    EXPECT_EQ(map.lightPosition, glm::vec3(0.0f));

    auto* caster = new PointLight(1.0f, 0.1f);
    caster->shadowMap = &map;
    caster->castsShadow = true;
    caster->translate(2.0f, 0.0f, 0.0f);
    pivot.addChild(caster);
    pivot.update(0.0);
    EXPECT_EQ(map.lightPosition, glm::vec3(2.0f, 1.0f, 0.0f));
    EXPECT_EQ(map.shadowMatrices[0], map.shadowCamera->projection * ODShadowMap::faceRotations[0] *
                                         glm::translate(glm::mat4(1.0f), -glm::vec3(2.0f, 1.0f, 0.0f)));
}

// A face is left out only where nothing can reach it: a mesh whose bounds
// lie wholly beyond one of the face's clip planes, a viewer whose whole
// frustum (as far as lookups go) lies outside the face's pyramid.
TEST_F(ShadowMapTest, FacesAreLeftOutOnlyWhereNothingReachesThem)
{
    ODShadowMap map(program);
    const glm::vec3 light(1.0f, 2.0f, 3.0f);
    map.updateMatrices(light);
    const int all = 0x3F;
    const int negativeY = 1 << 3;
    const int negativeZ = 1 << 5;

    SquareGeometry below(light - glm::vec3(0.0f, 4.0f, 0.0f), 1.0f);
    BoundingBox belowBox(below, nullptr);
    EXPECT_EQ(map.unreachedFaces(belowBox, glm::mat4(1.0f)), all & ~negativeY);
    EXPECT_EQ(map.unreachedFaces(belowBox, glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -20.0f, 0.0f))), all)
        << "past the far plane";
    SquareGeometry wide(light - glm::vec3(0.0f, 4.0f, 0.0f), 40.0f);
    BoundingBox wideBox(wide, nullptr);
    EXPECT_EQ(map.unreachedFaces(wideBox, glm::mat4(1.0f)) & negativeY, 0);
    EXPECT_NE(map.unreachedFaces(wideBox, glm::mat4(1.0f)) & (1 << 2), 0) << "nothing above the light";

    // Just in front of the light, looking away down -z: only that face is read.
    PerspectiveCamera away(60.0f, 1.0f, 0.1f, 100.0f);
    away.position = light - glm::vec3(0.0f, 0.0f, 0.5f);
    away.target = light - glm::vec3(0.0f, 0.0f, 5.0f);
    away.updateView();
    away.updateWorldMatrix();
    EXPECT_EQ(map.facesUnseenBy(away), all & ~negativeZ);
    // Turned to look at the light from afar, it sees round it into every face.
    PerspectiveCamera facing(60.0f, 1.0f, 0.1f, 100.0f);
    facing.position = light + glm::vec3(0.0f, 0.0f, -8.0f);
    facing.target = light;
    facing.updateView();
    facing.updateWorldMatrix();
    EXPECT_EQ(map.facesUnseenBy(facing) & negativeZ, 0);
    EXPECT_EQ(map.facesUnseenBy(facing) & (1 << 4), 0) << "the faces beside the light reach into the view";

    // A narrow view from the light near the edge between -z and +x: the
    // taps of a point within a degree or so of a face read that face too.
    const float degrees = 0.017453292f;
    auto plusXUnseen = [&](float fromMinusZ) {
        PerspectiveCamera narrow(2.0f, 1.0f, 0.1f, 100.0f);
        narrow.position = light;
        narrow.target = light + glm::vec3(std::sin(fromMinusZ * degrees), 0.0f, -std::cos(fromMinusZ * degrees));
        narrow.updateView();
        narrow.updateWorldMatrix();
        return (map.facesUnseenBy(narrow) & 1) != 0;
    };
    EXPECT_FALSE(plusXUnseen(44.0f)) << "a degree inside the edge of -z is close enough to +x";
    EXPECT_TRUE(plusXUnseen(38.0f));
}

}  // namespace
}  // namespace tolvane
