#include "StereoBuffer.h"

#include <algorithm>
#include <cmath>

namespace tolvane::content {

void StereoBuffer::mix(const std::vector<float>& voice, std::size_t start, float gain, float pan)
{
    const float angle = (pan + 1.0f) * 0.25f * 3.14159265f;
    const float gl = gain * std::cos(angle);
    const float gr = gain * std::sin(angle);
    const std::size_t end = std::min(frames(), start + voice.size());
    for (std::size_t i = start; i < end; ++i) {
        left[i] += gl * voice[i - start];
        right[i] += gr * voice[i - start];
    }
}

}  // namespace tolvane::content
