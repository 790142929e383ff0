#include "app/Timeline.h"

#include "app/DemoState.h"
#include "app/SoundEngine.h"
#include "base/Clock.h"
#include "base/ContentLayout.h"
#include "base/Diagnostics.h"
#include "particles/ParticleSystem.h"
#include "render/PointLight.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "render/Text.h"
#include "scene/CameraPath.h"
#include "scene/PathEvent.h"
#include "scene/PerspectiveCamera.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tolvane {

namespace {

void flickerLights()
{
    const float torch = static_cast<float>(std::sin(currentTime() * 8.0)) * 0.2f + 0.5f;
    SceneObjects& objects = demo.objects;
    objects.torchLightA->intensity = torch;
    objects.torchLightB->intensity = torch;
    objects.campfireLight->intensity = static_cast<float>(std::sin(currentTime() * 4.0)) * 0.2f + 0.8f;
}

void refreshFpsText()
{
    if (currentTime() - demo.timeline.lastFpsUpdate <= 0.2)
        return;
    // A zero-length frame (two equal timer readings) has no finite rate.
    const int framesPerSecond = demo.frameDelta > 0.0 ? static_cast<int>(std::lround(1.0 / demo.frameDelta)) : 0;
    // Formatted in place so the text's storage is reused.
    char counter[32];
    std::snprintf(counter, sizeof counter, "fps: %d", framesPerSecond);
    demo.fpsText->text.assign(counter);
    demo.timeline.lastFpsUpdate = currentTime();
}

void startTimeline()
{
    demo.objects.soundEngine->play2D(content::kMusicFile);
    demo.renderer->startFadeIn();
    logMessage("Starting with camera 1");
    demo.timeline.timelineState = 1;
}

void switchPath()
{
    int& state = demo.timeline.timelineState;
    logMessage("Switching to camera %i", state + 1);
    if (state <= 3) {
        demo.camera->target = content::kFlightTargets[state];
        demo.camera->updateView();
    }
    ++state;
    demo.timelineClock = 0.0;
}

void playPathStep()
{
    CameraPath* path = demo.objects.cameraPaths[demo.timeline.timelineState - 1];
    if (path->finished) {
        switchPath();
        return;
    }
    if (PathEvent* event = path->next()) {
        handleEvent(*event);
        delete event;
    }
    demo.timelineClock = 0.0;
}

void showEnd()
{
    demo.renderer->startFadeOut();
    demo.showCredits = true;
    demo.timeline.timelineStarted = false;
}

void stepTimeline()
{
    if (!demo.timeline.timelineStarted || demo.timelineClock <= kTimelineStepSeconds)
        return;
    if (demo.timeline.timelineState == 0)
        startTimeline();
    else if (demo.timeline.timelineState <= 4)
        playPathStep();
    else
        showEnd();
}

}  // namespace

bool timelineBegun()
{
    return demo.timeline.timelineState >= 1;
}

bool timelineFinished()
{
    return demo.timeline.timelineState == 5;
}

void setFires(bool generating)
{
    demo.objects.smokeSystem->setGenerating(generating);
    demo.objects.fireSystem->setGenerating(generating);
}

void pollInput()
{
    GLFWwindow* window = demo.window;
    if (window == nullptr)
        return;  // drawing without a window: no keys to read
    glfwPollEvents();
    if (glfwGetKey(window, GLFW_KEY_ESCAPE) == GLFW_PRESS || glfwWindowShouldClose(window))
        demo.running = false;
    if (glfwGetKey(window, GLFW_KEY_P) == GLFW_PRESS)
        setFires(true);
    if (glfwGetKey(window, GLFW_KEY_F) == GLFW_PRESS)
        demo.showFps = true;
}

void updateDemo()
{
    if (!demo.timeline.timelineStarted && currentTime() - demo.startTime > kTimelineStartDelay)
        demo.timeline.timelineStarted = true;
    demo.renderer->advanceFade(demo.frameDelta);
    if (demo.showCredits)
        demo.creditsOpacity =
            static_cast<float>(std::min(1.0, demo.creditsOpacity + demo.frameDelta / kCreditsFadeSeconds));
    flickerLights();
    demo.objects.orbitPivot->rotate(static_cast<float>(demo.frameDelta) * 50.0f, glm::vec3(0.0f, 1.0f, 0.0f));
    demo.scene->update(demo.frameDelta);
    refreshFpsText();
    stepTimeline();
}

void handleEvent(const PathEvent& event)
{
    switch (event.type) {
    case PathEventType::SplinePosition:
        demo.camera->position = event.position;
        demo.camera->updateView();
        break;
    case PathEventType::FadeIn: demo.renderer->startFadeIn(); break;
    case PathEventType::FadeOut: demo.renderer->startFadeOut(); break;
    case PathEventType::FireOn: setFires(true); break;
    case PathEventType::FireOff: setFires(false); break;
    case PathEventType::Credits: demo.showCredits = true; break;
    default: logMessage("Unkown Event %i", static_cast<int>(event.type)); break;
    }
}

}  // namespace tolvane
