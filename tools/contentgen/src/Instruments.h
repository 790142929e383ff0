#pragma once
#include <cstdint>
#include <vector>

namespace tolvane::content {

// The voices of the fireside tune, each rendered as a mono note at 44.1 kHz.
class Instruments {
public:
    static constexpr int kSampleRate = 44100;

    // A plucked string by the Karplus-Strong method: a noise burst circulating
    // in a delay line one period long, softened a little on every pass.
    // `brightness` 0..1 shapes the pluck; `sustain` is seconds to fade by 60 dB.
    static std::vector<float> pluck(float frequency, float sustain, float brightness, std::uint64_t seed);

    // A soft frame drum: a low membrane thump with a falling pitch, and a
    // brushed rim tap for the off-beats.
    static std::vector<float> drumThump(float gain, std::uint64_t seed);
    static std::vector<float> drumTap(float gain, std::uint64_t seed);

    // A bowed, flute-like voice: a filtered sawtooth with a gentle vibrato,
    // swelling in and dying away over `seconds`.
    static std::vector<float> bowed(float frequency, float seconds, std::uint64_t seed);

    // A slowly breathing reed-like drone (a few detuned partials).
    static std::vector<float> drone(float frequency, float seconds, std::uint64_t seed);
};

}  // namespace tolvane::content
