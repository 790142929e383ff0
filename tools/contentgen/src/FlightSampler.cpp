#include "FlightSampler.h"

#include "Spline.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace tolvane::content {

float FlightSampler::ease(float t)
{
    const float r = 0.2f;
    const float norm = 2.0f * r * (1.0f - r);
    if (t < r)
        return t * t / norm;
    if (t > 1.0f - r)
        return 1.0f - (1.0f - t) * (1.0f - t) / norm;
    return (t - 0.5f * r) / (1.0f - r);
}

std::vector<PathElement> FlightSampler::sample(const FlightPlan& plan)
{
    const Spline spline(plan.keys);
    const int count = std::max(2, static_cast<int>(std::lround(plan.seconds * kStepsPerSecond)));
    // Events that follow each position, in the order the plan lists them.
    std::multimap<int, std::string> after;
    for (const FlightPlan::Event& e : plan.events) {
        int index = count - 1;
        if (!e.atEnd) {
            const int steps = static_cast<int>(std::lround(e.at * kStepsPerSecond));
            index = e.at < 0.0f ? count - 1 + steps : steps;
        }
        after.emplace(std::clamp(index, 0, count - 1), e.name);
    }
    std::vector<PathElement> elements;
    for (int i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / (count - 1);
        elements.push_back({"spline_position", spline.at(ease(t)), static_cast<float>(i) / kStepsPerSecond});
        const auto range = after.equal_range(i);
        for (auto it = range.first; it != range.second; ++it)
            elements.push_back({it->second, glm::vec3(0.0f), 0.0f});
    }
    return elements;
}

}  // namespace tolvane::content
