#pragma once
#include "StereoBuffer.h"

namespace tolvane::content {

// An original tune for the demo, in D dorian at 80 dotted-quarter beats a
// minute (6/8), in five sections that follow the film: a quiet opening on a
// drone and a sparse arpeggio; the theme, with a soft drum; a build on a
// second, higher theme; a climax with the theme doubled an octave up; and a
// long coda (the theme slowed to half speed on a bowed voice, over chords at
// half speed, no drum) that carries the credits and fades out at its end.
// The demo's pace decides where the credits fall: at 50 timeline steps a
// second they come near the climax, at 30 a second well into the coda.
class MusicSynth {
public:
    static constexpr float kBarSeconds = 1.5f;
    static constexpr float kFadeOutSeconds = 10.0f;
    // Bars where the sections begin; the coda runs to the end.
    static constexpr int kThemeBar = 8;
    static constexpr int kBuildBar = 24;
    static constexpr int kClimaxBar = 40;
    static constexpr int kCodaBar = 48;
    // The coda holds the augmented theme and a last phrase at the least.
    static constexpr int kShortestPiece = kCodaBar + 28;

    // At least `seconds` long (and never shorter than kShortestPiece bars),
    // rounded up to whole bars.
    static StereoBuffer compose(float seconds);

private:
    static void drone(StereoBuffer& out);
    static void drum(StereoBuffer& out, int bars);
    static void harmony(StereoBuffer& out, int bars);
    static void melody(StereoBuffer& out, int bars);
    static void coda(StereoBuffer& out, int bars);
    static void shape(StereoBuffer& out);
};

}  // namespace tolvane::content
