// Meshes: vertex arrays built by attribute name, frustum culling of whole
// subtrees, the per-draw uniform contract, shadow draws and sprite frames.
#include "render/Mesh.h"
#include "import/ModelGeometry.h"
#include "render/AmbientLight.h"
#include "render/Material.h"
#include "render/ODShadowMap.h"
#include "render/PointLight.h"
#include "render/Scene.h"
#include "render/SceneContext.h"
#include "render/ShaderFiles.h"
#include "render/SpriteSheet.h"
#include "render/Texture.h"
#include "scene/CubeGeometry.h"
#include "scene/PerspectiveCamera.h"

#include "GlTestContext.h"
#include "ModelFiles.h"
#include "TestFiles.h"

#include <FreeImage.h>
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace tolvane {
namespace {

// A black (or white) 24-bit PNG of the given size in a scratch directory;
// returns its path.
std::string writeBlackPng(const char* name, int width, int height, bool white = false)
{
    const std::string path = test::makeScratchDirectory("tolvane-mesh") + "/" + name;
    FIBITMAP* image = FreeImage_Allocate(width, height, 24);
    if (white) {
        RGBQUAD colour{255, 255, 255, 0};
        FreeImage_FillBackground(image, &colour, 0);
    }
    FreeImage_Save(FIF_PNG, image, path.c_str(), 0);
    FreeImage_Unload(image);
    return path;
}

// The cube's vertices with made-up tangents, as an imported model has them.
ModelGeometry* cubeWithTangents()
{
    CubeGeometry cube;
    std::vector<float> tangents(cube.positions.size(), 0.0f);
    std::vector<float> biTangents(cube.positions.size(), 0.0f);
    for (size_t i = 0; i < tangents.size(); i += 3) {
        tangents[i] = 1.0f;
        biTangents[i + 1] = 1.0f;
    }
    return new ModelGeometry(cube.positions, cube.indices, cube.normals, tangents, biTangents, cube.uvs);
}

class MeshTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        specular = new Material(ShaderFiles::kSpecularVertex, ShaderFiles::kSpecularFragment, "");
        normalMapped = new Material(ShaderFiles::kNormalMapVertex, ShaderFiles::kNormalMapFragment, "");
        sprite = new Material(ShaderFiles::kSpriteVertex, ShaderFiles::kSpriteFragment, "");
        shadow = new Material(ShaderFiles::kShadowVertex, ShaderFiles::kShadowFragment, "");
    }
    static void TearDownTestSuite()
    {
        for (Material* material : {specular, normalMapped, sprite, shadow})
            delete material;
    }

    void SetUp() override
    {
        camera.position = glm::vec3(0.0f, 0.0f, 5.0f);
        camera.updateView();
        glDisable(GL_CULL_FACE);
        glViewport(0, 0, 64, 64);
    }

    // Primitives that went through the pipeline while `body` ran.
    template <typename Body>
    GLuint primitivesDrawn(Body body)
    {
        GlQuery query;
        GLuint count = 0;
        glBeginQuery(GL_PRIMITIVES_GENERATED, query.name());
        body();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query.name(), GL_QUERY_RESULT, &count);
        return count;
    }

    // A float, vector or matrix uniform with `size` components.
    static std::vector<float> uniformFloats(Material* material, const char* name, int size)
    {
        std::vector<float> values(static_cast<size_t>(size));
        glGetUniformfv(material->program(), glGetUniformLocation(material->program(), name), values.data());
        return values;
    }

    // The first `count` elements of an array of `size`-component uniforms.
    static std::vector<float> uniformArray(Material* material, const char* name, int count, int size = 1)
    {
        std::vector<float> values(static_cast<size_t>(count * size));
        GLint location = glGetUniformLocation(material->program(), name);
        for (int i = 0; i < count; ++i)
            glGetUniformfv(material->program(), location + i, &values[static_cast<size_t>(i * size)]);
        return values;
    }

    static int uniformInt(Material* material, const char* name)
    {
        GLint value = 0;
        glGetUniformiv(material->program(), glGetUniformLocation(material->program(), name), &value);
        return value;
    }

    static Material* specular;
    static Material* normalMapped;
    static Material* sprite;
    static Material* shadow;
    SceneContext context{new Material(ShaderFiles::kColorVertex, ShaderFiles::kColorFragment, "")};
    PerspectiveCamera camera{60.0f, 1.0f, 0.1f, 100.0f};
    CubeGeometry cube;
};

Material* MeshTest::specular = nullptr;
Material* MeshTest::normalMapped = nullptr;
Material* MeshTest::sprite = nullptr;
Material* MeshTest::shadow = nullptr;

TEST_F(MeshTest, VertexArrayHoldsOnlyTheAttributesTheProgramUses)
{
    ModelGeometry* geometry = cubeWithTangents();
    auto enabledBuffers = [](const Mesh& mesh) {
        std::set<GLuint> buffers;
        glBindVertexArray(mesh.vertexArray());
        for (GLuint index = 0; index < 16; ++index) {
            GLint enabled = 0, buffer = 0;
            glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
            glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
            if (enabled)
                buffers.insert(static_cast<GLuint>(buffer));
        }
        GLint elements = 0;
        glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elements);
        EXPECT_EQ(static_cast<GLuint>(elements), mesh.buffers().index.name());
        glBindVertexArray(0);
        return buffers;
    };

    Mesh plain(geometry, specular);
    EXPECT_NE(plain.buffers().tangent.name(), 0u);
    EXPECT_EQ(enabledBuffers(plain), (std::set<GLuint>{plain.buffers().position.name(), plain.buffers().normal.name(),
                                                       plain.buffers().uv.name()}));

    EXPECT_EQ(plain.buffers().color.name(), 0u);
    Mesh mapped(geometry, normalMapped);
    EXPECT_EQ(enabledBuffers(mapped),
              (std::set<GLuint>{mapped.buffers().position.name(), mapped.buffers().normal.name(),
                                mapped.buffers().uv.name(), mapped.buffers().tangent.name(),
                                mapped.buffers().biTangent.name(), mapped.buffers().color.name()}));

    Mesh withoutTangents(&cube, normalMapped);
    EXPECT_EQ(withoutTangents.buffers().tangent.name(), 0u);
    EXPECT_EQ(enabledBuffers(withoutTangents).size(), 4u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    delete geometry;
}

TEST_F(MeshTest, CulledMeshDrawsNeitherItselfNorItsChildren)
{
    Scene scene;
    auto* visible = new Mesh(&cube, specular);
    scene.addChild(visible);
    auto* behind = new Mesh(&cube, specular);
    behind->translate(0.0f, 0.0f, 10.0f);  // behind the camera
    scene.addChild(behind);
    auto* child = new Mesh(&cube, specular);
    child->translate(0.0f, 0.0f, -10.0f);  // back in front of the camera
    behind->addChild(child);

    EXPECT_EQ(primitivesDrawn([&] { scene.draw(&camera); }), 12u);

    behind->localMatrix = glm::mat4(1.0f);
    EXPECT_EQ(primitivesDrawn([&] { scene.draw(&camera); }), 36u);
}

TEST_F(MeshTest, ShadowDrawSkipsNonCastersButNotTheirChildren)
{
    ODShadowMap map(shadow);
    map.updateMatrices(glm::vec3(0.0f, 0.0f, 3.0f));
    Scene scene;
    auto* quiet = new Mesh(&cube, specular);
    quiet->castsShadow = false;
    scene.addChild(quiet);
    auto* child = new Mesh(&cube, specular);
    child->translate(0.0f, 0.0f, 6.0f);  // behind the camera: shadow passes do not cull
    quiet->addChild(child);

    auto shadowPrimitives = [&] {
        map.bindForWriting();
        GLuint primitives = primitivesDrawn([&] {
            for (int face = 0; face < 6; ++face) {
                map.bindFace(face);
                scene.drawShadow(map.shadowCamera, &map);
            }
        });
        glUseProgram(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return primitives;
    };
    // Only the child casts: its triangles reach the faces they touch.
    GLuint childOnly = shadowPrimitives();
    EXPECT_GT(childOnly, 0u);
    child->castsShadow = false;
    EXPECT_EQ(shadowPrimitives(), 0u);
    quiet->castsShadow = true;
    GLuint parentOnly = shadowPrimitives();
    EXPECT_GT(parentOnly, 0u);
    child->castsShadow = true;
    EXPECT_EQ(shadowPrimitives(), childOnly + parentOnly);
    glViewport(0, 0, 64, 64);
}

TEST_F(MeshTest, WithoutLightsThePointLightUniformsAreLeftAlone)
{
    Scene scene;
    auto* mesh = new Mesh(&cube, specular);
    mesh->translate(0.5f, 0.0f, 0.0f);
    scene.addChild(mesh);
    glUseProgram(specular->program());
    glUniform1i(glGetUniformLocation(specular->program(), "pointLightCount"), 7);
    glUniform1f(glGetUniformLocation(specular->program(), "ambientIntensity"), 0.75f);
    glUseProgram(0);

    scene.draw(&camera);
    EXPECT_EQ(uniformInt(specular, "pointLightCount"), 7);
    EXPECT_EQ(uniformFloats(specular, "ambientIntensity", 1)[0], 0.75f);
    // The camera and model matrices still arrive.
    EXPECT_EQ(uniformFloats(specular, "model", 16)[12], 0.5f);
    EXPECT_EQ(uniformFloats(specular, "cameraPosition", 3), (std::vector<float>{0.0f, 0.0f, 5.0f}));
    EXPECT_EQ(uniformInt(specular, "depthMap"), 2);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshTest, SeveralLightsArriveAsArraysWithTheShadowMap)
{
    ODShadowMap map(shadow);
    Scene scene;
    scene.addChild(new AmbientLight(0.1f));
    const float intensities[3] = {0.5f, 1.5f, 2.5f};
    for (int i = 0; i < 3; ++i) {
        auto* light = new PointLight(intensities[i], 0.1f * static_cast<float>(i + 1));
        light->translate(static_cast<float>(i), 2.0f, 0.0f);
        if (i == 1) {
            light->castsShadow = true;
            light->shadowMap = &map;
        }
        scene.addChild(light);
    }
    scene.addChild(new Mesh(&cube, specular));

    scene.draw(&camera);
    EXPECT_EQ(uniformInt(specular, "pointLightCount"), 3);
    EXPECT_EQ(uniformArray(specular, "pointLightPositions", 3, 3), (std::vector<float>{0, 2, 0, 1, 2, 0, 2, 2, 0}));
    EXPECT_EQ(uniformArray(specular, "pointLightIntensities", 3), (std::vector<float>{0.5f, 1.5f, 2.5f}));
    EXPECT_EQ(uniformArray(specular, "pointLightAttenuation", 3), (std::vector<float>{0.1f, 0.2f, 0.3f}));
    EXPECT_EQ(uniformInt(specular, "pointLightShadowMapBitmask"), 2);
    EXPECT_EQ(uniformFloats(specular, "near_far", 2), (std::vector<float>{0.1f, 15.0f}));
    GLint boundCube = 0;
    glActiveTexture(GL_TEXTURE2);
    glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &boundCube);
    glActiveTexture(GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(boundCube), map.cubeTexture());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshTest, SpriteFramesFollowTheClock)
{
    SpriteSheet sheet(writeBlackPng("strip.png", 400, 20), 40, 20, 10, 24);

    Scene scene;
    auto* mesh = new Mesh(&cube, sprite);
    mesh->texture = &sheet;
    scene.addChild(mesh);
    glfwSetTime(10.0);  // frame round(240) mod 10
    scene.update(0.016);
    EXPECT_EQ(sheet.currentFrame, 0u);
    glfwSetTime(10.0 + 3.0 / 24.0);
    scene.update(0.016);
    EXPECT_EQ(sheet.currentFrame, 3u);

    scene.draw(&camera);
    EXPECT_EQ(uniformFloats(sprite, "spriteFrame", 4), (std::vector<float>{0.3f, 0.0f, 0.1f, 1.0f}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Each slot takes only its own kind of texture: a normal map in the colour
// slot, or a colour texture in the normal-map slot, is not bound. The
// samplers read the units the program was given when it linked.
TEST_F(MeshTest, TexturesOfTheWrongKindAreNotBound)
{
    const std::string path = writeBlackPng("plain.png", 4, 4);
    Texture colour(path, 0);
    Texture normalMap(path, 1);

    Scene scene;
    auto* mesh = new Mesh(&cube, normalMapped);
    scene.addChild(mesh);
    auto boundOn = [](GLenum unit) {
        GLint texture = 0;
        glActiveTexture(unit);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        glBindTexture(GL_TEXTURE_2D, 0);
        glActiveTexture(GL_TEXTURE0);
        return static_cast<GLuint>(texture);
    };
    // The program reads fixed units, set once when it linked.
    EXPECT_EQ(uniformInt(normalMapped, "textureSampler"), 0);
    EXPECT_EQ(uniformInt(normalMapped, "normalMapSampler"), 1);
    EXPECT_EQ(uniformInt(normalMapped, "depthMap"), 2);
    auto drawWith = [&](Texture* inColourSlot, Texture* inNormalSlot) {
        mesh->texture = inColourSlot;
        mesh->normalMap = inNormalSlot;
        boundOn(GL_TEXTURE0);
        boundOn(GL_TEXTURE1);
        scene.draw(&camera);
    };

    drawWith(&normalMap, &colour);
    EXPECT_EQ(boundOn(GL_TEXTURE0), 0u);
    EXPECT_EQ(boundOn(GL_TEXTURE1), 0u);

    drawWith(&colour, &normalMap);
    EXPECT_EQ(boundOn(GL_TEXTURE1), normalMap.textureName());
    EXPECT_EQ(boundOn(GL_TEXTURE0), colour.textureName());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A mesh's vertex colours tint its albedo; a mesh without them keeps its
// own colour (the attribute then reads white, not the black an attribute
// without data would give), and so does one whose colours do not cover
// every vertex.
TEST_F(MeshTest, VertexColoursTintTheAlbedoAndTheirAbsenceLeavesItWhite)
{
    const std::string path = writeBlackPng("white.png", 4, 4, true);
    Texture white(path, 0);
    ModelGeometry* tinted = cubeWithTangents();
    for (uint32_t v = 0; v < tinted->vertexCount; ++v)
        tinted->colors.insert(tinted->colors.end(), {0.5f, 1.0f, 0.25f});
    ModelGeometry* uncovered = cubeWithTangents();
    uncovered->colors = {0.0f, 0.0f, 0.0f};
    ModelGeometry* plain = cubeWithTangents();
    // Self-lit and unlit otherwise, the picture is the albedo itself.
    auto centreOf = [&](ModelGeometry* geometry) {
        Scene scene;
        auto* mesh = new Mesh(geometry, normalMapped);
        mesh->texture = &white;
        mesh->emission = glm::vec3(1.0f);
        scene.addChild(mesh);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene.draw(&camera);
        unsigned char rgba[4] = {};
        glReadPixels(32, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return glm::ivec3(rgba[0], rgba[1], rgba[2]);
    };
    const glm::ivec3 tintedPixel = centreOf(tinted);
    EXPECT_NEAR(tintedPixel.r, 128, 3);
    EXPECT_NEAR(tintedPixel.g, 255, 3);
    EXPECT_NEAR(tintedPixel.b, 64, 3);
    EXPECT_EQ(centreOf(plain), glm::ivec3(255, 255, 255));
    EXPECT_EQ(centreOf(uncovered), glm::ivec3(255, 255, 255));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    for (ModelGeometry* geometry : {tinted, uncovered, plain})
        delete geometry;
}

// On a black surface only the highlight shows: the mesh's share scales it,
// and a matte mesh (share 0) stays black under a light right in front.
TEST_F(MeshTest, TheHighlightIsTheMeshsShareOfIt)
{
    const std::string path = writeBlackPng("black.png", 4, 4);
    Texture black(path, 0);
    const std::string flatPath = test::makeScratchDirectory("tolvane-mesh") + "/flat_nm.png";
    ASSERT_TRUE(test::writeTestPng(flatPath, 128, 128, 255));
    Texture flat(flatPath, 1);
    ModelGeometry* geometry = cubeWithTangents();
    // One scene throughout: the scene's context keeps its lights.
    Scene scene;
    auto* light = new PointLight(1.0f, 0.0f);
    light->translate(0.0f, 0.0f, 3.0f);
    scene.addChild(light);
    auto* mesh = new Mesh(geometry, normalMapped);
    mesh->texture = &black;
    mesh->normalMap = &flat;
    scene.addChild(mesh);
    auto centreWith = [&](float highlight) {
        mesh->highlight = highlight;
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene.draw(&camera);
        unsigned char rgba[4] = {};
        glReadPixels(32, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return static_cast<int>(rgba[1]);
    };
    const int full = centreWith(1.0f);
    const int half = centreWith(0.5f);
    EXPECT_GT(full, 40);
    EXPECT_LT(full, 250) << "saturated: the share could not show";
    EXPECT_NEAR(half, full / 2, 3);
    EXPECT_EQ(centreWith(0.0f), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    delete geometry;
}

}  // namespace
}  // namespace tolvane
