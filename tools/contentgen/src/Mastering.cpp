#include "Mastering.h"

#include "StereoBuffer.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

namespace tolvane::content {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Biquad {
    double b0, b1, b2, a1, a2;

    std::vector<double> run(const std::vector<float>& in) const
    {
        std::vector<double> out(in.size());
        double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
        for (std::size_t i = 0; i < in.size(); ++i) {
            const double x = in[i];
            const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
            out[i] = y;
        }
        return out;
    }
};

// The two stages of BS.1770's K-weighting (a shelf that models the head, a
// high-pass that ignores rumble), derived for any rate from their analogue
// prototypes; at 48 kHz they give the coefficients the standard tabulates.
Biquad headShelf(double rate)
{
    const double gainDb = 3.99984385397, q = 0.7071752369554193, fc = 1681.9744509555319;
    const double k = std::tan(kPi * fc / rate);
    const double vh = std::pow(10.0, gainDb / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad rumbleCut(double rate)
{
    const double q = 0.5003270373253953, fc = 38.13547087613982;
    const double k = std::tan(kPi * fc / rate);
    const double a0 = 1.0 + k / q + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

std::vector<double> kWeighted(const std::vector<float>& channel)
{
    const std::vector<double> shelved = headShelf(Mastering::kSampleRate).run(channel);
    const Biquad cut = rumbleCut(Mastering::kSampleRate);
    std::vector<float> narrowed(shelved.begin(), shelved.end());
    return cut.run(narrowed);
}

double loudnessOfPower(double power)
{
    return -0.691 + 10.0 * std::log10(std::max(power, 1e-20));
}

// Mean square of both K-weighted channels over 400 ms blocks, overlapping
// by three quarters.
std::vector<double> blockPowers(const StereoBuffer& buffer)
{
    const std::vector<double> left = kWeighted(buffer.left);
    const std::vector<double> right = kWeighted(buffer.right);
    const auto block = static_cast<std::size_t>(0.4f * Mastering::kSampleRate);
    const std::size_t hop = block / 4;
    std::vector<double> powers;
    for (std::size_t from = 0; from + block <= buffer.frames(); from += hop) {
        double sum = 0.0;
        for (std::size_t i = from; i < from + block; ++i)
            sum += left[i] * left[i] + right[i] * right[i];
        powers.push_back(sum / static_cast<double>(block));
    }
    return powers;
}

// A peak between samples, estimated by the cubic through four neighbours
// at the midpoint: close enough to a 4x oversampled true peak for music.
float midpoint(const std::vector<float>& s, std::size_t i)
{
    if (i == 0 || i + 2 >= s.size())
        return 0.0f;
    return (-s[i - 1] + 9.0f * s[i] + 9.0f * s[i + 1] - s[i + 2]) / 16.0f;
}

float peakAt(const StereoBuffer& buffer, std::size_t i)
{
    return std::max({std::fabs(buffer.left[i]), std::fabs(buffer.right[i]), std::fabs(midpoint(buffer.left, i)),
                     std::fabs(midpoint(buffer.right, i))});
}

// out[i] = the least of in[i - radius .. i + radius].
std::vector<float> slidingMinimum(const std::vector<float>& in, std::size_t radius)
{
    std::vector<float> out(in.size());
    std::deque<std::size_t> window;  // indices of increasing values
    std::size_t next = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        for (; next < in.size() && next <= i + radius; ++next) {
            while (!window.empty() && in[window.back()] >= in[next])
                window.pop_back();
            window.push_back(next);
        }
        while (window.front() + radius < i)
            window.pop_front();
        out[i] = in[window.front()];
    }
    return out;
}

}  // namespace

double Mastering::integratedLoudness(const StereoBuffer& buffer)
{
    const std::vector<double> powers = blockPowers(buffer);
    // Absolute gate at -70 LUFS, then a relative gate 10 LU under the mean
    // of what passed it: pauses and fades do not pull the figure down.
    double sum = 0.0;
    std::size_t count = 0;
    for (double p : powers)
        if (loudnessOfPower(p) > -70.0) {
            sum += p;
            ++count;
        }
    if (count == 0)
        return -70.0;
    const double relativeGate = loudnessOfPower(sum / static_cast<double>(count)) - 10.0;
    sum = 0.0;
    count = 0;
    for (double p : powers)
        if (loudnessOfPower(p) > -70.0 && loudnessOfPower(p) > relativeGate) {
            sum += p;
            ++count;
        }
    return count == 0 ? -70.0 : loudnessOfPower(sum / static_cast<double>(count));
}

float Mastering::truePeak(const StereoBuffer& buffer)
{
    float peak = 0.0f;
    for (std::size_t i = 0; i < buffer.frames(); ++i)
        peak = std::max(peak, peakAt(buffer, i));
    return peak;
}

void Mastering::master(StereoBuffer& buffer, double targetLufs, double ceilingDbtp)
{
    const auto ceiling = static_cast<float>(std::pow(10.0, ceilingDbtp / 20.0));
    // Limiting takes a little loudness away; a few rounds of gain and limit
    // converge on the target.
    for (int round = 0; round < 4; ++round) {
        const double missing = targetLufs - integratedLoudness(buffer);
        if (std::fabs(missing) < 0.05)
            break;
        const auto gain = static_cast<float>(std::pow(10.0, missing / 20.0));
        for (std::size_t i = 0; i < buffer.frames(); ++i) {
            buffer.left[i] *= gain;
            buffer.right[i] *= gain;
        }
        limit(buffer, ceiling);
    }
}

// The gain each sample may have is spread over a window either side (a
// sliding minimum, then a moving average of the same width), so the gain
// falls smoothly ahead of a peak, never exceeds what any sample in reach
// allows, and recovers over the release time instead of pumping.
void Mastering::limit(StereoBuffer& buffer, float ceiling)
{
    const std::size_t frames = buffer.frames();
    const auto radius = static_cast<std::size_t>(0.003f * kSampleRate);
    std::vector<float> allowed(frames);
    for (std::size_t i = 0; i < frames; ++i)
        allowed[i] = std::min(1.0f, ceiling / std::max(peakAt(buffer, i), 1e-9f));
    std::vector<float> gain = slidingMinimum(allowed, radius);
    const float release = 1.0f - std::exp(-1.0f / (0.15f * kSampleRate));
    for (std::size_t i = 1; i < frames; ++i)
        gain[i] = std::min(gain[i], gain[i - 1] + (1.0f - gain[i - 1]) * release);
    // Moving average over 2 * radius + 1 samples (fewer at the ends); every
    // sample averaged lies within the minimum's reach of the one it scales.
    std::vector<double> prefix(frames + 1, 0.0);
    for (std::size_t i = 0; i < frames; ++i)
        prefix[i + 1] = prefix[i] + gain[i];
    std::vector<float> smooth(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const std::size_t from = i > radius ? i - radius : 0;
        const std::size_t to = std::min(frames, i + radius + 1);
        smooth[i] = static_cast<float>((prefix[to] - prefix[from]) / static_cast<double>(to - from));
    }
    for (std::size_t i = 0; i < frames; ++i) {
        buffer.left[i] *= smooth[i];
        buffer.right[i] *= smooth[i];
    }
}

}  // namespace tolvane::content
