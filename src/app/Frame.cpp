// One frame of the demo, top to bottom in the order it runs:
//
//   1. tickClock      read the clock once: frameDelta is the time since the
//                     previous frame, and the timeline's clock gathers it
//   2. pollInput      window events; Escape or closing ends the loop, P
//                     lights the fire, F shows the frame counter
//   3. updateDemo     fade, light flicker, orbit, the scene's update (shadow
//                     matrices, particle steps, sprite frames, billboards),
//                     the frame counter text, at most one timeline step
//   4. renderFrame    the renderer's passes (each shadow map, the scene into
//                     the HDR target, ten blur passes of its bright part, the
//                     composition with bloom and fade onto the window), then
//                     the frame counter and the credits when shown
//   5. checkGLError   one line for every GL error the frame caused
//   6. presentFrame   swap the buffers, check for GL errors again
#include "app/Frame.h"

#include "app/ApplicationState.h"
#include "app/Diagnostics.h"
#include "app/Timeline.h"
#include "base/Clock.h"
#include "base/GpuProfiler.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "scene/OrthogonalCamera.h"
#include "scene/Text.h"

#include <GLFW/glfw3.h>

namespace tolvane {

void runFrame(FrameObserver* observer)
{
    tickClock();
    pollInput();
    updateDemo();
    if (observer != nullptr && !observer->drawsFrame())
        return;
    if (observer != nullptr)
        observer->frameUpdated();
    renderFrame();
    checkGLError();
    if (observer != nullptr)
        observer->frameDrawn();
    presentFrame();
}

void tickClock()
{
    const double now = currentTime();
    frameDelta = now - lastFrameTime;
    lastFrameTime = now;
    timelineClock += frameDelta;
}

void renderFrame()
{
    renderer->render();
    GpuProfiler::Scope overlays(GpuPass::Overlays);
    if (showFps)
        fpsText->draw(overlayCamera);
    if (showCredits)
        creditsRoot->draw(overlayCamera);
}

void presentFrame()
{
    glfwSwapBuffers(window);
    checkGLError();
}

}  // namespace tolvane
