// The renderer's fade: a state machine that needs no GL (the renderer is
// built without programs).
#include "render/Renderer.h"

#include <gtest/gtest.h>

namespace tolvane {
namespace {

class FadeTest : public ::testing::Test {
protected:
    Renderer renderer{NoCreate};
};

TEST_F(FadeTest, StartsBlackAndIdle)
{
    EXPECT_EQ(renderer.fade, 0.0f);
    EXPECT_FALSE(renderer.fadingIn);
    EXPECT_FALSE(renderer.fadingOut);
    renderer.advanceFade(1.0);
    EXPECT_EQ(renderer.fade, 0.0f);
}

TEST_F(FadeTest, FadeInTakesHalfASecondAndStopsAtOne)
{
    renderer.startFadeIn();
    EXPECT_TRUE(renderer.fadingIn);
    renderer.advanceFade(0.125);
    EXPECT_FLOAT_EQ(renderer.fade, 0.25f);
    renderer.advanceFade(0.125);
    EXPECT_FLOAT_EQ(renderer.fade, 0.5f);
    renderer.advanceFade(0.4);
    EXPECT_EQ(renderer.fade, 1.0f);
    EXPECT_FALSE(renderer.fadingIn);
}

TEST_F(FadeTest, FadeOutRunsFromOneBackToBlack)
{
    renderer.startFadeIn();
    renderer.advanceFade(0.5);
    renderer.startFadeOut();
    EXPECT_TRUE(renderer.fadingOut);
    renderer.advanceFade(0.25);
    EXPECT_FLOAT_EQ(renderer.fade, 0.5f);
    renderer.advanceFade(1.0);
    EXPECT_EQ(renderer.fade, 0.0f);
    EXPECT_FALSE(renderer.fadingOut);
    // And the cycle can start again.
    renderer.startFadeIn();
    EXPECT_TRUE(renderer.fadingIn);
}

TEST_F(FadeTest, RequestsBeforeTheEndOrAgainstARunningFadeAreIgnored)
{
    renderer.startFadeOut();  // already black
    EXPECT_FALSE(renderer.fadingOut);

    renderer.startFadeIn();
    renderer.advanceFade(0.25);
    ASSERT_FLOAT_EQ(renderer.fade, 0.5f);
    renderer.startFadeOut();  // fade-in still rising
    EXPECT_FALSE(renderer.fadingOut);
    renderer.startFadeIn();  // already running: nothing changes
    renderer.advanceFade(0.25);
    EXPECT_EQ(renderer.fade, 1.0f);

    renderer.startFadeIn();  // already full
    EXPECT_FALSE(renderer.fadingIn);
    renderer.startFadeOut();
    renderer.advanceFade(0.1);
    renderer.startFadeIn();  // fade-out running
    EXPECT_FALSE(renderer.fadingIn);
    renderer.advanceFade(0.1);
    EXPECT_FLOAT_EQ(renderer.fade, 0.6f);
}

TEST_F(FadeTest, AHalfFinishedFadeOutCannotBeReversed)
{
    renderer.startFadeIn();
    renderer.advanceFade(0.5);
    renderer.startFadeOut();
    renderer.advanceFade(0.1);
    renderer.fadingOut = false;  // as if stopped midway
    renderer.startFadeIn();      // 0.8 is not 0
    renderer.startFadeOut();     // 0.8 is not 1
    EXPECT_FALSE(renderer.fadingIn);
    EXPECT_FALSE(renderer.fadingOut);
}

}  // namespace
}  // namespace tolvane
