// The demo timeline driven with a controlled clock and small camera paths:
// start delay, music, path order and switching, events, the final state.
#include "app/Timeline.h"
#include "GlTestContext.h"
#include "TimelineStage.h"
#include "app/Application.h"
#include "app/DemoState.h"
#include "app/SceneAssembly.h"
#include "app/SoundEngine.h"
#include "base/Clock.h"
#include "base/ContentLayout.h"
#include "particles/ParticleSystem.h"
#include "render/PointLight.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "render/Text.h"
#include "scene/CameraPath.h"
#include "scene/PerspectiveCamera.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace tolvane;
using tolvane::test::captureStdout;

namespace {

double fakeNow = 0.0;
double fakeClock()
{
    return fakeNow;
}

class TimelineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        directory = test::makeScratchDirectory("tolvane-timeline");
        stage = std::make_unique<test::TimelineStage>();
        timeSource = fakeClock;
        fakeNow = 100.0;
        demo.startTime = fakeNow;
    }

    void TearDown() override
    {
        stage.reset();
        std::filesystem::remove_all(directory);
    }

    // Writes a path file from the elements between the wrappers and loads it.
    void setPath(int index, const std::string& elements, bool reverse = true)
    {
        fileNames[index] = directory + "/campath" + std::to_string(index + 1) + ".xml";
        test::writeTextFile(fileNames[index], "<spline_editor><spline><spline_point_array>" + elements +
                                                  "</spline_point_array></spline></spline_editor>");
        demo.objects.cameraPaths[index] = new CameraPath();
        demo.objects.cameraPaths[index]->fileName = fileNames[index].c_str();
        demo.objects.cameraPaths[index]->load(reverse);
    }

    static std::string position(float x)
    {
        return "<spline_position x=\"" + std::to_string(x) + "\" y=\"1\" z=\"5\" time=\"0\"/>";
    }

    // One frame of the given length, as the frame loop runs it.
    std::string frame(double seconds)
    {
        return captureStdout([&] {
            fakeNow += seconds;
            demo.frameDelta = seconds;
            demo.timelineClock += seconds;
            updateDemo();
        });
    }

    std::string directory;
    std::unique_ptr<test::TimelineStage> stage;
    std::string fileNames[4];
};

}  // namespace

TEST_F(TimelineTest, WaitsTwoSecondsThenStartsMusicFadeAndFirstPath)
{
    for (int i = 0; i < 4; ++i)
        setPath(i, position(1.0f));
    EXPECT_EQ(frame(1.0), "");
    EXPECT_FALSE(demo.timeline.timelineStarted);
    EXPECT_EQ(frame(0.9), "");
    const std::string out = frame(0.2);
    EXPECT_TRUE(demo.timeline.timelineStarted);
    EXPECT_NE(out.find("Starting with camera 1\n"), std::string::npos) << out;
    EXPECT_EQ(demo.timeline.timelineState, 1);
    EXPECT_TRUE(demo.renderer->fadingIn);
    // The one request either plays the music or, without the file, says so.
    const bool refused =
        out.find("Music unavailable: cannot play ../Music/DanceWithDragon_160kbts.mp3") != std::string::npos;
    EXPECT_TRUE(refused || demo.objects.soundEngine->isPlaying()) << out;
    // The clock was not reset: the very next frame plays the first record.
    EXPECT_EQ(frame(0.001).find("Music"), std::string::npos);
    EXPECT_FLOAT_EQ(demo.camera->position.x, 1.0f);
    EXPECT_TRUE(demo.objects.cameraPaths[0]->finished);
}

TEST_F(TimelineTest, PlaysOneRecordPerStepAndSwitchesPathsWithTargets)
{
    setPath(0, position(1.0f) + position(2.0f));
    setPath(1, position(3.0f));
    setPath(2, position(4.0f));
    setPath(3, position(5.0f) + position(6.0f), false);
    frame(2.5);  // starts the timeline
    frame(0.021);
    EXPECT_FLOAT_EQ(demo.camera->position.x, 1.0f);
    frame(0.01);  // 0.01 s since the last step is not enough
    EXPECT_FLOAT_EQ(demo.camera->position.x, 1.0f);
    frame(0.015);
    EXPECT_FLOAT_EQ(demo.camera->position.x, 2.0f);

    std::string out = frame(0.021);
    EXPECT_NE(out.find("Switching to camera 2\n"), std::string::npos);
    EXPECT_EQ(demo.timeline.timelineState, 2);
    EXPECT_EQ(demo.camera->target, content::kFlightTargets[1]);
    EXPECT_FLOAT_EQ(demo.camera->position.x, 2.0f) << "the switch takes a step of its own";
    frame(0.021);
    EXPECT_FLOAT_EQ(demo.camera->position.x, 3.0f);
    frame(0.021);
    EXPECT_EQ(demo.camera->target, content::kFlightTargets[2]);
    frame(0.021);
    EXPECT_FLOAT_EQ(demo.camera->position.x, 4.0f);
    out = frame(0.021);
    EXPECT_NE(out.find("Switching to camera 4\n"), std::string::npos);
    EXPECT_EQ(demo.camera->target, content::kFlightTargets[3]);
    frame(0.021);
    EXPECT_FLOAT_EQ(demo.camera->position.x, 6.0f) << "the fourth path plays from its last element";
    frame(0.021);
    EXPECT_FLOAT_EQ(demo.camera->position.x, 5.0f);
    out = frame(0.021);
    EXPECT_NE(out.find("Switching to camera 5\n"), std::string::npos);
    EXPECT_EQ(demo.timeline.timelineState, 5);
    EXPECT_EQ(demo.camera->target, content::kFlightTargets[3]) << "the last switch keeps the target";
}

TEST_F(TimelineTest, EventsActOnFadeFireAndCredits)
{
    setPath(0, "<fire_on/><credits/><fire_off/>");
    setPath(1, "");
    setPath(2, "");
    setPath(3, "");
    frame(2.5);
    frame(0.021);
    EXPECT_TRUE(demo.objects.fireSystem->generating);
    EXPECT_TRUE(demo.objects.smokeSystem->generating);
    frame(0.021);
    EXPECT_TRUE(demo.showCredits);
    frame(0.021);
    EXPECT_FALSE(demo.objects.fireSystem->generating);
    // The credits come in gradually, on the demo's clock, and stay.
    EXPECT_GT(demo.creditsOpacity, 0.0f);
    EXPECT_LT(demo.creditsOpacity, 0.1f);
    frame(0.7);
    EXPECT_NEAR(demo.creditsOpacity, 0.48f, 0.03f);
    frame(1.0);
    EXPECT_FLOAT_EQ(demo.creditsOpacity, 1.0f);
    frame(1.0);
    EXPECT_FLOAT_EQ(demo.creditsOpacity, 1.0f);
}

TEST_F(TimelineTest, EmptyPathTakesOneStepThenSwitches)
{
    setPath(0, "");
    setPath(1, position(3.0f));
    setPath(2, "");
    setPath(3, "");
    frame(2.5);
    const std::string first = frame(0.021);
    EXPECT_EQ(first.find("Switching"), std::string::npos);
    EXPECT_TRUE(demo.objects.cameraPaths[0]->finished);
    EXPECT_NE(frame(0.021).find("Switching to camera 2"), std::string::npos);
}

TEST_F(TimelineTest, UnknownEventTypeIsReported)
{
    PathEvent event;
    event.type = static_cast<PathEventType>(7);
    EXPECT_EQ(captureStdout([&] { handleEvent(event); }), "Unkown Event 7\n");
}

TEST_F(TimelineTest, FinalStateRepeatsFadeOutAndCredits)
{
    for (int i = 0; i < 4; ++i)
        setPath(i, "");
    frame(2.5);
    for (int i = 0; i < 8; ++i)
        frame(0.021);
    ASSERT_EQ(demo.timeline.timelineState, 5);
    // The fade-in started with the timeline has had time to finish.
    frame(0.6);
    frame(0.021);
    EXPECT_TRUE(demo.showCredits);
    EXPECT_TRUE(demo.renderer->fadingOut);
    EXPECT_FALSE(demo.timeline.timelineStarted) << "cleared by the final step";
    frame(0.021);
    EXPECT_EQ(demo.timeline.timelineState, 5);
    EXPECT_TRUE(demo.showCredits);
}

TEST_F(TimelineTest, FlickerOrbitAndFrameCounter)
{
    for (int i = 0; i < 4; ++i)
        setPath(i, "");
    fakeNow = 0.0;
    demo.startTime = -10.0;
    // Absolute values: whatever the lights were built with is overwritten.
    demo.objects.torchLightA->intensity = 5.0f;
    demo.objects.campfireLight->intensity = 5.0f;
    frame(0.25);  // now = 0.25
    EXPECT_NEAR(demo.objects.torchLightA->intensity, std::sin(0.25 * 8.0) * 0.2 + 0.5, 1e-5);
    EXPECT_FLOAT_EQ(demo.objects.torchLightA->intensity, demo.objects.torchLightB->intensity);
    EXPECT_NEAR(demo.objects.campfireLight->intensity, std::sin(0.25 * 4.0) * 0.2 + 0.8, 1e-5);
    EXPECT_EQ(demo.fpsText->text, "fps: 4");
    // The pivot turned 12.5 degrees about +y.
    const glm::mat4 m = demo.objects.orbitPivot->localMatrix;
    EXPECT_NEAR(m[0][0], std::cos(glm::radians(12.5f)), 1e-5);
    frame(0.1);  // within 0.2 s of the last refresh: unchanged
    EXPECT_EQ(demo.fpsText->text, "fps: 4");
    frame(0.125);
    EXPECT_EQ(demo.fpsText->text, "fps: 8");
}
