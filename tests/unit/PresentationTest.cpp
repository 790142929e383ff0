// How the finished picture reaches a window: fitted to whatever framebuffer
// the window system gave, and paced when the swap itself does not wait.
#include "base/FramePacer.h"
#include "render/OutputViewport.h"

#include <gtest/gtest.h>

using namespace tolvane;

namespace {

TEST(FitPictureTest, FillsAFramebufferOfThePicturesProportions)
{
    EXPECT_EQ(fitPicture(1024, 600, 1024, 600), (OutputViewport{0, 0, 1024, 600}));
    // A scaled output's framebuffer, twice the size each way.
    EXPECT_EQ(fitPicture(1024, 600, 2048, 1200), (OutputViewport{0, 0, 2048, 1200}));
    EXPECT_EQ(fitPicture(1024, 600, 512, 300), (OutputViewport{0, 0, 512, 300}));
}

TEST(FitPictureTest, KeepsTheProportionsWithCentredBars)
{
    // A tiling compositor's full-screen tile: wider than the picture.
    const OutputViewport wide = fitPicture(1024, 600, 1920, 1080);
    EXPECT_EQ(wide.height, 1080);
    EXPECT_EQ(wide.width, 1843);  // 1080 * 1024 / 600, rounded
    EXPECT_EQ(wide.x, (1920 - 1843) / 2);
    EXPECT_EQ(wide.y, 0);
    // Taller than the picture: bars above and below.
    const OutputViewport tall = fitPicture(1024, 600, 1024, 1000);
    EXPECT_EQ(tall.width, 1024);
    EXPECT_EQ(tall.height, 600);
    EXPECT_EQ(tall.x, 0);
    EXPECT_EQ(tall.y, 200);
}

TEST(FitPictureTest, AnEmptyFramebufferOrPictureGivesAnEmptyRectangle)
{
    EXPECT_EQ(fitPicture(1024, 600, 0, 0), OutputViewport{});
    EXPECT_EQ(fitPicture(1024, 600, 1920, 0), OutputViewport{});
    EXPECT_EQ(fitPicture(0, 600, 1920, 1080), OutputViewport{});
    // Sizes whose products overflow an int still fit.
    const OutputViewport huge = fitPicture(60000, 60000, 50000, 40000);
    EXPECT_EQ(huge, (OutputViewport{5000, 0, 40000, 40000}));
}

using Ms = std::chrono::milliseconds;
FramePacer::Clock::time_point at(int milliseconds)
{
    return FramePacer::Clock::time_point{} + Ms(1000000 + milliseconds);
}

TEST(FramePacerTest, DeadlinesFollowAGridThatDoesNotDriftWithEachPassesWork)
{
    FramePacer pacer(0.010);
    ASSERT_TRUE(pacer.paces());
    EXPECT_EQ(pacer.deadlineAfter(at(0)), at(10));
    // A pass that ended early or late within its period still aims at the grid.
    EXPECT_EQ(pacer.deadlineAfter(at(13)), at(20));
    EXPECT_EQ(pacer.deadlineAfter(at(21)), at(30));
    // Late by less than a period: the deadline is already past, so no sleep,
    // and the grid holds.
    EXPECT_EQ(pacer.deadlineAfter(at(45)), at(40));
    EXPECT_EQ(pacer.deadlineAfter(at(46)), at(50));
}

TEST(FramePacerTest, AfterAStallTheNextPassIsDueAPeriodLaterNotAtOnce)
{
    FramePacer pacer(0.010);
    EXPECT_EQ(pacer.deadlineAfter(at(0)), at(10));
    // A window hidden for a second, or a long load.
    EXPECT_EQ(pacer.deadlineAfter(at(1000)), at(1010));
    EXPECT_EQ(pacer.deadlineAfter(at(1011)), at(1020));
}

TEST(FramePacerTest, WithoutAPeriodNothingIsPaced)
{
    EXPECT_FALSE(FramePacer().paces());
    EXPECT_FALSE(FramePacer(-1.0).paces());
}

}  // namespace
