#pragma once
#include <cstddef>
#include <vector>

namespace tolvane::content {

// Interleaved-free stereo signal: one vector per channel, floats about +-1.
struct StereoBuffer {
    explicit StereoBuffer(std::size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}

    std::size_t frames() const { return left.size(); }

    // Mixes a mono voice in at `start` with a constant-power pan (-1 .. 1).
    void mix(const std::vector<float>& voice, std::size_t start, float gain, float pan);

    std::vector<float> left;
    std::vector<float> right;
};

}  // namespace tolvane::content
