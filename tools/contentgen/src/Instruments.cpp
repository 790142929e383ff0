#include "Instruments.h"

#include "Rng.h"

#include <cmath>

namespace tolvane::content {
namespace {

constexpr float kPi = 3.14159265f;

float seconds(std::size_t sample)
{
    return static_cast<float>(sample) / Instruments::kSampleRate;
}

}  // namespace

std::vector<float> Instruments::pluck(float frequency, float sustain, float brightness, std::uint64_t seed)
{
    const auto period = static_cast<std::size_t>(kSampleRate / frequency + 0.5f);
    const std::size_t length = static_cast<std::size_t>(sustain * kSampleRate);
    // Loss per pass so that the string falls by 60 dB in `sustain` seconds.
    const float passes = sustain * frequency;
    const float loss = std::pow(0.001f, 1.0f / passes);
    std::vector<float> line(period);
    Rng rng(seed);
    float smoothed = 0.0f;
    for (float& s : line) {
        smoothed += (static_cast<float>(rng.range(-1.0, 1.0)) - smoothed) * (0.2f + 0.8f * brightness);
        s = smoothed;
    }
    std::vector<float> out(length);
    float previous = 0.0f;
    for (std::size_t i = 0; i < length; ++i) {
        const std::size_t k = i % period;
        const float current = line[k];
        line[k] = loss * 0.5f * (current + previous);
        previous = current;
        const float attack = std::min(1.0f, seconds(i) * 400.0f);
        out[i] = current * attack;
    }
    return out;
}

std::vector<float> Instruments::drumThump(float gain, std::uint64_t seed)
{
    const std::size_t length = kSampleRate * 6 / 10;
    std::vector<float> out(length);
    Rng rng(seed);
    float phase = 0.0f;
    float noise = 0.0f;
    for (std::size_t i = 0; i < length; ++i) {
        const float t = seconds(i);
        const float pitch = 58.0f + 40.0f * std::exp(-t * 25.0f);
        phase += 2.0f * kPi * pitch / kSampleRate;
        noise += (static_cast<float>(rng.range(-1.0, 1.0)) - noise) * 0.08f;
        const float body = std::sin(phase) * std::exp(-t * 6.0f);
        const float skin = noise * std::exp(-t * 40.0f) * 0.6f;
        out[i] = gain * (body + skin) * std::min(1.0f, t * 800.0f);
    }
    return out;
}

std::vector<float> Instruments::drumTap(float gain, std::uint64_t seed)
{
    const std::size_t length = kSampleRate / 5;
    std::vector<float> out(length);
    Rng rng(seed);
    float low = 0.0f;
    float phase = 0.0f;
    for (std::size_t i = 0; i < length; ++i) {
        const float t = seconds(i);
        const float white = static_cast<float>(rng.range(-1.0, 1.0));
        low += (white - low) * 0.3f;
        phase += 2.0f * kPi * 190.0f / kSampleRate;
        out[i] = gain * ((white - low) * 0.5f * std::exp(-t * 55.0f) + 0.4f * std::sin(phase) * std::exp(-t * 30.0f));
    }
    return out;
}

std::vector<float> Instruments::bowed(float frequency, float secondsLong, std::uint64_t seed)
{
    const std::size_t length = static_cast<std::size_t>(secondsLong * kSampleRate);
    std::vector<float> out(length);
    Rng rng(seed);
    float phase = static_cast<float>(rng.unit());
    const float vibratoPhase = static_cast<float>(rng.unit()) * 2.0f * kPi;
    // Two one-pole low-passes a few harmonics above the note keep it soft.
    const float cutoff = std::min(0.9f, 2.0f * kPi * frequency * 3.0f / kSampleRate);
    float low1 = 0.0f;
    float low2 = 0.0f;
    for (std::size_t i = 0; i < length; ++i) {
        const float t = seconds(i);
        const float vibrato = 1.0f + 0.004f * std::min(1.0f, t * 1.5f) * std::sin(2.0f * kPi * 5.2f * t + vibratoPhase);
        phase += frequency * vibrato / kSampleRate;
        phase -= std::floor(phase);
        low1 += (2.0f * phase - 1.0f - low1) * cutoff;
        low2 += (low1 - low2) * cutoff;
        const float swell = std::min(1.0f, t / 0.35f) * std::min(1.0f, (secondsLong - t) / 0.5f);
        out[i] = low2 * swell;
    }
    return out;
}

std::vector<float> Instruments::drone(float frequency, float secondsLong, std::uint64_t seed)
{
    const std::size_t length = static_cast<std::size_t>(secondsLong * kSampleRate);
    std::vector<float> out(length);
    Rng rng(seed);
    const float detune[3] = {1.0f, 1.0031f, 0.9972f};
    float phase[3] = {0.0f, static_cast<float>(rng.unit()), static_cast<float>(rng.unit())};
    float filtered = 0.0f;
    for (std::size_t i = 0; i < length; ++i) {
        const float t = seconds(i);
        float v = 0.0f;
        for (int k = 0; k < 3; ++k) {
            phase[k] += frequency * detune[k] / kSampleRate;
            phase[k] -= std::floor(phase[k]);
            v += 2.0f * phase[k] - 1.0f;  // a sawtooth, tamed by the filter below
        }
        const float breath = 0.75f + 0.25f * std::sin(2.0f * kPi * t / 7.3f);
        filtered += (v / 3.0f - filtered) * (0.025f + 0.01f * breath);
        out[i] = filtered * breath;
    }
    return out;
}

}  // namespace tolvane::content
