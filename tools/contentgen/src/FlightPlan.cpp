#include "FlightPlan.h"

#include <sstream>
#include <stdexcept>

namespace tolvane::content {
namespace {

void fail(int line, const std::string& what)
{
    throw std::runtime_error("camera flights, line " + std::to_string(line) + ": " + what);
}

void readFlight(std::istringstream& words, FlightPlan& plan, int line)
{
    std::string order;
    if (!(words >> plan.file >> order >> plan.seconds) || (order != "forward" && order != "backward"))
        fail(line, "expected: flight <file> <forward|backward> <seconds>");
    plan.playedBackward = order == "backward";
}

void readEvent(std::istringstream& words, FlightPlan& plan, int line)
{
    FlightPlan::Event event;
    std::string at;
    if (!(words >> event.name >> at))
        fail(line, "expected: event <name> <seconds|end>");
    event.atEnd = at == "end";
    if (!event.atEnd)
        event.at = std::stof(at);
    plan.events.push_back(event);
}

}  // namespace

std::vector<FlightPlan> FlightPlan::parse(const std::string& text)
{
    std::vector<FlightPlan> plans;
    std::istringstream lines(text);
    std::string raw;
    FlightPlan* open = nullptr;
    for (int line = 1; std::getline(lines, raw); ++line) {
        std::istringstream words(raw.substr(0, raw.find('#')));
        std::string word;
        if (!(words >> word))
            continue;
        if (word == "flight") {
            plans.emplace_back();
            open = &plans.back();
            readFlight(words, *open, line);
        } else if (!open) {
            fail(line, "'" + word + "' outside a flight");
        } else if (word == "key") {
            glm::vec3 p;
            if (!(words >> p.x >> p.y >> p.z))
                fail(line, "expected: key x y z");
            open->keys.push_back(p);
        } else if (word == "event") {
            readEvent(words, *open, line);
        } else if (word == "end") {
            open = nullptr;
        } else {
            fail(line, "unknown word '" + word + "'");
        }
    }
    return plans;
}

}  // namespace tolvane::content
