// One frame of the demo, top to bottom in the order it runs:
//
//   1. tickClock      read the clock once: frameDelta is the time since the
//                     previous frame, and the timeline's clock gathers it
//   2. pollInput      window events; Escape or closing ends the loop (as
//                     do SIGINT and SIGTERM), P lights the fire, F shows
//                     the frame counter
//   3. updateDemo     fade, light flicker, orbit, the scene's update (shadow
//                     matrices, particle steps, sprite frames, billboards),
//                     the frame counter text, at most one timeline step
//   4. renderFrame    fit the picture to the window's framebuffer, the
//                     renderer's passes (each shadow map, the scene into
//                     the HDR target, ten blur passes of its bright part, the
//                     composition with bloom and fade onto the window), then
//                     the frame counter and the credits when shown
//   5. checkGLError   one line for every GL error the frame caused
//   6. presentFrame   swap the buffers (hand the picture on, without a
//                     window), check for GL errors again
#include "app/Frame.h"

#include "app/DemoState.h"
#include "app/GlfwContext.h"
#include "app/Overlays.h"
#include "app/StopSignals.h"
#include "app/Timeline.h"
#include "base/Clock.h"
#include "base/Diagnostics.h"
#include "base/GpuProfiler.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "render/Text.h"
#include "scene/OrthogonalCamera.h"
#include "scene/PerspectiveCamera.h"

namespace tolvane {

void runFrame(FrameObserver* observer)
{
    tickClock();
    pollInput();
    if (stopSignal() != 0)
        demo.running = false;
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
    demo.frameDelta = now - demo.lastFrameTime;
    demo.lastFrameTime = now;
    demo.timelineClock += demo.frameDelta;
}

void fitPictureToWindow()
{
    int framebufferWidth = 0;
    int framebufferHeight = 0;
    if (demo.renderer == nullptr || !demo.windowContext.framebufferSize(framebufferWidth, framebufferHeight))
        return;
    Renderer& renderer = *demo.renderer;
    renderer.output = fitPicture(renderer.width, renderer.height, framebufferWidth, framebufferHeight);
}

void renderFrame()
{
    fitPictureToWindow();
    demo.renderer->render(View{demo.scene, demo.camera});
    GpuProfiler::Scope overlays(GpuPass::Overlays);
    if (demo.showFps)
        demo.fpsText->draw(demo.overlayCamera);
    if (demo.showCredits)
        drawCredits();
}

void presentFrame()
{
    activeGlContext().present();
    checkGLError();
}

}  // namespace tolvane
