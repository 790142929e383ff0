// The picture's fade as the frame loop drives it: the timeline asks for a
// fade-in or a fade-out, every frame advances it, and what a viewer sees is
// the brightness each frame is composed with. A renderer without programs
// keeps the same fade, so no GL is needed.
#include "render/Renderer.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolvane {
namespace {

class FadeTest : public ::testing::Test {
protected:
    // The brightness of `count` frames of `seconds` each.
    std::vector<float> frames(int count, double seconds = 0.125)
    {
        std::vector<float> seen;
        for (int i = 0; i < count; ++i) {
            renderer.advanceFade(seconds);
            seen.push_back(renderer.fade);
        }
        return seen;
    }

    // Fades in to full and lets one more frame pass.
    void reachFull()
    {
        renderer.startFadeIn();
        ASSERT_EQ(frames(5).back(), 1.0f);
    }

    Renderer renderer{NoCreate};
};

using Frames = std::vector<float>;

// Black is no fade-out: a fade-out request there, even in the same frame
// as a fade-in request, leaves the fade-in free to run.
TEST_F(FadeTest, BlackUntilAFadeInIsAskedFor)
{
    EXPECT_EQ(renderer.fade, 0.0f);
    EXPECT_EQ(frames(3), (Frames{0.0f, 0.0f, 0.0f}));
    renderer.startFadeOut();
    EXPECT_EQ(frames(2), (Frames{0.0f, 0.0f}));
    renderer.startFadeOut();
    renderer.startFadeIn();
    EXPECT_EQ(frames(2), (Frames{0.25f, 0.5f}));
}

// Half a second from black to full, in step with the frames' lengths, and
// never past full however long the frame.
TEST_F(FadeTest, FadeInRisesForHalfASecondThenHolds)
{
    renderer.startFadeIn();
    EXPECT_EQ(frames(5), (Frames{0.25f, 0.5f, 0.75f, 1.0f, 1.0f}));

    Renderer slow{NoCreate};
    slow.startFadeIn();
    slow.advanceFade(0.05);
    EXPECT_FLOAT_EQ(slow.fade, 0.1f);
    slow.advanceFade(3.0);
    EXPECT_EQ(slow.fade, 1.0f);
}

TEST_F(FadeTest, FadeOutFallsBackToBlackAndTheCycleRepeats)
{
    reachFull();
    renderer.startFadeOut();
    EXPECT_EQ(frames(5), (Frames{0.75f, 0.5f, 0.25f, 0.0f, 0.0f}));
    renderer.startFadeIn();
    EXPECT_EQ(frames(2), (Frames{0.25f, 0.5f}));

    renderer.advanceFade(1.0);
    renderer.startFadeOut();
    renderer.advanceFade(2.0);  // a long frame ends black, not below
    EXPECT_EQ(renderer.fade, 0.0f);
}

// A fade once begun runs to its end: a request against it, in either
// direction, changes nothing a viewer sees.
TEST_F(FadeTest, ARunningFadeRunsToItsEnd)
{
    renderer.startFadeIn();
    frames(2);
    renderer.startFadeOut();  // ignored: still rising
    renderer.startFadeIn();   // not restarted from black either
    EXPECT_EQ(frames(3), (Frames{0.75f, 1.0f, 1.0f}));

    renderer.startFadeOut();
    frames(1);
    renderer.startFadeIn();  // ignored: still falling
    EXPECT_EQ(frames(4), (Frames{0.5f, 0.25f, 0.0f, 0.0f}));
}

// Likewise at full: a fade-in request there is no fade, and a fade-out
// asked for in the same frame still runs.
TEST_F(FadeTest, FullIsNoFadeIn)
{
    reachFull();
    renderer.startFadeIn();
    EXPECT_EQ(frames(2), (Frames{1.0f, 1.0f}));
    renderer.startFadeIn();
    renderer.startFadeOut();
    EXPECT_EQ(frames(2), (Frames{0.75f, 0.5f}));
}

}  // namespace
}  // namespace tolvane
