#pragma once

namespace tolvane {

struct PathEvent;

// Seconds after loading has finished before the timeline may start.
inline constexpr double kTimelineStartDelay = 2.0;
// The timeline takes a step only once more than this many seconds have
// gathered since the last one, and at most one step a frame.
inline constexpr double kTimelineStepSeconds = 0.02;
// The credits come in over this many seconds, while the film fades out.
inline constexpr double kCreditsFadeSeconds = 1.5;

// True from the step that started the music and the fade-in on.
bool timelineBegun();
// True from the step after the last camera path on: the film has ended and
// the credits are up.
bool timelineFinished();

// Switches the smoke and the camp fire on or off together: the P key, the
// fire events of the camera paths and the capture's --fire.
void setFires(bool generating);

// Polls window events and the three keys: Escape (or a close request) ends
// the loop after the current pass, P lights the fire, F shows the counter.
void pollInput();

// Advances everything that moves in one frame: fade, light flicker, orbit,
// the scene, the frame counter text and at most one timeline step.
void updateDemo();

// Executes one camera-path event on the camera, renderer, fires or credits.
void handleEvent(const PathEvent& event);

}  // namespace tolvane
