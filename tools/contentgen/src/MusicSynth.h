#pragma once
#include "StereoBuffer.h"

namespace tolvane::content {

// An original tune for the demo, in D dorian at 80 dotted-quarter beats a
// minute (6/8): a drone and a frame drum from the start, a plucked arpeggio
// and bass, and later a plucked melody; it fades in and, at the end, out.
class MusicSynth {
public:
    static constexpr float kBarSeconds = 1.5f;
    static constexpr float kFadeOutSeconds = 10.0f;

    // At least `seconds` long, rounded up to whole bars.
    static StereoBuffer compose(float seconds);

private:
    static void drone(StereoBuffer& out);
    static void drum(StereoBuffer& out, int bars);
    static void harmony(StereoBuffer& out, int bars);
    static void melody(StereoBuffer& out, int bars);
    static void shape(StereoBuffer& out);
};

} // namespace tolvane::content
