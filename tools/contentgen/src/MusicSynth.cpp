#include "MusicSynth.h"

#include "Instruments.h"
#include "Mastering.h"
#include "Reverb.h"
#include "Rng.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tolvane::content {
namespace {

constexpr float kEighth = MusicSynth::kBarSeconds / 6.0f;

float midiHz(int note)
{
    return 440.0f * std::pow(2.0f, static_cast<float>(note - 69) / 12.0f);
}

std::size_t at(int bar, float eighths)
{
    return static_cast<std::size_t>((bar * MusicSynth::kBarSeconds + eighths * kEighth) * Instruments::kSampleRate);
}

// Eight-bar cycle: i - i - VII - VII - IV - IV - i - v (Dm, C, G major, Am),
// counted from the theme's first bar, so that every phrase starts on i.
struct Chord {
    int root;   // MIDI note of the root in the low octave
    int third;  // semitones
};

Chord chordAt(int step)
{
    static const Chord cycle[8] = {{50, 3}, {50, 3}, {48, 4}, {48, 4}, {43, 4}, {43, 4}, {50, 3}, {45, 3}};
    return cycle[step % 8];
}

// In the coda the chords change every second bar, under the slowed theme; its
// last bars rest on D minor.
Chord chordOfBar(int bar, int bars)
{
    if (bar < MusicSynth::kCodaBar)
        return chordAt(bar - MusicSynth::kThemeBar + 8 * MusicSynth::kThemeBar);
    if (bar >= bars - 6)
        return chordAt(0);
    return chordAt((bar - MusicSynth::kCodaBar) / 2);
}

// D dorian scale degrees as MIDI notes from D4 upwards.
int dorian(int degree)
{
    static const int steps[7] = {0, 2, 3, 5, 7, 9, 10};
    const int octave = degree >= 0 ? degree / 7 : (degree - 6) / 7;
    return 62 + 12 * octave + steps[degree - octave * 7];
}

struct Note {
    int degree;
    float eighths;  // length
};
using Phrase = std::vector<std::vector<Note>>;  // one entry per bar

// The theme: a falling opening answered by a climb, then the answer that
// comes home to D. Eight bars, over one turn of the chord cycle.
const Phrase& themeA()
{
    static const Phrase notes = {
        {{4, 3}, {3, 1}, {2, 2}}, {{0, 3}, {1, 1}, {2, 2}}, {{4, 2}, {5, 1}, {6, 2}, {5, 1}},  {{4, 6}},
        {{4, 3}, {3, 1}, {2, 2}}, {{1, 2}, {2, 1}, {3, 3}}, {{2, 2}, {1, 1}, {0, 2}, {-1, 1}}, {{0, 6}}};
    return notes;
}

// The build's theme: an octave up, busier, leaning on the upper notes.
const Phrase& themeB()
{
    static const Phrase notes = {
        {{7, 2}, {6, 1}, {7, 2}, {9, 1}}, {{8, 3}, {7, 1}, {6, 2}}, {{6, 2}, {7, 1}, {8, 2}, {7, 1}}, {{4, 3}, {6, 3}},
        {{5, 2}, {6, 1}, {7, 2}, {5, 1}}, {{8, 3}, {7, 3}},         {{9, 2}, {8, 1}, {7, 3}},         {{4, 6}}};
    return notes;
}

// Plays a phrase from `firstBar`, bars stretched by `stretch`; `vary` turns
// some long notes into a note and its upper neighbour, different on every
// pass, so that no repeat is a copy of the last.
void playPhrase(StereoBuffer& out, const Phrase& phrase, int firstBar, int bars, int transpose, float gain, float vary,
                Rng& rng)
{
    for (std::size_t b = 0; b < phrase.size(); ++b) {
        const int bar = firstBar + static_cast<int>(b);
        if (bar >= bars)
            return;
        float eighth = 0.0f;
        for (const Note& note : phrase[b]) {
            const int degree = note.degree + transpose;
            const bool split = note.eighths >= 2.0f && rng.unit() < vary;
            const float first = split ? note.eighths - 1.0f : note.eighths;
            const float ring = std::min(3.5f, 0.9f + first * 0.35f);
            out.mix(Instruments::pluck(midiHz(dorian(degree)), ring, 0.7f, rng.nextU64()), at(bar, eighth), gain, 0.3f);
            if (split)
                out.mix(Instruments::pluck(midiHz(dorian(degree + 1)), 1.2f, 0.6f, rng.nextU64()),
                        at(bar, eighth + first), gain * 0.8f, 0.3f);
            eighth += note.eighths;
        }
    }
}

// Smoothly interpolated loudness over the piece, in decibels: the opening is
// quiet, the build climbs to the climax, the coda settles back down.
float levelDb(float seconds, float total)
{
    const float bar = MusicSynth::kBarSeconds;
    const float points[][2] = {{0.0f, -5.0f},
                               {MusicSynth::kThemeBar * bar, -5.0f},
                               {MusicSynth::kBuildBar * bar, -4.0f},
                               {MusicSynth::kClimaxBar * bar, -1.0f},
                               {MusicSynth::kCodaBar * bar - bar, 0.0f},
                               {MusicSynth::kCodaBar * bar + 2.0f * bar, -3.0f},
                               {total, -5.0f}};
    const int n = sizeof points / sizeof points[0];
    for (int i = 1; i < n; ++i)
        if (seconds < points[i][0]) {
            const float f = (seconds - points[i - 1][0]) / (points[i][0] - points[i - 1][0]);
            const float s = f * f * (3.0f - 2.0f * f);
            return points[i - 1][1] + (points[i][1] - points[i - 1][1]) * s;
        }
    return points[n - 1][1];
}

}  // namespace

StereoBuffer MusicSynth::compose(float seconds)
{
    const int bars = std::max(kShortestPiece, static_cast<int>(std::ceil(seconds / kBarSeconds)));
    StereoBuffer out(static_cast<std::size_t>(bars * kBarSeconds * Instruments::kSampleRate));
    drone(out);
    drum(out, bars);
    harmony(out, bars);
    melody(out, bars);
    coda(out, bars);
    Reverb::apply(out, 0.25f);
    shape(out);
    Mastering::master(out, kLoudnessLufs, kCeilingDbtp);
    return out;
}

void MusicSynth::drone(StereoBuffer& out)
{
    const float length = static_cast<float>(out.frames()) / Instruments::kSampleRate;
    out.mix(Instruments::drone(midiHz(38), length, 1), 0, 0.16f, -0.2f);
    out.mix(Instruments::drone(midiHz(45), length, 2), 0, 0.1f, 0.2f);
}

// Silent in the opening; a heartbeat under the theme; the full pattern in
// the build, with fills in the climax; one last stroke opens the coda.
void MusicSynth::drum(StereoBuffer& out, int bars)
{
    Rng rng(3);
    for (int bar = kThemeBar; bar < kCodaBar; ++bar) {
        const bool full = bar >= kBuildBar;
        out.mix(Instruments::drumThump(full ? 0.5f : 0.32f, rng.nextU64()), at(bar, 0), 1.0f, 0.0f);
        if (!full)
            continue;
        out.mix(Instruments::drumThump(0.28f, rng.nextU64()), at(bar, 3), 1.0f, 0.05f);
        for (int e : {2, 5})
            out.mix(Instruments::drumTap(0.12f + 0.06f * static_cast<float>(rng.unit()), rng.nextU64()), at(bar, e),
                    1.0f, 0.3f);
        if (bar % 4 == 3 || bar >= kClimaxBar)
            out.mix(Instruments::drumTap(0.1f, rng.nextU64()), at(bar, 4.5f), 1.0f, -0.3f);
        if (bar >= kClimaxBar)
            out.mix(Instruments::drumThump(0.22f, rng.nextU64()), at(bar, 5), 1.0f, -0.05f);
    }
    if (kCodaBar < bars)
        out.mix(Instruments::drumThump(0.45f, rng.nextU64()), at(kCodaBar, 0), 1.0f, 0.0f);
}

// A plucked bass and arpeggio: sparse in the opening, every eighth from the
// theme on, two notes a bar with a long ring in the coda.
void MusicSynth::harmony(StereoBuffer& out, int bars)
{
    Rng rng(4);
    for (int bar = 2; bar < bars - 1; ++bar) {
        const Chord c = chordOfBar(bar, bars);
        const bool coda = bar >= kCodaBar;
        out.mix(Instruments::pluck(midiHz(c.root - 12), coda ? 5.0f : 4.0f, 0.3f, rng.nextU64()), at(bar, 0), 0.45f,
                -0.1f);
        if (bar >= kClimaxBar && !coda)
            out.mix(Instruments::pluck(midiHz(c.root - 12), 2.0f, 0.35f, rng.nextU64()), at(bar, 3), 0.35f, -0.1f);
        const int pattern[6] = {0, 7, 12, c.third + 12, 12, 7};
        for (int e = 0; e < 6; ++e) {
            const bool sparse = bar < kThemeBar || coda;
            if (sparse && e % 3 != 0 && !(bar < kThemeBar && e == 4))
                continue;
            out.mix(Instruments::pluck(midiHz(c.root + 12 + pattern[e]), coda ? 3.5f : 2.2f, 0.45f, rng.nextU64()),
                    at(bar, e), 0.18f, -0.45f);
        }
    }
}

// The theme twice (the second time varied), the build's theme twice (the
// second time a step higher in the scale), and in the climax the theme an
// octave up, doubled.
void MusicSynth::melody(StereoBuffer& out, int bars)
{
    Rng rng(5);
    const int coda = std::min(bars, kCodaBar);
    playPhrase(out, themeA(), kThemeBar, coda, 0, 0.26f, 0.0f, rng);
    playPhrase(out, themeA(), kThemeBar + 8, coda, 0, 0.26f, 0.35f, rng);
    playPhrase(out, themeB(), kBuildBar, coda, 0, 0.24f, 0.2f, rng);
    playPhrase(out, themeB(), kBuildBar + 8, coda, 1, 0.26f, 0.4f, rng);
    playPhrase(out, themeA(), kClimaxBar, coda, 7, 0.26f, 0.3f, rng);
    playPhrase(out, themeA(), kClimaxBar, coda, 0, 0.18f, 0.0f, rng);
}

// The theme at half speed on a bowed voice; its last D, doubled by a low
// pluck, rings on while the piece fades.
void MusicSynth::coda(StereoBuffer& out, int bars)
{
    Rng rng(6);
    int bar = kCodaBar;
    for (const auto& measure : themeA()) {
        float eighth = 0.0f;
        for (const Note& note : measure) {
            const float length = 2.0f * note.eighths * kEighth;
            const std::size_t start = at(bar, 2.0f * eighth);
            out.mix(Instruments::bowed(midiHz(dorian(note.degree)), length + 0.4f, rng.nextU64()), start, 0.2f, 0.25f);
            eighth += note.eighths;
        }
        bar += 2;
    }
    const int last = std::min(bar - 2, bars - 4);
    out.mix(Instruments::pluck(midiHz(dorian(-7)), 6.0f, 0.5f, rng.nextU64()), at(last, 0), 0.3f, 0.0f);
}

void MusicSynth::shape(StereoBuffer& out)
{
    const float rate = static_cast<float>(Instruments::kSampleRate);
    const float fadeIn = kFadeInSeconds * rate;
    const float fadeOut = kFadeOutSeconds * rate;
    const float total = static_cast<float>(out.frames());
    std::vector<float> level(out.frames());
    for (std::size_t i = 0; i < out.frames(); ++i)
        level[i] = std::pow(10.0f, levelDb(static_cast<float>(i) / rate, total / rate) / 20.0f);
    for (std::size_t i = 0; i < out.frames(); ++i) {
        const float t = static_cast<float>(i);
        const float in = std::min(1.0f, t / fadeIn);
        const float tail = std::clamp((total - t) / fadeOut, 0.0f, 1.0f);
        const float g = level[i] * in * tail * tail;  // the tail eases out to silence
        out.left[i] *= g;
        out.right[i] *= g;
    }
}

}  // namespace tolvane::content
