#pragma once

namespace tolvane {

// The timeline's own state, beside the application state.
extern bool timelineStarted;  // the timeline may step
extern int timelineState;     // 0 not begun, 1-4 camera path n plays, 5 final
extern double lastFpsUpdate;  // timer value of the last frame-counter refresh

}  // namespace tolvane
