#pragma once

namespace tolvane::content {

struct StereoBuffer;

// Brings a mix to a loudness, as streaming services and online video do:
// loudness is measured the broadcast way (ITU-R BS.1770: K-weighted, gated,
// in LUFS), and a look-ahead limiter keeps the peaks, inter-sample peaks
// included, under a ceiling. The mix's own dynamics (quiet opening, climax)
// survive: the limiter only shaves the few loudest transients.
class Mastering {
public:
    static constexpr float kSampleRate = 44100.0f;

    // Gated integrated loudness of the whole buffer, in LUFS; -70 or lower
    // for silence.
    static double integratedLoudness(const StereoBuffer& buffer);

    // The highest sample or inter-sample value of either channel (linear).
    static float truePeak(const StereoBuffer& buffer);

    // Scales the buffer to `targetLufs` and limits it to `ceilingDbtp`
    // (decibels of true peak), correcting the gain for what the limiter takes.
    static void master(StereoBuffer& buffer, double targetLufs, double ceilingDbtp);

private:
    static void limit(StereoBuffer& buffer, float ceiling);
};

}  // namespace tolvane::content
