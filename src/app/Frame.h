#pragma once

// One pass of the frame loop, written once for the demo and the capture.
namespace tolvane {

// Lets a tool that plays the demo (the capture) take part in a frame without
// writing the frame a second way. The demo passes none.
class FrameObserver {
public:
    virtual ~FrameObserver() = default;
    // False: the frame is only updated, neither drawn nor presented.
    virtual bool drawsFrame() { return true; }
    // The update is done and nothing of the frame is drawn yet.
    virtual void frameUpdated() {}
    // The frame is complete in the back buffer and not presented yet: the
    // moment to read its pixels.
    virtual void frameDrawn() {}
};

// One pass of the frame loop; the steps are listed in Frame.cpp.
void runFrame(FrameObserver* observer = nullptr);

// The steps runFrame takes, for tests that drive a single one.
void tickClock();
// Fits the renderer's picture to the window's framebuffer as it is now,
// which may differ from the configured size and change while the demo
// plays (a tiling compositor, full screen at another mode). Nothing changes
// without a window: an off-screen surface is made at the picture's size.
void fitPictureToWindow();
void renderFrame();
void presentFrame();

}  // namespace tolvane
