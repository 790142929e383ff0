// Which light the lit draws shadow through, worked out from lights that
// carry real cube shadow maps: the bitmask bit of the light whose map the
// shadow pass binds, and the maps the pass fills.
#include "GlTestContext.h"
#include "render/Material.h"
#include "render/ODShadowMap.h"
#include "render/PointLight.h"
#include "render/Scene.h"
#include "render/SceneContext.h"
#include "render/ShaderFiles.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolvane {
namespace {

class LightRegistrationGlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        program = new Material(ShaderFiles::kShadowVertex, ShaderFiles::kShadowFragment, "");
        for (auto& map : maps)
            map = new ODShadowMap(program);
    }
    static void TearDownTestSuite()
    {
        for (auto& map : maps) {
            delete map;
            map = nullptr;
        }
        delete program;
        program = nullptr;
    }

    // A light at (x, 0, 0), casting through `map` when one is given; added
    // to the scene at once unless `added` is false.
    PointLight* addLight(float x, ODShadowMap* map = nullptr, bool added = true)
    {
        auto* light = new PointLight(1.0f, 0.1f);
        light->translate(x, 0.0f, 0.0f);
        light->castsShadow = map != nullptr;
        light->shadowMap = map;
        if (added)
            scene.addChild(light);
        return light;
    }

    static Material* program;
    static ODShadowMap* maps[3];
    SceneContext context{NoCreate};
    Scene scene;
};

Material* LightRegistrationGlTest::program = nullptr;
ODShadowMap* LightRegistrationGlTest::maps[3] = {};

TEST_F(LightRegistrationGlTest, TheCastersBitIsItsIndex)
{
    addLight(1.0f);
    addLight(2.0f);
    addLight(3.0f, maps[0]);

    context.collectLights();

    EXPECT_EQ(4, context.shadowBitmask);
    EXPECT_EQ((std::vector<ODShadowMap*>{maps[0]}), context.shadowMaps);
}

// Lit draws see only the first caster's map: a light flagged after it was
// added, or with no map, or a second caster, would be shadowed by another
// light's depths, so none of them gets a bit.
TEST_F(LightRegistrationGlTest, OnlyTheLightWhoseMapIsBoundIsShadowed)
{
    PointLight* late = addLight(1.0f);
    late->castsShadow = true;
    late->shadowMap = maps[1];
    PointLight* withoutMap = addLight(2.0f);
    withoutMap->castsShadow = true;
    PointLight* caster = addLight(3.0f, maps[0]);
    PointLight* second = addLight(4.0f, maps[2]);

    context.collectLights();
    EXPECT_EQ(4, context.shadowBitmask);
    EXPECT_EQ((std::vector<ODShadowMap*>{maps[0], maps[2]}), context.shadowMaps)
        << "the shadow pass fills both casters' maps, in order";

    // A caster that stops casting, or swaps its map, loses the bound one.
    caster->castsShadow = false;
    context.collectLights();
    EXPECT_EQ(0, context.shadowBitmask);
    caster->castsShadow = true;
    caster->shadowMap = second->shadowMap;
    context.collectLights();
    EXPECT_EQ(0, context.shadowBitmask);
}

// The bitmask is a 32-bit uniform: a caster at index 33 keeps its map in the
// pass but is lit unshadowed rather than by a bit that wraps round.
TEST_F(LightRegistrationGlTest, ACasterBeyondTheBitmasksWidthIsLitUnshadowed)
{
    for (int i = 0; i < 33; ++i)
        addLight(static_cast<float>(i));
    addLight(33.0f, maps[2]);

    context.collectLights();

    EXPECT_EQ(0, context.shadowBitmask);
    EXPECT_EQ((std::vector<ODShadowMap*>{maps[2]}), context.shadowMaps);
    EXPECT_EQ(102u, context.lightPositions.size());
}

}  // namespace
}  // namespace tolvane
