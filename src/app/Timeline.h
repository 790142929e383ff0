#pragma once

namespace tolvane {

struct PathEvent;

// Polls window events and the three keys: Escape (or a close request) ends
// the loop after the current pass, P lights the fire, F shows the counter.
void pollInput();

// Advances everything that moves in one frame: fade, light flicker, orbit,
// the scene, the frame counter text and at most one timeline step.
void updateDemo();

// Executes one camera-path event on the camera, renderer, fires or credits.
void handleEvent(const PathEvent& event);

}  // namespace tolvane
