// Lit draws see one cube shadow map. A light that is flagged as a caster
// after it was added, or without a map, or a second caster, must be lit as
// if it cast no shadow, not shadowed through another light's depths.
#include "Picture.h"
#include "TestScene.h"

#include "render/Mesh.h"
#include "render/ODShadowMap.h"
#include "render/PointLight.h"
#include "render/Scene.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace tolvane {
namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 96;

// A bright second light high above the cube, farther from the floor than
// the key light: the key light's depths would put most of it in shadow.
PointLight* addSecondLight(test::TestScene& scene, bool casts, ODShadowMap* map)
{
    auto* light = new PointLight(3.0f, 0.05f);
    light->translate(-2.0f, 5.0f, -2.0f);
    light->castsShadow = casts;
    light->shadowMap = map;
    scene.root->addChild(light);
    return light;
}

test::Picture render(test::TestScene& scene)
{
    scene.renderFrame(1.0f);
    return test::Picture::readFramebuffer(kWidth, kHeight);
}

// Share of the pixels whose channels differ by more than a few levels.
double differingShare(const test::Picture& a, const test::Picture& b)
{
    int differing = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            for (int c = 0; c < 3; ++c)
                if (std::abs(a.at(x, y, c) - b.at(x, y, c)) > 4) {
                    ++differing;
                    break;
                }
    return static_cast<double>(differing) / (a.width * a.height);
}

test::Picture unshadowedSecondLight()
{
    test::TestScene scene{kWidth, kHeight};
    addSecondLight(scene, false, nullptr);
    return render(scene);
}

TEST(ShadowOwnershipTest, ALightFlaggedAfterItWasAddedIsLitUnshadowed)
{
    const test::Picture expected = unshadowedSecondLight();
    test::TestScene scene{kWidth, kHeight};
    PointLight* light = addSecondLight(scene, false, nullptr);

    light->castsShadow = true;  // flagged late, no map at all
    EXPECT_LT(differingShare(render(scene), expected), 0.002);

    ODShadowMap ownMap(scene.shadowProgram);  // flagged late, with a map never filled
    light->shadowMap = &ownMap;
    EXPECT_LT(differingShare(render(scene), expected), 0.002);
    light->shadowMap = nullptr;
}

TEST(ShadowOwnershipTest, ASecondCasterIsLitUnshadowedAndTheFirstKeepsItsShadow)
{
    const test::Picture expected = unshadowedSecondLight();
    test::TestScene scene{kWidth, kHeight};
    ODShadowMap secondMap(scene.shadowProgram);
    addSecondLight(scene, true, &secondMap);
    EXPECT_LT(differingShare(render(scene), expected), 0.002);

    // The key light still casts: its shadow goes when the cube stops casting.
    scene.box->castsShadow = false;
    EXPECT_GT(differingShare(render(scene), expected), 0.01);
}

}  // namespace
}  // namespace tolvane
