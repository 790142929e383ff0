#include "Spline.h"

#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tolvane::content {
namespace {

constexpr int kSamplesPerSegment = 256;

glm::vec3 catmullRom(const glm::vec3 p[4], float t)
{
    // Knot spacing by the square root of the chord length (centripetal).
    float k[4] = {0.0f};
    for (int i = 1; i < 4; ++i)
        k[i] = k[i - 1] + std::max(1e-4f, std::sqrt(glm::length(p[i] - p[i - 1])));
    const float u = k[1] + (k[2] - k[1]) * t;
    auto lerp = [](const glm::vec3& a, const glm::vec3& b, float ka, float kb, float x) {
        return a * ((kb - x) / (kb - ka)) + b * ((x - ka) / (kb - ka));
    };
    const glm::vec3 a1 = lerp(p[0], p[1], k[0], k[1], u);
    const glm::vec3 a2 = lerp(p[1], p[2], k[1], k[2], u);
    const glm::vec3 a3 = lerp(p[2], p[3], k[2], k[3], u);
    const glm::vec3 b1 = lerp(a1, a2, k[0], k[2], u);
    const glm::vec3 b2 = lerp(a2, a3, k[1], k[3], u);
    return lerp(b1, b2, k[1], k[2], u);
}

}  // namespace

Spline::Spline(const std::vector<glm::vec3>& keys)
{
    if (keys.size() < 2)
        throw std::runtime_error("a flight needs at least two key points");
    // Mirror the end keys so that the curve starts and ends heading straight.
    std::vector<glm::vec3> k;
    k.push_back(2.0f * keys.front() - keys[1]);
    k.insert(k.end(), keys.begin(), keys.end());
    k.push_back(2.0f * keys.back() - keys[keys.size() - 2]);
    points_.push_back(keys.front());
    lengths_.push_back(0.0f);
    for (std::size_t i = 0; i + 3 < k.size(); ++i) {
        for (int s = 1; s <= kSamplesPerSegment; ++s) {
            const glm::vec3 p = catmullRom(&k[i], static_cast<float>(s) / kSamplesPerSegment);
            lengths_.push_back(lengths_.back() + glm::length(p - points_.back()));
            points_.push_back(p);
        }
    }
}

glm::vec3 Spline::at(float s) const
{
    const float target = std::clamp(s, 0.0f, 1.0f) * length();
    const auto it = std::lower_bound(lengths_.begin(), lengths_.end(), target);
    if (it == lengths_.begin())
        return points_.front();
    if (it == lengths_.end())
        return points_.back();
    const std::size_t i = static_cast<std::size_t>(it - lengths_.begin());
    const float span = lengths_[i] - lengths_[i - 1];
    const float f = span > 0.0f ? (target - lengths_[i - 1]) / span : 0.0f;
    return points_[i - 1] + (points_[i] - points_[i - 1]) * f;
}

}  // namespace tolvane::content
