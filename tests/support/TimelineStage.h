#pragma once

namespace tolvane::test {

// What the timeline and the frame counter act on, without the scene build:
// a fade-only renderer, a scene with the camera and the orbit pivot, the
// three flickering lights, the smoke and fire systems (programs only, no
// buffers), an empty frame counter text and a silent sound engine. The
// application state is reset on both ends; camera paths are left to the
// test and released with the stage. Needs the GL test context.
class TimelineStage {
public:
    TimelineStage();
    ~TimelineStage();

    TimelineStage(const TimelineStage&) = delete;
    TimelineStage& operator=(const TimelineStage&) = delete;
};

}  // namespace tolvane::test
