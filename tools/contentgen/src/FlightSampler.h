#pragma once
#include "FlightPlan.h"

#include <string>
#include <vector>

namespace tolvane::content {

// One element of a camera-path file: a sampled position or a named event.
struct PathElement {
    std::string name;  // "spline_position" or the event's element name
    glm::vec3 position{0.0f};
    float time = 0.0f;
};

// Turns a flight plan into the elements the demo plays, in playing order.
class FlightSampler {
public:
    static constexpr int kStepsPerSecond = 50;

    static std::vector<PathElement> sample(const FlightPlan& plan);

private:
    // Fraction of the way travelled after fraction t of the time: the camera
    // gathers speed over the first fifth and slows over the last.
    static float ease(float t);
};

}  // namespace tolvane::content
