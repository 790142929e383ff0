#include "Reverb.h"

#include "StereoBuffer.h"

#include <cstddef>

namespace tolvane::content {

std::vector<float> Reverb::process(const std::vector<float>& in, int spread)
{
    const int combDelays[4] = {1557, 1617, 1491, 1422};
    const int allpassDelays[2] = {556, 441};
    std::vector<float> out(in.size(), 0.0f);
    for (int delay : combDelays) {
        std::vector<float> line(static_cast<std::size_t>(delay + spread), 0.0f);
        float damp = 0.0f;
        std::size_t pos = 0;
        for (std::size_t i = 0; i < in.size(); ++i) {
            const float y = line[pos];
            damp = y * 0.6f + damp * 0.4f;
            line[pos] = in[i] + damp * 0.82f;
            out[i] += y * 0.25f;
            pos = (pos + 1) % line.size();
        }
    }
    for (int delay : allpassDelays) {
        std::vector<float> line(static_cast<std::size_t>(delay + spread / 2), 0.0f);
        std::size_t pos = 0;
        for (float& sample : out) {
            const float buffered = line[pos];
            line[pos] = sample + buffered * 0.5f;
            sample = buffered - sample * 0.5f;
            pos = (pos + 1) % line.size();
        }
    }
    return out;
}

void Reverb::apply(StereoBuffer& buffer, float wet)
{
    const std::vector<float> left = process(buffer.left, 0);
    const std::vector<float> right = process(buffer.right, 23);
    for (std::size_t i = 0; i < buffer.frames(); ++i) {
        buffer.left[i] = buffer.left[i] * (1.0f - wet) + left[i] * wet;
        buffer.right[i] = buffer.right[i] * (1.0f - wet) + right[i] * wet;
    }
}

}  // namespace tolvane::content
