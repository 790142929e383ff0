#pragma once
#include <glm/vec3.hpp>

#include <vector>

namespace tolvane::content {

// A centripetal Catmull-Rom curve through key points (no loops or cusps
// between close keys), measured by arc length so that it can be travelled
// at an even speed.
class Spline {
public:
    explicit Spline(const std::vector<glm::vec3>& keys);

    float length() const { return lengths_.back(); }
    // The point at distance fraction s (0..1) along the curve.
    glm::vec3 at(float s) const;

private:
    std::vector<glm::vec3> points_;  // dense polyline along the curve
    std::vector<float> lengths_;     // arc length up to each point
};

}  // namespace tolvane::content
