#pragma once
#include "StereoBuffer.h"
#include "base/ContentLayout.h"

namespace tolvane::content {

// An original tune for the demo, in D dorian at 80 dotted-quarter beats a
// minute (6/8), in five sections that follow the film: a quiet opening on a
// drone and a sparse arpeggio; the theme, with a soft drum; a build on a
// second, higher theme; a climax with the theme doubled an octave up; and a
// coda (the theme slowed to half speed on a bowed voice, over chords at half
// speed, no drum) that comes home to D as the credits come in and fades out
// under them. Mastered to the loudness of online video.
// The demo's pace decides where the credits fall: at 30 timeline steps a
// second (a 60 Hz screen), the pace it is written for, the climax comes in
// with the last flight and its fire and the credits well into the coda.
class MusicSynth {
public:
    static constexpr float kBarSeconds = kMusicBarSeconds;
    static constexpr float kFadeInSeconds = 0.3f;  // just enough not to click
    static constexpr float kFadeOutSeconds = 6.0f;
    // Integrated loudness and true-peak ceiling of the finished piece, as
    // online video plays it; the ceiling leaves the MP3 encoder room for
    // the peaks its filtering adds.
    static constexpr double kLoudnessLufs = -16.0;
    static constexpr double kCeilingDbtp = -1.8;
    // Bars where the sections begin, as the demo knows them; the coda runs
    // to the end. The theme and the build are two eight-bar phrases each,
    // the climax one.
    static constexpr int kThemeBar = kMusicThemeBar;
    static constexpr int kBuildBar = kMusicBuildBar;
    static constexpr int kClimaxBar = kMusicClimaxBar;
    static constexpr int kCodaBar = kMusicCodaBar;
    static_assert(kBuildBar - kThemeBar == 16 && kClimaxBar - kBuildBar == 16 && kCodaBar - kClimaxBar == 8,
                  "the phrases are eight bars long");
    // The coda holds the augmented theme (eight bars twice as long) and two
    // bars for its last note to ring out.
    static constexpr int kShortestPiece = kCodaBar + 18;

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
