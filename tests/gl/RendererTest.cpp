// The renderer's off-screen targets and passes, seen through GL queries and
// read-backs of its textures.
#include "TestScene.h"

#include "base/SoftwareRenderer.h"
#include "render/DriverLimits.h"
#include "render/Material.h"
#include "render/Mesh.h"
#include "render/ODShadowMap.h"
#include "render/PointLight.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "render/SceneContext.h"
#include "scene/PerspectiveCamera.h"

#include "GlTestContext.h"
#include "Picture.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tolvane {
namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 96;
constexpr int kPatchWidth = 8;  // columns of one grey in composedLevels()

// RGB of one level-0 texel of a float colour target.
glm::vec3 texel(GLuint texture, int x, int y)
{
    std::vector<float> data(kWidth * kHeight * 3);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, data.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    const float* p = &data[static_cast<size_t>((y * kWidth + x) * 3)];
    return glm::vec3(p[0], p[1], p[2]);
}

class RendererTest : public ::testing::Test {
protected:
    test::TestScene scene{kWidth, kHeight};
};

// The window's 8-bit levels for grey scene colours of the given HDR
// luminances, composed without bloom: each fills kPatchWidth columns of the
// scene target, read back at their middle.
std::vector<int> composedLevels(Renderer& renderer, const std::vector<float>& luminances)
{
    std::vector<float> pixels(kWidth * kHeight * 4, 1.0f);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const size_t patch = static_cast<size_t>(x / kPatchWidth);
            const float value = patch < luminances.size() ? luminances[patch] : 0.0f;
            for (int c = 0; c < 3; ++c)
                pixels[(y * kWidth + x) * 4 + c] = value;
        }
    glBindTexture(GL_TEXTURE_2D, renderer.sceneTexture());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kWidth, kHeight, GL_RGBA, GL_FLOAT, pixels.data());
    const std::vector<float> zeros(kWidth * kHeight * 3, 0.0f);
    GlTexture black;
    glBindTexture(GL_TEXTURE_2D, black.name());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, kWidth, kHeight, 0, GL_RGB, GL_FLOAT, zeros.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    renderer.fade = 1.0f;
    renderer.present(black.name());
    const test::Picture picture = test::Picture::readFramebuffer(kWidth, kHeight);
    std::vector<int> levels;
    for (size_t i = 0; i < luminances.size(); ++i)
        levels.push_back(picture.at(static_cast<int>(i) * kPatchWidth + kPatchWidth / 2, kHeight / 2, 1));
    return levels;
}

// Linear light of an 8-bit sRGB level.
double linearOf(int level)
{
    const double v = level / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

TEST_F(RendererTest, TargetsAreFourChannelFloatAtTheStartUpSize)
{
    Renderer& renderer = *scene.renderer;
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const GLint expected = isSoftwareRenderer(name) ? GL_RGBA32F : GL_RGBA16F;
    EXPECT_EQ(renderer.width, kWidth);
    EXPECT_EQ(renderer.height, kHeight);
    for (GLuint texture : {renderer.sceneTexture(), renderer.brightTexture(), renderer.pingPongTexture(0),
                           renderer.pingPongTexture(1)}) {
        GLint format = 0, width = 0, height = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_EQ(format, expected) << "a float format OpenGL 3.3 promises to render to, full floats in software";
        EXPECT_EQ(width, kWidth);
        EXPECT_EQ(height, kHeight);
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    glBindFramebuffer(GL_FRAMEBUFFER, renderer.hdrFramebuffer());
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    GLint drawBuffer1 = 0, depthType = 0;
    glGetIntegerv(GL_DRAW_BUFFER1, &drawBuffer1);
    EXPECT_EQ(drawBuffer1, GL_COLOR_ATTACHMENT1);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE,
                                          &depthType);
    EXPECT_EQ(depthType, GL_RENDERBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// The targets and the viewport keep the start-up size: a frame drawn after
// the window has grown is the frame drawn before.
// A target the driver will not complete is named, so that a tool can refuse
// to make a film of black frames; the program itself goes on.
TEST_F(RendererTest, AnIncompleteTargetIsNamed)
{
    EXPECT_EQ(scene.renderer->incompleteTarget(), nullptr);
    Renderer empty;
    const std::string out = test::captureStdout([&] { empty.init(0, 0); });
    ASSERT_NE(empty.incompleteTarget(), nullptr);
    EXPECT_STREQ(empty.incompleteTarget(), "the HDR framebuffer");
    EXPECT_NE(out.find("Framebuffer not ready\n"), std::string::npos) << out;
    EXPECT_EQ(empty.hdrFramebuffer(), 0u);
}

// What the program needs of a driver: met by any OpenGL 3.3 context counted
// strictly, which is all it may rely on, and named in one line when not.
TEST(DriverLimits, TheThreeThreeMinimumsSufficeAndAShortfallIsNamed)
{
    std::vector<DriverLimit> limits = requiredLimits(1024, 600);
    readLimits(limits);
    EXPECT_EQ(driverShortfall(limits, hasFeedbackObjects()), "");
    // The minimums OpenGL 3.3 guarantees, where the program comes close.
    const std::pair<const char*, int> guaranteed[] = {{"GL_MAX_GEOMETRY_OUTPUT_VERTICES", 256},
                                                      {"GL_MAX_GEOMETRY_TOTAL_OUTPUT_COMPONENTS", 1024},
                                                      {"GL_MAX_TRANSFORM_FEEDBACK_INTERLEAVED_COMPONENTS", 64},
                                                      {"GL_MAX_DRAW_BUFFERS", 8}};
    for (DriverLimit& limit : limits)
        for (const auto& [name, minimum] : guaranteed)
            if (std::string(limit.name) == name) {
                EXPECT_LE(limit.needed, minimum) << name;
                limit.offered = minimum;
            }
    EXPECT_EQ(driverShortfall(limits, true), "");

    limits[1].offered = limits[1].needed - 1;
    EXPECT_EQ(driverShortfall(limits, true),
              std::string(limits[1].name) + " is " + std::to_string(limits[1].needed - 1) +
                  " here, the program needs at least " + std::to_string(limits[1].needed));
    limits[1].offered = limits[1].needed;
    EXPECT_NE(driverShortfall(limits, false).find("transform feedback objects"), std::string::npos);
}

TEST_F(RendererTest, AWindowResizeChangesNothing)
{
    scene.renderFrame(1.0f);
    const test::Picture before = test::Picture::readFramebuffer(kWidth, kHeight);

    test::GlTestContext::resize(300, 200);
    int width = 0, height = 0;
    for (int wait = 0; wait < 100 && width != 300; ++wait) {
        glfwWaitEventsTimeout(0.02);
        glfwGetFramebufferSize(test::GlTestContext::window(), &width, &height);
    }
    ASSERT_EQ(width, 300) << "the hidden window did not grow";
    scene.renderFrame(1.0f);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const test::Picture after = test::Picture::readFramebuffer(kWidth, kHeight);
    test::GlTestContext::resize(1024, 600);

    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
    GLint targetWidth = 0;
    glBindTexture(GL_TEXTURE_2D, scene.renderer->sceneTexture());
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &targetWidth);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(targetWidth, kWidth);
    EXPECT_TRUE(after.pixels == before.pixels) << "the frame after the resize differs";
}

TEST_F(RendererTest, OnlyLightsAboveTheThresholdReachTheBrightTarget)
{
    scene.renderFrame(1.0f);
    glm::ivec2 lamp = scene.pixelOf(scene.keyLight->getWorldPosition());
    glm::ivec2 floor = scene.pixelOf(glm::vec3(-2.0f, 0.0f, 2.0f));
    EXPECT_GT(texel(scene.renderer->brightTexture(), lamp.x, lamp.y).r, 1.0f);
    EXPECT_GT(texel(scene.renderer->sceneTexture(), floor.x, floor.y).r, 0.05f);
    EXPECT_EQ(texel(scene.renderer->brightTexture(), floor.x, floor.y), glm::vec3(0.0f));
    EXPECT_EQ(texel(scene.renderer->brightTexture(), 1, kHeight - 2), glm::vec3(0.0f));
}

TEST_F(RendererTest, BlurSpreadsAndKeepsTheEnergyOfTheBrightPart)
{
    scene.renderFrame(1.0f);
    Renderer& renderer = *scene.renderer;
    GLuint bloom = renderer.blur(renderer.brightTexture());
    EXPECT_EQ(bloom, renderer.pingPongTexture(0));

    auto total = [](GLuint texture) {
        std::vector<float> data(kWidth * kHeight * 3);
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, data.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        double sum = 0.0;
        for (float value : data)
            sum += value;
        return sum;
    };
    glm::ivec2 lamp = scene.pixelOf(scene.keyLight->getWorldPosition());
    // Far from the edges, the normalised kernel moves energy without losing it.
    EXPECT_NEAR(total(bloom), total(renderer.brightTexture()), 0.1 * total(renderer.brightTexture()));
    EXPECT_LT(texel(bloom, lamp.x, lamp.y).r, texel(renderer.brightTexture(), lamp.x, lamp.y).r);
    EXPECT_GT(texel(bloom, lamp.x + 10, lamp.y).r, 0.0f);
    EXPECT_GT(texel(bloom, lamp.x, lamp.y - 10).r, 0.0f);
}

// The night's grade. The moonlit ground lies deep in the darks: a patch half
// as bright again as its neighbour must still show about half as much light
// again, which a lift that brightens black most would flatten. A shadow on a
// lit surface in the mid-tones stays a deep shadow, and more light never
// gives a darker pixel.
TEST_F(RendererTest, TheGradeKeepsTheDarksContrastyAndShadowsDeep)
{
    Renderer& renderer = *scene.renderer;
    for (float dark : {0.003f, 0.005f, 0.008f}) {
        const std::vector<int> levels = composedLevels(renderer, {dark, 1.5f * dark});
        EXPECT_GT(linearOf(levels[1]) / linearOf(levels[0]), 1.42)
            << "at " << dark << ": " << levels[0] << ", " << levels[1];
    }
    const std::vector<int> shadowAndLight = composedLevels(renderer, {0.06f, 0.3f});
    EXPECT_GT(linearOf(shadowAndLight[1]) / linearOf(shadowAndLight[0]), 4.0)
        << shadowAndLight[0] << ", " << shadowAndLight[1];

    constexpr int kSteps = kWidth / kPatchWidth;
    std::vector<float> ramp;
    for (int i = 0; i < kSteps; ++i)
        ramp.push_back(1e-4f * std::pow(20.0f / 1e-4f, static_cast<float>(i) / (kSteps - 1)));
    const std::vector<int> levels = composedLevels(renderer, ramp);
    for (size_t i = 1; i < levels.size(); ++i)
        EXPECT_GE(levels[i], levels[i - 1]) << "from " << ramp[i - 1] << " to " << ramp[i];
    EXPECT_LE(levels.front(), 1);
    EXPECT_GE(levels.back(), 250);
}

// The ten passes over one bright texel in the middle of a black target: the
// response is the bloom's kernel. It must be wide (a sigma of at least 8
// texels each way), round (the diagonal falls off like the axes), and fall
// smoothly with distance: a rise anywhere on the way out is a ring or a band.
TEST_F(RendererTest, BlurOfOneTexelIsAWideRoundHaloWithoutRings)
{
    Renderer& renderer = *scene.renderer;
    const int cx = kWidth / 2;
    const int cy = kHeight / 2;
    std::vector<float> point(kWidth * kHeight * 3, 0.0f);
    for (int c = 0; c < 3; ++c)
        point[(cy * kWidth + cx) * 3 + c] = 1000.0f;
    GlTexture source;
    glBindTexture(GL_TEXTURE_2D, source.name());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, kWidth, kHeight, 0, GL_RGB, GL_FLOAT, point.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    GLuint bloom = renderer.blur(source.name());
    std::vector<float> halo(kWidth * kHeight * 3);
    glBindTexture(GL_TEXTURE_2D, bloom);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, halo.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    auto at = [&](int x, int y) { return halo[(y * kWidth + x) * 3]; };

    double total = 0.0, xx = 0.0, yy = 0.0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            total += at(x, y);
            xx += at(x, y) * (x - cx) * (x - cx);
            yy += at(x, y) * (y - cy) * (y - cy);
        }
    EXPECT_NEAR(total, 1000.0, 20.0);
    EXPECT_GE(std::sqrt(xx / total), 8.0);
    EXPECT_GE(std::sqrt(yy / total), 8.0);

    for (int r = 1; r < 40; ++r) {
        EXPECT_LE(at(cx + r, cy), at(cx + r - 1, cy) * 1.001f + 1e-4f) << "right, at " << r;
        EXPECT_LE(at(cx - r, cy), at(cx - r + 1, cy) * 1.001f + 1e-4f) << "left, at " << r;
        EXPECT_LE(at(cx, cy + r), at(cx, cy + r - 1) * 1.001f + 1e-4f) << "down, at " << r;
        if (r < cy) {
            EXPECT_LE(at(cx, cy - r), at(cx, cy - r + 1) * 1.001f + 1e-4f) << "up, at " << r;
        }
    }
    // Round: at radius 17 (12 texels along both axes) the diagonal holds
    // what the axes hold at the same distance.
    const float axis = 0.5f * (at(cx + 17, cy) + at(cx, cy + 17));
    EXPECT_NEAR(at(cx + 12, cy + 12), axis, 0.25f * axis);
}

TEST_F(RendererTest, WithoutShadowCastersTheShadowPassIsSkipped)
{
    SceneContext::current()->shadowMaps.clear();
    glViewport(0, 0, 7, 7);
    scene.renderer->shadowPass(View{scene.root, scene.camera});
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 7);

    SceneContext::current()->shadowMaps.push_back(scene.shadowMap);
    scene.renderer->shadowPass(View{scene.root, scene.camera});
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
}

// Faces of the shadow map no visible point looks up are not drawn. Were one
// read after all, the picture would show it: the cube is first filled with
// depth 0, which shadows everything, and the frame must come out exactly as
// one whose shadow pass drew all six faces.
TEST_F(RendererTest, ShadowFacesLeftUndrawnChangeNothingOnScreen)
{
    // Looking down past the lit cube from below the light: nothing it sees
    // lies above the light.
    scene.camera->position = glm::vec3(0.0f, 1.5f, 5.0f);
    scene.camera->target = glm::vec3(0.0f, -1.5f, 0.0f);
    scene.camera->updateView();
    scene.root->update(0.0);
    scene.camera->updateWorldMatrix();
    ASSERT_NE(scene.shadowMap->facesUnseenBy(*scene.camera), 0) << "the view should leave a face out";

    Renderer& renderer = *scene.renderer;
    renderer.fade = 1.0f;
    auto frame = [&](bool everyFace) {
        glClearDepth(0.0);
        for (int face = 0; face < 6; ++face) {
            glBindFramebuffer(GL_FRAMEBUFFER, scene.shadowMap->framebuffer(face));
            glClear(GL_DEPTH_BUFFER_BIT);
        }
        glClearDepth(1.0);
        if (everyFace)
            renderer.drawShadowMaps(scene.root, nullptr);
        else
            renderer.shadowPass(View{scene.root, scene.camera});
        renderer.scenePass(View{scene.root, scene.camera});
        renderer.compose();
        return test::Picture::readFramebuffer(kWidth, kHeight);
    };
    const test::Picture culled = frame(false);
    const test::Picture whole = frame(true);
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c)
                differing += culled.at(x, y, c) != whole.at(x, y, c);
    EXPECT_EQ(differing, 0);
    // And the picture holds the cube's shadow: the poisoned faces were
    // really drawn over where they are read.
    const glm::ivec2 lit = scene.pixelOf(glm::vec3(-2.0f, 0.0f, 2.0f));
    EXPECT_GT(whole.at(lit.x, lit.y, 0), 10);
}

}  // namespace
}  // namespace tolvane
