#pragma once

namespace tolvane {

// The program's clock during an off-screen run: frame n reads n x step seconds,
// whatever the machine's speed. The step is 1/fps rounded up to a whole
// multiple of 2^-20 s (under a microsecond), so every reading and every
// difference of two readings is an exact binary number: each frame sees the
// same frameDelta, never a hair below 1/fps. That matters at 50 fps, where
// the timeline steps only when more than 0.02 s have gathered. Process-wide,
// because the program reads time through a plain function pointer.
class FixedStepClock {
public:
    static void configure(double fps);
    static void setFrame(long frame);

    // The current reading in seconds; fits Application's TimeSource.
    static double now();
    static double step() { return stepSeconds; }

    // `seconds` rounded up to the clock's quantum.
    static double quantise(double seconds);

private:
    static double stepSeconds;
    static long frame;
};

}  // namespace tolvane
