// The demo's scene as the scene build assembles it from the generated
// content: tree, light order, shadow bitmask, particle values, flames.
#include "app/SceneAssembly.h"
#include "GlTestContext.h"
#include "app/Application.h"
#include "app/DemoState.h"
#include "base/ContentLayout.h"
#include "import/ModelLoader.h"
#include "particles/ParticlePresets.h"
#include "particles/ParticleSystem.h"
#include "render/AmbientLight.h"
#include "render/AxialBillboard.h"
#include "render/Mesh.h"
#include "render/PointLight.h"
#include "render/Scene.h"
#include "render/SceneContext.h"
#include "render/SpriteSheet.h"
#include "scene/CameraPath.h"
#include "scene/PerspectiveCamera.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace tolvane;

namespace {

// Builds the scene once for all tests of the suite: it is large.
class SceneAssemblyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!std::filesystem::exists("../Models/hut_150k_scaled_w.fbx"))
            return;
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        demo = DemoState();
        demo.settings.intensity = 2.0f;
        output = test::captureStdout([] { buildScene(); });
        built = true;
    }

    static void TearDownTestSuite()
    {
        if (!built)
            return;
        releaseSoundEngine();
        releaseSceneResources();
        delete demo.scene;
        releaseSceneContext();
        built = false;
        demo = DemoState();
    }

    void SetUp() override
    {
        if (!built)
            GTEST_SKIP() << "the generated content is missing; run the set-up first";
    }

    static bool built;
    static std::string output;
};

bool SceneAssemblyTest::built = false;
std::string SceneAssemblyTest::output;

template <typename T>
T* childAs(Object3D* node, size_t index)
{
    return dynamic_cast<T*>(node->children.at(index));
}

}  // namespace

TEST_F(SceneAssemblyTest, TreeHoldsEveryNodeInInsertionOrder)
{
    const std::vector<Object3D*>& top = demo.scene->children;
    ASSERT_GE(top.size(), 10u);
    EXPECT_EQ(top[0], demo.camera);
    const size_t meshes = top.size() - 9;
    EXPECT_EQ(meshes, 101u)
        << "the generated model has 101 meshes: the ground in 36 tiles, the pines' trunks, "
           "crowns and hanging needles and the rocks by sector, the sky in four slices and the moon";
    // The hanging needles are cut out of their picture and cast no shadow.
    size_t cutOut = 0;
    for (size_t i = 1; i <= meshes; ++i) {
        const Mesh* mesh = childAs<Mesh>(demo.scene, i);
        ASSERT_NE(mesh, nullptr);
        cutOut += mesh->alphaTested ? 1 : 0;
        EXPECT_EQ(mesh->castsShadow, !mesh->alphaTested);
    }
    EXPECT_EQ(cutOut, 12u);
    const size_t at = 1 + meshes;
    EXPECT_EQ(top[at], demo.objects.orbitPivot);
    EXPECT_EQ(demo.objects.orbitPivot->children.at(0), demo.objects.orbitLight);
    Mesh* lampCube = childAs<Mesh>(demo.objects.orbitLight, 0);
    ASSERT_NE(lampCube, nullptr);
    EXPECT_FALSE(lampCube->castsShadow);
    EXPECT_FLOAT_EQ(lampCube->localMatrix[0][0], 0.1f);
    EXPECT_NE(childAs<AmbientLight>(demo.scene, at + 1), nullptr);
    EXPECT_EQ(top[at + 2], demo.objects.campfireLight);
    EXPECT_EQ(top[at + 3], demo.objects.smokeSystem);
    EXPECT_EQ(top[at + 4], demo.objects.fireSystem);
    EXPECT_EQ(top[at + 5], demo.objects.dustSystem);
    EXPECT_EQ(top[at + 6]->children.at(0), demo.objects.torchLightA);
    EXPECT_EQ(top[at + 7]->children.at(0), demo.objects.torchLightB);
}

TEST_F(SceneAssemblyTest, LightsRegisterInOrderWithOneShadowCaster)
{
    SceneContext* context = SceneContext::current();
    ASSERT_NE(context, nullptr);
    const std::vector<PointLight*> expected = {demo.objects.orbitLight, demo.objects.campfireLight,
                                               demo.objects.torchLightA, demo.objects.torchLightB};
    EXPECT_EQ(context->pointLights, expected);
    EXPECT_EQ(context->shadowMaps.size(), 1u);
    EXPECT_EQ(context->shadowMaps[0], demo.objects.orbitLight->shadowMap);
    context->collectLights();
    EXPECT_EQ(context->shadowBitmask, 1);
    EXPECT_FLOAT_EQ(context->lightPositions[0], 3.0f);
    EXPECT_FLOAT_EQ(context->lightPositions[1], 3.0f);
    ASSERT_NE(context->ambientLight, nullptr);
    EXPECT_FLOAT_EQ(context->ambientLight->intensity, 0.1f);
}

// The torches and the fire flicker by absolute values from the first frame
// on (see the timeline's tests); the configured intensity is the orbiting
// light's alone, and their attenuations are what make each look as it does.
TEST_F(SceneAssemblyTest, OrbitingLightTakesTheConfiguredIntensity)
{
    EXPECT_FLOAT_EQ(demo.objects.orbitLight->intensity, 2.0f);
    EXPECT_FLOAT_EQ(demo.objects.orbitLight->attenuation, 0.01f);
    EXPECT_FLOAT_EQ(demo.objects.torchLightB->attenuation, 1.0f);
    EXPECT_FLOAT_EQ(demo.objects.campfireLight->attenuation, 0.05f);
}

// The camp fire's light lights the stones and logs of its own pit: it
// stands among the flames, inside the square the fire's particles start in,
// above the ground and below the flames' tips.
TEST_F(SceneAssemblyTest, CampfireLightStandsInTheFire)
{
    const glm::vec3 light = demo.objects.campfireLight->getWorldPosition();
    const glm::vec3 emitter = demo.objects.fireSystem->getWorldPosition();
    const ParticleSystem& fire = *demo.objects.fireSystem;
    EXPECT_GT(light.x, emitter.x + fire.genPositionMin.x);
    EXPECT_LT(light.x, emitter.x + fire.genPositionMin.x + fire.genPositionRange.x);
    EXPECT_GT(light.z, emitter.z + fire.genPositionMin.z);
    EXPECT_LT(light.z, emitter.z + fire.genPositionMin.z + fire.genPositionRange.z);
    EXPECT_GT(light.y, 0.2f);
    EXPECT_LT(light.y, 1.5f);
}

// The values themselves are checked with the presets; here: each system got
// its own preset, its place, and only the dust generates from the start.
TEST_F(SceneAssemblyTest, ParticleSystemsCarryTheirPresets)
{
    auto expectPreset = [](const ParticleSystem& system, void (*configure)(ParticleSystem&)) {
        ParticleSystem preset(system.texture);
        configure(preset);
        EXPECT_EQ(system.generationInterval, preset.generationInterval);
        EXPECT_EQ(system.numToGenerate, preset.numToGenerate);
        EXPECT_EQ(system.genPositionMin, preset.genPositionMin);
        EXPECT_EQ(system.genPositionRange, preset.genPositionRange);
        EXPECT_EQ(system.genVelocityMin, preset.genVelocityMin);
        EXPECT_EQ(system.genVelocityRange, preset.genVelocityRange);
        EXPECT_EQ(system.genGravityVector, preset.genGravityVector);
        EXPECT_EQ(system.genColor, preset.genColor);
        EXPECT_EQ(system.genLifeMin, preset.genLifeMin);
        EXPECT_EQ(system.genLifeRange, preset.genLifeRange);
        EXPECT_EQ(system.genSize, preset.genSize);
        EXPECT_EQ(system.rotationSpeed, preset.rotationSpeed);
    };
    {
        SCOPED_TRACE("smoke");
        expectPreset(*demo.objects.smokeSystem, configureSmoke);
    }
    {
        SCOPED_TRACE("fire");
        expectPreset(*demo.objects.fireSystem, configureFire);
    }
    {
        SCOPED_TRACE("fairy dust");
        expectPreset(*demo.objects.dustSystem, configureFairyDust);
    }
    EXPECT_FALSE(demo.objects.smokeSystem->generating);
    EXPECT_FALSE(demo.objects.fireSystem->generating);
    EXPECT_TRUE(demo.objects.dustSystem->generating);
    EXPECT_EQ(demo.objects.smokeSystem->texture, demo.objects.smokeTexture);
    EXPECT_EQ(demo.objects.fireSystem->texture, demo.objects.fireTexture);
    EXPECT_EQ(demo.objects.dustSystem->texture, demo.objects.fairyDustTexture);

    EXPECT_FLOAT_EQ(demo.objects.fireSystem->getWorldPosition().x, kFirePosition.x);
    EXPECT_FLOAT_EQ(demo.objects.dustSystem->getWorldPosition().y, 4.0f);
}

TEST_F(SceneAssemblyTest, FlamesStandAtTheTorchesFacingTheCamera)
{
    auto* first = dynamic_cast<AxialBillboard*>(demo.objects.torchLightA->parent);
    auto* second = dynamic_cast<AxialBillboard*>(demo.objects.torchLightB->parent);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->camera, demo.camera);
    EXPECT_FALSE(first->castsShadow);
    EXPECT_EQ(first->texture, static_cast<Texture*>(demo.objects.flameSpriteSheet));
    EXPECT_NEAR(demo.objects.torchLightA->getWorldPosition().x, -1.384822f, 1e-5);
    EXPECT_NEAR(demo.objects.torchLightB->getWorldPosition().y, 2.458664f, 1e-5);
    EXPECT_FLOAT_EQ(first->localMatrix[1][1], 0.1f);
}

TEST_F(SceneAssemblyTest, CameraAndConsole)
{
    EXPECT_NEAR(demo.camera->aspect, 1.7066667f, 1e-6);
    EXPECT_EQ(demo.camera->position, content::kCameraStart);
    EXPECT_EQ(demo.camera->target, content::kFlightTargets[0]);
    EXPECT_EQ(demo.timeline.timelineState, 0);
    // The path line and its empty line, nothing from the light and particle
    // set-up, and the empty line that closes the build.
    const std::string pathsRead = "OK, done reading XML-File with camera positions.\n";
    const size_t at = output.find(pathsRead);
    ASSERT_NE(at, std::string::npos) << output;
    EXPECT_EQ(output.substr(at), pathsRead + "\n\n");
    EXPECT_EQ(output.find("OpenGL Error:"), std::string::npos) << output;
    for (CameraPath* path : demo.objects.cameraPaths)
        EXPECT_FALSE(path->events.empty());
}
