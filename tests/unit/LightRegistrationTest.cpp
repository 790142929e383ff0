#include "app/Application.h"
#include "render/AmbientLight.h"
#include "render/PointLight.h"
#include "render/Scene.h"
#include "render/SceneContext.h"

#include "GlmAssertions.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolvane {
namespace {

using test::expectVecNear;

PointLight* newLight(float x, float intensity = 1.0f, float attenuation = 0.1f)
{
    auto* light = new PointLight(intensity, attenuation);
    light->translate(x, 0.0f, 0.0f);
    return light;
}

// A lighting context without a bounding-box material, so no GL is needed.
class LightRegistrationTest : public ::testing::Test {
protected:
    SceneContext context{NoCreate};
    Scene scene;
};

TEST_F(LightRegistrationTest, ContextIsCurrentForItsLifetime)
{
    EXPECT_EQ(&context, SceneContext::current());
    {
        SceneContext replacement(NoCreate);
        EXPECT_EQ(&replacement, SceneContext::current());
    }
    EXPECT_EQ(nullptr, SceneContext::current());
}

TEST_F(LightRegistrationTest, PointLightsBecomeArraysInRegistrationOrder)
{
    auto* holder = new Object3D();
    scene.addChild(newLight(1.0f, 0.5f, 0.01f));
    scene.addChild(holder);
    holder->addChild(newLight(2.0f, 0.7f, 0.02f));  // nested lights register too
    scene.addChild(newLight(3.0f, 0.9f, 0.03f));

    context.collectLights();

    ASSERT_EQ(3u, context.pointLights.size());
    EXPECT_EQ((std::vector<float>{1, 0, 0, 2, 0, 0, 3, 0, 0}), context.lightPositions);
    EXPECT_EQ((std::vector<float>{0.5f, 0.7f, 0.9f}), context.lightIntensities);
    EXPECT_EQ((std::vector<float>{0.01f, 0.02f, 0.03f}), context.lightAttenuations);
    EXPECT_EQ(0, context.shadowBitmask);
    EXPECT_TRUE(context.shadowMaps.empty());
}

TEST_F(LightRegistrationTest, OnlyPointAndAmbientLightsAreRegistered)
{
    scene.addChild(new Object3D());
    scene.addChild(new Light(3.0f));

    context.collectLights();

    EXPECT_TRUE(context.pointLights.empty());
    EXPECT_EQ(nullptr, context.ambientLight);
    EXPECT_TRUE(context.lightPositions.empty());
    EXPECT_TRUE(context.lightIntensities.empty());
    EXPECT_TRUE(context.lightAttenuations.empty());
    EXPECT_EQ(0, context.shadowBitmask);
}

TEST_F(LightRegistrationTest, LaterAmbientLightReplacesTheEarlierOne)
{
    auto* first = new AmbientLight(0.25f);
    auto* second = new AmbientLight(0.4f);

    scene.addChild(first);
    EXPECT_EQ(first, context.ambientLight);
    scene.addChild(second);
    EXPECT_EQ(second, context.ambientLight);
    EXPECT_FLOAT_EQ(0.25f, first->intensity);
    EXPECT_FLOAT_EQ(0.4f, second->intensity);
}

TEST_F(LightRegistrationTest, SceneDrawFollowsAMovingParentInTheSameFrame)
{
    auto* pivot = new Object3D();
    scene.addChild(pivot);
    pivot->addChild(newLight(2.0f, 0.8f));

    scene.draw(nullptr);
    expectVecNear(glm::vec3(2.0f, 0.0f, 0.0f),
                  glm::vec3(context.lightPositions[0], context.lightPositions[1], context.lightPositions[2]));

    pivot->rotate(90.0f, glm::vec3(0.0f, 1.0f, 0.0f));
    context.pointLights[0]->intensity = 0.3f;
    scene.draw(nullptr);

    ASSERT_EQ(3u, context.lightPositions.size()) << "arrays are rebuilt, not appended to";
    expectVecNear(glm::vec3(0.0f, 0.0f, -2.0f),
                  glm::vec3(context.lightPositions[0], context.lightPositions[1], context.lightPositions[2]));
    EXPECT_EQ((std::vector<float>{0.3f}), context.lightIntensities);
}

TEST_F(LightRegistrationTest, ALightRegistersOncePerAddWhereverItIsAdded)
{
    // Registration happens at add time, even for a subtree not yet in the scene.
    Object3D detached;
    PointLight* light = newLight(1.0f);
    detached.addChild(light);
    EXPECT_EQ((std::vector<PointLight*>{light}), context.pointLights);
}

TEST(LightRegistrationWithoutContext, NodesCanBeAddedBeforeAnyContextExists)
{
    ASSERT_EQ(nullptr, SceneContext::current());
    Scene overlay;
    auto* light = new PointLight(1.0f, 0.1f);
    overlay.addChild(light);
    overlay.draw(nullptr);
    EXPECT_EQ(&overlay, light->parent);
}

// Counts updates that reach it.
class UpdateCounter : public Object3D {
public:
    void update(double) override { ++updates; }
    int updates = 0;
};

TEST(PointLightUpdate, ForwardsToItsChildren)
{
    PointLight light(1.0f, 0.1f);
    auto* child = new UpdateCounter();
    light.addChild(child);

    light.update(0.016);

    EXPECT_EQ(1, child->updates);
}

}  // namespace
}  // namespace tolvane
