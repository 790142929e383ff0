// Meshes whose colour texture has holes (alpha below one half) drawn through
// the renderer: the lit pass, the depth pre-pass and the shadow pass all let
// through what lies behind the holes, and hand their own program back. And
// the self-lit variant of the lit program, with holes too: what only glows
// ignores the lights.
#include "ModelFiles.h"
#include "Picture.h"
#include "TestFiles.h"
#include "TestScene.h"

#include "import/ModelGeometry.h"
#include "render/AmbientLight.h"
#include "render/Material.h"
#include "render/Mesh.h"
#include "render/ODShadowMap.h"
#include "render/PointLight.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "render/SceneContext.h"
#include "render/ShaderFiles.h"
#include "render/Texture.h"
#include "scene/PerspectiveCamera.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tolvane {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

// A card from `corner` along `across` (u, 0 to 1) and `up` (v), facing
// across x up, with the tangent frame of an imported mesh.
ModelGeometry* makeCard(glm::vec3 corner, glm::vec3 across, glm::vec3 up)
{
    const glm::vec3 normal = glm::normalize(glm::cross(across, up));
    const glm::vec3 corners[4] = {corner, corner + across, corner + across + up, corner + up};
    const float uvs[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    std::vector<float> positions, normals, tangents, biTangents, uv;
    for (int v = 0; v < 4; ++v) {
        for (int c = 0; c < 3; ++c) {
            positions.push_back(corners[v][c]);
            normals.push_back(normal[c]);
            tangents.push_back(glm::normalize(across)[c]);
            biTangents.push_back(glm::normalize(up)[c]);
        }
        uv.insert(uv.end(), {uvs[v][0], uvs[v][1]});
    }
    return new ModelGeometry(positions, {0, 1, 2, 0, 2, 3}, normals, tangents, biTangents, uv);
}

// Pixels within `radius` of `centre` where a channel of `a` and `b` differs
// by more than `tolerance`.
int differingPixels(const test::Picture& a, const test::Picture& b, glm::ivec2 centre, int radius, int tolerance)
{
    int differing = 0;
    for (int y = centre.y - radius; y <= centre.y + radius; ++y)
        for (int x = centre.x - radius; x <= centre.x + radius; ++x)
            for (int c = 0; c < 3; ++c)
                if (std::abs(a.at(x, y, c) - b.at(x, y, c)) > tolerance) {
                    ++differing;
                    break;
                }
    return differing;
}

class AlphaTestedMeshTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::writeHalfClearPng(directory + "/card.png"));
        ASSERT_TRUE(test::writeTestPng(directory + "/card_nm.png", 128, 128, 255));
        cardTexture = std::make_unique<Texture>(directory + "/card.png", 0);
        normalMap = std::make_unique<Texture>(directory + "/card_nm.png", 1);
        ASSERT_TRUE(cardTexture->hasCutout);
        scene.shadowProgram->alphaTestedVariant = &holedShadow;
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    // Adds a card to the scene as the model loader makes one: the scene owns
    // the mesh, the fixture its geometry.
    Mesh* addCard(ModelGeometry* geometry)
    {
        geometries.emplace_back(geometry);
        auto* card = new Mesh(geometry, &holedLit);
        card->texture = cardTexture.get();
        card->normalMap = normalMap.get();
        card->alphaTested = cardTexture->hasCutout;
        scene.root->addChild(card);
        return card;
    }

    // One whole frame through the renderer's passes.
    test::Picture frame(bool depthFirst)
    {
        Renderer& renderer = *scene.renderer;
        renderer.fade = 1.0f;
        scene.root->update(0.0);
        const View view{scene.root, scene.camera};
        renderer.shadowPass(view);
        renderer.drawScene(view, depthFirst);
        renderer.compose();
        return test::Picture::readFramebuffer(kWidth, kHeight);
    }

    std::string directory = test::makeScratchDirectory("tolvane-alpha-tested");
    std::unique_ptr<Texture> cardTexture;
    std::unique_ptr<Texture> normalMap;
    Material holedLit{ShaderFiles::kNormalMapVertex, ShaderFiles::kNormalMapFragment, "", {ShaderFiles::kAlphaTested}};
    Material holedShadow{ShaderFiles::kShadowVertex, ShaderFiles::kShadowFragment, "", {ShaderFiles::kAlphaTested}};
    std::vector<std::unique_ptr<ModelGeometry>> geometries;
    // Last, so that its meshes go before what they draw with.
    test::TestScene scene{kWidth, kHeight};
};

// An upright card before the lit cube, its left half clear. Through the
// holes the picture is the one without the card, whether the depth
// pre-pass ran (its depth must have holes too, or the cube fails the depth
// test and the clear colour shows) or not; the right half shows the card.
TEST_F(AlphaTestedMeshTest, TheBackgroundShowsThroughTheHolesAndOnlyThere)
{
    const test::Picture without[2] = {frame(false), frame(true)};
    Mesh* card = addCard(makeCard({-1.0f, 0.2f, 1.5f}, {2.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}));
    card->castsShadow = false;         // the light on the cube stays as it was
    card->emission = glm::vec3(1.0f);  // the card in its own colours

    const glm::ivec2 hole = scene.pixelOf({-0.3f, 0.7f, 1.5f});
    const glm::ivec2 opaque = scene.pixelOf({0.5f, 0.7f, 1.5f});
    for (bool depthFirst : {false, true}) {
        SCOPED_TRACE(depthFirst ? "with the depth pre-pass" : "without the depth pre-pass");
        const test::Picture& background = without[depthFirst ? 1 : 0];
        ASSERT_GT(background.meanBrightness(hole.x, hole.y, 3), 20.0) << "the lit cube lies behind the holes";
        const test::Picture picture = frame(depthFirst);
        EXPECT_EQ(differingPixels(picture, background, hole, 3, 2), 0);
        EXPECT_EQ(differingPixels(picture, background, opaque, 3, 40), 49);
        EXPECT_GT(picture.at(opaque.x, opaque.y, 2), picture.at(opaque.x, opaque.y, 0) + 80) << "the card's blue";
    }
}

// A level card between the shadow-casting light and the floor, its left
// half clear: the floor under the holes is lit as if there were no card,
// under the opaque half it lies in shadow.
TEST_F(AlphaTestedMeshTest, OnlyTheOpaqueHalfCastsAShadow)
{
    // From the light at (1.6, 2.2, 0.8) the card reaches down to the floor
    // 2.2 times as large: the holes' shadow would cover x 0.5 to 1.6, the
    // opaque half's x 1.6 to 2.7, both z -0.3 to 1.9.
    const glm::ivec2 underHoles = scene.pixelOf({1.0f, 0.0f, 1.6f});
    const glm::ivec2 underOpaque = scene.pixelOf({2.2f, 0.0f, 1.6f});
    const test::Picture bare = frame(true);
    ASSERT_GT(bare.meanBrightness(underOpaque.x, underOpaque.y, 2), 40.0) << "the floor there is lit";
    addCard(makeCard({1.1f, 1.2f, 1.3f}, {1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f}));

    const test::Picture picture = frame(true);
    EXPECT_NEAR(picture.meanBrightness(underHoles.x, underHoles.y, 2),
                bare.meanBrightness(underHoles.x, underHoles.y, 2), 2.0);
    EXPECT_LT(picture.meanBrightness(underOpaque.x, underOpaque.y, 2),
              0.6 * bare.meanBrightness(underOpaque.x, underOpaque.y, 2));
}

// A card that only glows shows its emission times its picture, whether the
// lights shine or not; the same card through the lit program changes with
// them (which proves the lights reach it here). Its holes stay holes. Read
// from the scene target, before the bloom spreads the lit cube's change.
TEST_F(AlphaTestedMeshTest, ASelfLitCardShowsItsGlowWhateverTheLights)
{
    Material glowing{ShaderFiles::kNormalMapVertex,
                     ShaderFiles::kNormalMapFragment,
                     "",
                     {ShaderFiles::kAlphaTested, ShaderFiles::kSelfLit}};
    const test::Picture background = frame(true);
    Mesh* card = addCard(makeCard({-1.0f, 0.2f, 1.5f}, {2.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}));
    card->castsShadow = false;
    card->emission = glm::vec3(0.2f);
    const glm::ivec2 hole = scene.pixelOf({-0.3f, 0.7f, 1.5f});
    const glm::ivec2 opaque = scene.pixelOf({0.5f, 0.7f, 1.5f});
    Light* lights[3] = {scene.keyLight, scene.fillLight, scene.context->ambientLight};
    const float intensities[3] = {lights[0]->intensity, lights[1]->intensity, lights[2]->intensity};
    auto cardWithLights = [&](bool on) {
        for (int i = 0; i < 3; ++i)
            lights[i]->intensity = on ? intensities[i] : 0.0f;
        const test::Picture picture = frame(true);
        std::vector<float> hdr(4 * kWidth * kHeight);
        glBindTexture(GL_TEXTURE_2D, scene.renderer->sceneTexture());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, hdr.data());
        if (on) {
            EXPECT_EQ(differingPixels(picture, background, hole, 3, 2), 0);
        }
        const float* texel = &hdr[4 * (opaque.y * kWidth + opaque.x)];
        return glm::vec3(texel[0], texel[1], texel[2]);
    };
    // The card's picture, decoded from sRGB as the texture unit does.
    auto linear = [](unsigned char byte) {
        const float v = static_cast<float>(byte) / 255.0f;
        return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f);
    };
    const glm::vec3 blue(linear(test::kCardRed), linear(test::kCardGreen), linear(test::kCardBlue));

    card->material = &glowing;
    const glm::vec3 glow = card->emission * glowing.color * blue;
    for (bool on : {true, false}) {
        SCOPED_TRACE(on ? "self-lit, lights on" : "self-lit, lights off");
        const glm::vec3 seen = cardWithLights(on);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(seen[c], glow[c], 0.03f * glow[c] + 0.002f) << "channel " << c;
    }
    card->material = &holedLit;
    const glm::vec3 lit = cardWithLights(true);
    const glm::vec3 unlit = cardWithLights(false);
    EXPECT_GT(lit.b, 1.3f * unlit.b) << "the lit card is lit";
}

// A card draws its holes with its pass's alpha-tested variant; the meshes
// after it must find the pass's own program current again.
TEST_F(AlphaTestedMeshTest, EachPassHasItsOwnProgramBackAfterTheCard)
{
    Mesh* card = addCard(makeCard({-1.0f, 0.2f, 1.5f}, {2.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}));
    scene.root->update(0.0);
    GLint current = 0;

    Material depth(ShaderFiles::kDepthPrepassVertex, ShaderFiles::kDepthPrepassFragment, "");
    Material holedDepth(ShaderFiles::kDepthPrepassVertex, ShaderFiles::kDepthPrepassFragment, "",
                        {ShaderFiles::kAlphaTested});
    depth.alphaTestedVariant = &holedDepth;
    depth.bind();
    card->drawDepth(scene.camera, &depth);
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), depth.program()) << "the depth pre-pass";

    ODShadowMap& shadowMap = *scene.shadowMap;
    shadowMap.updateMatrices(glm::vec3(0.0f, 0.7f, 4.0f));
    shadowMap.bindForWriting();
    shadowMap.bindFace(5);
    card->drawShadow(shadowMap.shadowCamera, &shadowMap);
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), scene.shadowProgram->program()) << "the shadow pass";
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, kWidth, kHeight);
}

}  // namespace
}  // namespace tolvane
