#pragma once
#include <glm/vec3.hpp>

#include <string>
#include <vector>

namespace tolvane::content {

// One camera flight as described in data/camera_flights.txt.
struct FlightPlan {
    struct Event {
        std::string name;
        float at = 0.0f;     // seconds from the start; negative: from the end
        bool atEnd = false;  // after the last position
    };

    std::string file;
    bool playedBackward = false;
    float seconds = 0.0f;
    std::vector<glm::vec3> keys;
    std::vector<Event> events;

    // Reads every flight of a description; throws on malformed lines.
    static std::vector<FlightPlan> parse(const std::string& text);
};

}  // namespace tolvane::content
