#include "MusicSynth.h"

#include "Instruments.h"
#include "Reverb.h"
#include "Rng.h"

#include <algorithm>
#include <cmath>

namespace tolvane::content {
namespace {

constexpr float kEighth = MusicSynth::kBarSeconds / 6.0f;

float midiHz(int note) { return 440.0f * std::pow(2.0f, static_cast<float>(note - 69) / 12.0f); }

std::size_t at(int bar, float eighths)
{
    return static_cast<std::size_t>((bar * MusicSynth::kBarSeconds + eighths * kEighth) * Instruments::kSampleRate);
}

// Eight-bar cycle: i - i - VII - VII - IV - IV - i - v (Dm, C, G major, Am).
struct Chord {
    int root;  // MIDI note of the root in the low octave
    int third; // semitones
};

Chord chordOfBar(int bar)
{
    static const Chord cycle[8] = {{50, 3}, {50, 3}, {48, 4}, {48, 4}, {43, 4}, {43, 4}, {50, 3}, {45, 3}};
    return cycle[bar % 8];
}

// D dorian scale degrees as MIDI notes from D4 upwards.
int dorian(int degree)
{
    static const int steps[7] = {0, 2, 3, 5, 7, 9, 10};
    const int octave = degree >= 0 ? degree / 7 : (degree - 6) / 7;
    return 62 + 12 * octave + steps[degree - octave * 7];
}

} // namespace

StereoBuffer MusicSynth::compose(float seconds)
{
    const int bars = static_cast<int>(std::ceil(seconds / kBarSeconds));
    StereoBuffer out(static_cast<std::size_t>(bars * kBarSeconds * Instruments::kSampleRate));
    drone(out);
    drum(out, bars);
    harmony(out, bars);
    melody(out, bars);
    Reverb::apply(out, 0.25f);
    shape(out);
    return out;
}

void MusicSynth::drone(StereoBuffer& out)
{
    const float length = static_cast<float>(out.frames()) / Instruments::kSampleRate;
    out.mix(Instruments::drone(midiHz(38), length, 1), 0, 0.16f, -0.2f);
    out.mix(Instruments::drone(midiHz(45), length, 2), 0, 0.1f, 0.2f);
}

void MusicSynth::drum(StereoBuffer& out, int bars)
{
    Rng rng(3);
    for (int bar = 1; bar < bars - 2; ++bar) {
        out.mix(Instruments::drumThump(0.5f, rng.nextU64()), at(bar, 0), 1.0f, 0.0f);
        out.mix(Instruments::drumThump(0.28f, rng.nextU64()), at(bar, 3), 1.0f, 0.05f);
        for (int e : {2, 5})
            out.mix(Instruments::drumTap(0.12f + 0.06f * static_cast<float>(rng.unit()), rng.nextU64()), at(bar, e), 1.0f, 0.3f);
        if (bar % 4 == 3)
            out.mix(Instruments::drumTap(0.1f, rng.nextU64()), at(bar, 4.5f), 1.0f, -0.3f);
    }
}

void MusicSynth::harmony(StereoBuffer& out, int bars)
{
    Rng rng(4);
    for (int bar = 2; bar < bars - 1; ++bar) {
        const Chord c = chordOfBar(bar);
        out.mix(Instruments::pluck(midiHz(c.root - 12), 4.0f, 0.3f, rng.nextU64()), at(bar, 0), 0.45f, -0.1f);
        const int pattern[6] = {0, 7, 12, c.third + 12, 12, 7};
        for (int e = 0; e < 6; ++e)
            out.mix(Instruments::pluck(midiHz(c.root + 12 + pattern[e]), 2.2f, 0.45f, rng.nextU64()), at(bar, e),
                    0.18f, -0.45f);
    }
}

void MusicSynth::melody(StereoBuffer& out, int bars)
{
    // Rhythms of one bar, in eighths; the tune walks the scale near the
    // chord and comes to rest on the chord's root at the end of a phrase.
    static const std::vector<std::vector<float>> rhythms = {
        {0, 2, 3, 5}, {0, 3}, {0, 1, 2, 3, 5}, {0, 2, 3, 4}, {0}};
    Rng rng(5);
    int degree = 4;
    for (int bar = 10; bar < bars - 5; ++bar) {
        const bool phraseEnd = bar % 4 == 3;
        const auto& rhythm = phraseEnd ? rhythms[4] : rhythms[static_cast<std::size_t>(rng.below(4))];
        for (float e : rhythm) {
            degree += rng.below(5) - 2;
            degree = std::clamp(degree, 0, 11);
            if (phraseEnd)
                degree = (chordOfBar(bar).root % 12 == 2) ? 7 : 4 + rng.below(2) * 3;
            out.mix(Instruments::pluck(midiHz(dorian(degree)), phraseEnd ? 3.5f : 2.6f, 0.7f, rng.nextU64()),
                    at(bar, e), 0.26f, 0.35f);
        }
    }
}

void MusicSynth::shape(StereoBuffer& out)
{
    const float fadeIn = 3.0f * Instruments::kSampleRate;
    const float fadeOut = kFadeOutSeconds * Instruments::kSampleRate;
    float peak = 1e-6f;
    for (std::size_t i = 0; i < out.frames(); ++i)
        peak = std::max({peak, std::fabs(out.left[i]), std::fabs(out.right[i])});
    const float gain = 0.89f / peak;
    const float total = static_cast<float>(out.frames());
    for (std::size_t i = 0; i < out.frames(); ++i) {
        const float t = static_cast<float>(i);
        const float in = std::min(1.0f, t / fadeIn);
        const float tail = std::clamp((total - t) / fadeOut, 0.0f, 1.0f);
        const float g = gain * in * tail * tail; // the tail eases out to silence
        out.left[i] *= g;
        out.right[i] *= g;
    }
}

} // namespace tolvane::content
