// Whole frames of a small fixed scene compared with reference pictures, plus
// measurements that hold whatever the reference: shadows darken, bloom
// spreads, the fade scales the picture.
#include "Picture.h"
#include "TestScene.h"

#include "render/Mesh.h"
#include "render/PointLight.h"
#include "render/Renderer.h"
#include "scene/PerspectiveCamera.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

namespace tolvane {
namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 96;

class PictureTest : public ::testing::Test {
protected:
    test::Picture render(float fade = 1.0f)
    {
        scene.renderFrame(fade);
        return test::Picture::readFramebuffer(kWidth, kHeight);
    }

    test::TestScene scene{kWidth, kHeight};
};

TEST_F(PictureTest, LitCubeCastsASoftShadowOnTheFloor)
{
    test::Picture picture = render();
    EXPECT_TRUE(test::matchesReference(picture, "lit-cube-shadow"));

    // A floor point behind the cube as seen from the light, one beside it at
    // a similar distance from the light, and the same shadowed point with
    // the cube taken out of the shadow pass.
    glm::vec3 light = scene.keyLight->getWorldPosition();
    glm::vec3 behind = light + (glm::vec3(0.0f, 0.5f, 0.0f) - light) * 1.6f;
    behind.y = 0.0f;
    glm::ivec2 shadowed = scene.pixelOf(behind);
    glm::ivec2 lit = scene.pixelOf(glm::vec3(behind.x, 0.0f, behind.z + 2.0f));
    double shadowedBrightness = picture.meanBrightness(shadowed.x, shadowed.y, 1);
    double litBrightness = picture.meanBrightness(lit.x, lit.y, 1);
    EXPECT_LT(shadowedBrightness, 0.6 * litBrightness);

    scene.box->castsShadow = false;
    test::Picture unshadowed = render();
    EXPECT_GT(unshadowed.meanBrightness(shadowed.x, shadowed.y, 1), 1.5 * shadowedBrightness);
}

TEST_F(PictureTest, BrightLampBloomsIntoItsNeighbourhood)
{
    // Only the lamp: the floor and the cube are moved out of sight.
    scene.floor->localMatrix[3] = glm::vec4(0.0f, -100.0f, 0.0f, 1.0f);
    scene.box->localMatrix[3] = glm::vec4(0.0f, -100.0f, 0.0f, 1.0f);
    test::Picture picture = render();
    EXPECT_TRUE(test::matchesReference(picture, "lamp-bloom"));

    glm::ivec2 lamp = scene.pixelOf(scene.keyLight->getWorldPosition());
    EXPECT_GT(picture.meanBrightness(lamp.x, lamp.y, 0), 240.0);
    // The lamp covers about two pixels; the halo reaches well beyond it and
    // fades with distance.
    double near = picture.meanBrightness(lamp.x + 5, lamp.y, 0);
    double far = picture.meanBrightness(lamp.x + 12, lamp.y, 0);
    EXPECT_GT(near, 20.0);
    EXPECT_GT(far, 3.0);
    EXPECT_GT(near, far);
    EXPECT_LT(picture.meanBrightness(2, 2, 1), 2.0);
}

TEST_F(PictureTest, FadeScalesTheWholePicture)
{
    test::Picture black = render(0.0f);
    EXPECT_EQ(black.maximum(), 0);

    test::Picture full = render(1.0f);
    EXPECT_TRUE(test::matchesReference(full, "lit-cube-shadow"));
    test::Picture half = render(0.5f);
    glm::ivec2 box = scene.pixelOf(glm::vec3(0.0f, 1.0f, 0.0f));
    EXPECT_NEAR(half.meanBrightness(box.x, box.y, 1), 0.5 * full.meanBrightness(box.x, box.y, 1), 2.0);
}

}  // namespace
}  // namespace tolvane
