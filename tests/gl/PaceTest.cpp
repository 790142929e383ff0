// The generated film played by the real timeline at the frame rates machines
// actually run at, with a fixed clock and no pictures. The timeline takes at
// most one step per frame and needs more than 0.02 s between steps, so the
// pace of the flight depends on the frame rate: 50 steps a second at 50 fps,
// 30 at 60 fps (every second frame), 48 at 144 fps (every third frame).
// Whatever the pace, every fade must still happen, every cut must fall in
// black, and the music must still be playing when the credits come up.
#include "GlTestContext.h"
#include "TimelineStage.h"
#include "app/Application.h"
#include "app/DemoState.h"
#include "app/Frame.h"
#include "app/SceneAssembly.h"
#include "app/SoundEngine.h"
#include "app/Timeline.h"
#include "base/Clock.h"
#include "base/ContentLayout.h"
#include "particles/ParticleSystem.h"
#include "render/PointLight.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "render/Text.h"
#include "scene/CameraPath.h"
#include "scene/PerspectiveCamera.h"
#include "session/FixedStepClock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

using namespace tolvane;

namespace {

const char* const kPathFiles[4] = {"campath1.xml", "campath2.xml", "campath3.xml", "campath4.xml"};

double demoNow = 0.0;
double demoClock()
{
    return demoNow;
}

// What one playing of the film showed.
struct Playing {
    int fadeInsStarted = 0;
    int fadeOutsStarted = 0;
    int cutsOutOfBlack = 0;     // path switches while any picture showed
    int pathsNeverFullyUp = 0;  // paths 1 to 4 whose picture never reached full strength
    double musicStart = -1.0;   // demo seconds
    double lastFlight = -1.0;   // the cut to the fourth path
    double fireOn = -1.0;       // the camp fire is lit
    double credits = -1.0;
    bool fireAtCredits = false;
    bool blackUnderCredits = false;
};

class PaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* file : kPathFiles)
            if (!std::filesystem::exists(file) || !std::filesystem::exists(content::kMusicFile))
                GTEST_SKIP() << "the generated content is missing; run the set-up first";
        stage = std::make_unique<test::TimelineStage>();
        timeSource = demoClock;
    }

    void TearDown() override { stage.reset(); }

    // Loads the paths as the scene build does and counts their fades.
    void loadPaths(int& fadeIns, int& fadeOuts)
    {
        fadeIns = 1;  // the timeline's own, when it starts
        fadeOuts = 0;
        for (int i = 0; i < 4; ++i) {
            delete demo.objects.cameraPaths[i];
            demo.objects.cameraPaths[i] = new CameraPath();
            demo.objects.cameraPaths[i]->fileName = kPathFiles[i];
            demo.objects.cameraPaths[i]->load(i < 3);
            for (const PathEvent* event : demo.objects.cameraPaths[i]->events) {
                fadeIns += event->type == FadeIn;
                fadeOuts += event->type == FadeOut;
            }
        }
    }

    // Plays from the end of loading until half a second after the credits,
    // frame by frame as the frame loop does, at `fps` frames a demo second.
    Playing play(double fps)
    {
        FixedStepClock::configure(fps);
        const double step = FixedStepClock::step();
        demoNow = 0.0;
        demo.startTime = demo.lastFrameTime = demoNow;
        demo.timeline.lastFpsUpdate = 0.0;
        demo.timeline.timelineStarted = false;
        demo.timeline.timelineState = 0;
        demo.timelineClock = 0.0;
        demo.showCredits = false;
        demo.creditsOpacity = 0.0f;
        demo.renderer->fade = 0.0f;
        demo.renderer->fadingIn = demo.renderer->fadingOut = false;
        demo.objects.smokeSystem->generating = demo.objects.fireSystem->generating = false;

        Playing seen;
        float strongest = 0.0f;
        for (long frame = 1; frame < static_cast<long>(600 * fps); ++frame) {
            const bool wasFadingIn = demo.renderer->fadingIn;
            const bool wasFadingOut = demo.renderer->fadingOut;
            const int state = demo.timeline.timelineState;
            demoNow = frame * step;
            tickClock();
            updateDemo();
            seen.fadeInsStarted += demo.renderer->fadingIn && !wasFadingIn;
            seen.fadeOutsStarted += demo.renderer->fadingOut && !wasFadingOut;
            if (state == 0 && demo.timeline.timelineState == 1)
                seen.musicStart = demoNow;
            if (state == 3 && demo.timeline.timelineState == 4)
                seen.lastFlight = demoNow;
            if (seen.fireOn < 0.0 && demo.objects.fireSystem->generating)
                seen.fireOn = demoNow;
            if (demo.timeline.timelineState != state && state >= 1) {
                seen.cutsOutOfBlack += demo.renderer->fade != 0.0f;
                seen.pathsNeverFullyUp += strongest < 1.0f;
                strongest = 0.0f;
            }
            strongest = std::max(strongest, demo.renderer->fade);
            if (demo.showCredits && seen.credits < 0.0) {
                seen.credits = demoNow;
                seen.fireAtCredits = demo.objects.fireSystem->generating && demo.objects.smokeSystem->generating;
            }
            if (seen.credits >= 0.0 && demoNow > seen.credits + 0.6) {
                seen.blackUnderCredits = demo.renderer->fade == 0.0f;
                break;
            }
        }
        return seen;
    }

    std::unique_ptr<test::TimelineStage> stage;
};

TEST_F(PaceTest, EveryFadeCutAndTheMusicHoldAtFiftySixtyAndOneHundredFortyFourFps)
{
    const double music = SoundEngine::lengthOf(content::kMusicFile);
    ASSERT_GT(music, 0.0) << "the music file cannot be decoded";
    for (const double fps : {50.0, 60.0, 144.0}) {
        SCOPED_TRACE(testing::Message() << fps << " fps");
        int fadeIns = 0;
        int fadeOuts = 0;
        loadPaths(fadeIns, fadeOuts);
        const Playing seen = play(fps);
        ASSERT_GE(seen.credits, 0.0) << "the credits never came";
        EXPECT_EQ(seen.fadeInsStarted, fadeIns) << "a fade-in was lost";
        EXPECT_EQ(seen.fadeOutsStarted, fadeOuts) << "a fade-out was lost";
        EXPECT_EQ(seen.cutsOutOfBlack, 0) << "a cut to the next path showed";
        EXPECT_EQ(seen.pathsNeverFullyUp, 0) << "a path was never shown at full strength";
        EXPECT_TRUE(seen.fireAtCredits);
        EXPECT_TRUE(seen.blackUnderCredits);
        // The credits come in with music under them, which then fades.
        const double musicLeft = seen.musicStart + music - seen.credits;
        EXPECT_GT(musicLeft, 5.0) << "credits at " << seen.credits << " s";
        std::cout << fps << " fps: the music starts at " << seen.musicStart << " s, the credits come at "
                  << seen.credits << " s with " << musicLeft << " s of music left; the music ends at "
                  << seen.musicStart + music << " s\n";
    }
}

// The film a capture makes by default has the pace of the usual desktop, a
// 60 Hz screen with vsync (30 steps a second, drawn at 60 or at 30 frames a
// second alike), the pace the music is written for: the fire is lit as the
// music starts, the climax comes in with the cut to the last flight, round
// the fire, and carries it, the coda carries the end of the flight and the
// credits, and the film, which ends a second after the
// music, leaves the credits alone for at most 10 s and the flight at least
// three quarters of it.
TEST_F(PaceTest, AtTheDesktopsPaceTheMusicFollowsTheFilm)
{
    const double music = SoundEngine::lengthOf(content::kMusicFile);
    ASSERT_GT(music, 0.0) << "the music file cannot be decoded";
    Playing atSixty;
    for (const double fps : {60.0, 30.0}) {
        SCOPED_TRACE(testing::Message() << fps << " fps");
        int fadeIns = 0;
        int fadeOuts = 0;
        loadPaths(fadeIns, fadeOuts);
        const Playing seen = play(fps);
        ASSERT_GE(seen.credits, 0.0) << "the credits never came";
        ASSERT_GE(seen.fireOn, 0.0) << "the fire was never lit";
        const double bar = content::kMusicBarSeconds;
        const double climax = seen.musicStart + content::kMusicClimaxBar * bar;
        const double coda = seen.musicStart + content::kMusicCodaBar * bar;
        const double end = seen.musicStart + music + 1.0;
        EXPECT_NEAR(climax, seen.lastFlight, 2.0) << "the climax should come in with the last flight";
        EXPECT_LE(seen.fireOn - seen.musicStart, 0.1) << "the fire should burn from the film's start";
        EXPECT_GE(coda - seen.lastFlight, 8.0) << "the climax should carry the last flight a while";
        EXPECT_GT(seen.credits, coda) << "the credits should come in the coda";
        EXPECT_LE(end - seen.credits, 10.0) << "the credits stand alone too long";
        EXPECT_GE(seen.credits - content::kMusicBarSeconds, 0.75 * end) << "the flight is too short a part";
        std::cout << fps << " fps: music from " << seen.musicStart << " s, climax " << climax << " s, last flight "
                  << seen.lastFlight << " s, fire " << seen.fireOn << " s, coda " << coda << " s, credits "
                  << seen.credits << " s, end " << end << " s\n";
        if (fps == 60.0)
            atSixty = seen;
        else
            EXPECT_NEAR(seen.credits, atSixty.credits, 1.0 / 30.0) << "30 and 60 fps should play the same film";
    }
}

}  // namespace
