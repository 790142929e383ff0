#include "app/Timeline.h"

#include "app/Application.h"
#include "app/Diagnostics.h"
#include "app/SceneAssembly.h"
#include "app/SoundEngine.h"
#include "app/TimelineState.h"
#include "base/Clock.h"
#include "particles/ParticleSystem.h"
#include "render/PointLight.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "scene/CameraPath.h"
#include "scene/PathEvent.h"
#include "scene/PerspectiveCamera.h"
#include "scene/Text.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdio>

namespace tolvane {

namespace {

// The camera's look-at point for each path, set when the previous one ends.
const glm::vec3 kPathTargets[] = {
    {1.6f, 1.0f, -0.5f},
    {3.5f, 1.6f, -1.5f},
    {-2.8f, 0.45f, -2.0f},
};

void flickerLights()
{
    const float torch = static_cast<float>(std::sin(currentTime() * 8.0)) * 0.2f + 0.5f;
    torchLightA->intensity = torch;
    torchLightB->intensity = torch;
    campfireLight->intensity = static_cast<float>(std::sin(currentTime() * 4.0)) * 0.2f + 0.8f;
}

void refreshFpsText()
{
    if (currentTime() - lastFpsUpdate <= 0.2)
        return;
    // A zero-length frame (two equal timer readings) has no finite rate.
    const int framesPerSecond = frameDelta > 0.0 ? static_cast<int>(std::lround(1.0 / frameDelta)) : 0;
    // Formatted in place so the text's storage is reused.
    char counter[32];
    std::snprintf(counter, sizeof counter, "fps: %d", framesPerSecond);
    fpsText->text.assign(counter);
    lastFpsUpdate = currentTime();
}

void startTimeline()
{
    soundEngine->play2D(kMusicFile);
    renderer->startFadeIn();
    logMessage("Starting with camera 1");
    timelineState = 1;
}

void switchPath()
{
    logMessage("Switching to camera %i", timelineState + 1);
    if (timelineState <= 3) {
        camera->target = kPathTargets[timelineState - 1];
        camera->updateView();
    }
    ++timelineState;
    timelineClock = 0.0;
}

void playPathStep()
{
    CameraPath* path = cameraPaths[timelineState - 1];
    if (path->finished) {
        switchPath();
        return;
    }
    if (PathEvent* event = path->next()) {
        handleEvent(*event);
        delete event;
    }
    timelineClock = 0.0;
}

void showEnd()
{
    renderer->startFadeOut();
    showCredits = true;
    timelineStarted = false;
}

void stepTimeline()
{
    if (!timelineStarted || timelineClock <= kTimelineStepSeconds)
        return;
    if (timelineState == 0)
        startTimeline();
    else if (timelineState <= 4)
        playPathStep();
    else
        showEnd();
}

}  // namespace

void setFires(bool generating)
{
    smokeSystem->setGenerating(generating);
    fireSystem->setGenerating(generating);
}

void pollInput()
{
    if (window == nullptr)
        return;  // drawing without a window: no keys to read
    glfwPollEvents();
    if (glfwGetKey(window, GLFW_KEY_ESCAPE) == GLFW_PRESS || glfwWindowShouldClose(window))
        running = false;
    if (glfwGetKey(window, GLFW_KEY_P) == GLFW_PRESS)
        setFires(true);
    if (glfwGetKey(window, GLFW_KEY_F) == GLFW_PRESS)
        showFps = true;
}

void updateDemo()
{
    if (!timelineStarted && currentTime() - startTime > kTimelineStartDelay)
        timelineStarted = true;
    renderer->advanceFade(frameDelta);
    flickerLights();
    orbitPivot->rotate(static_cast<float>(frameDelta) * 50.0f, glm::vec3(0.0f, 1.0f, 0.0f));
    scene->update(frameDelta);
    refreshFpsText();
    stepTimeline();
}

void handleEvent(const PathEvent& event)
{
    switch (event.type) {
    case PathEventType::SplinePosition:
        camera->position = event.position;
        camera->updateView();
        break;
    case PathEventType::FadeIn: renderer->startFadeIn(); break;
    case PathEventType::FadeOut: renderer->startFadeOut(); break;
    case PathEventType::FireOn: setFires(true); break;
    case PathEventType::FireOff: setFires(false); break;
    case PathEventType::Credits: showCredits = true; break;
    default: logMessage("Unkown Event %i", static_cast<int>(event.type)); break;
    }
}

}  // namespace tolvane
