#include "scene/CameraPath.h"

#include "base/Diagnostics.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace tolvane {

namespace {

struct EventName {
    const char* element;
    PathEventType type;
};

const EventName kEventNames[] = {
    {"fade_in", FadeIn}, {"fade_out", FadeOut}, {"fire_on", FireOn}, {"fire_off", FireOff}, {"credits", Credits},
};

// The four values of a position element carry over to the next one when an
// attribute is missing or does not start with a number.
struct RunningPosition {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float time = 0.0f;
};

void readFloatAttribute(const tinyxml2::XMLElement& element, const char* name, float& value)
{
    const char* text = element.Attribute(name);
    if (text != nullptr) {
        // Like "%f": leading blanks skipped, trailing text ignored, and a
        // failed conversion leaves the value alone.
        std::sscanf(text, "%f", &value);
    }
}

PathEvent* readPosition(const tinyxml2::XMLElement& element, RunningPosition& running)
{
    readFloatAttribute(element, "x", running.x);
    readFloatAttribute(element, "y", running.y);
    readFloatAttribute(element, "z", running.z);
    readFloatAttribute(element, "time", running.time);
    auto* event = new PathEvent();
    event->type = SplinePosition;
    event->time = running.time;
    event->position = glm::vec3(running.x, running.y, running.z);
    return event;
}

// A new record for an event element, or null for an unknown name.
PathEvent* readEvent(const char* name)
{
    for (const EventName& entry : kEventNames) {
        if (std::strcmp(name, entry.element) == 0) {
            auto* event = new PathEvent();
            event->type = entry.type;
            return event;
        }
    }
    return nullptr;
}

const char* describeLoadError(tinyxml2::XMLError error)
{
    switch (error) {
    case tinyxml2::XML_ERROR_FILE_NOT_FOUND: return "file not found";
    case tinyxml2::XML_ERROR_FILE_COULD_NOT_BE_OPENED: return "file could not be opened";
    case tinyxml2::XML_ERROR_FILE_READ_ERROR: return "file could not be read";
    case tinyxml2::XML_ERROR_EMPTY_DOCUMENT: return "file is empty";
    default: return "malformed XML";
    }
}

// The element whose children are the records, or null after reporting why
// the file gives none.
const tinyxml2::XMLElement* findPointArray(tinyxml2::XMLDocument& document, const char* fileName)
{
    if (fileName == nullptr) {
        logMessage("Camera path not loaded: no file name set");
        return nullptr;
    }
    const tinyxml2::XMLError error = document.LoadFile(fileName);
    if (error != tinyxml2::XML_SUCCESS) {
        if (document.ErrorLineNum() > 0) {
            logMessage("Camera path '%s' not loaded: %s (line %d)", fileName, describeLoadError(error),
                       document.ErrorLineNum());
        } else {
            logMessage("Camera path '%s' not loaded: %s", fileName, describeLoadError(error));
        }
        return nullptr;
    }
    const tinyxml2::XMLElement* element = document.FirstChildElement("spline_editor");
    if (element != nullptr) {
        element = element->FirstChildElement("spline");
    }
    if (element != nullptr) {
        element = element->FirstChildElement("spline_point_array");
    }
    if (element == nullptr) {
        logMessage("Camera path '%s' not loaded: no spline_editor/spline/spline_point_array element", fileName);
    }
    return element;
}

}  // namespace

CameraPath::CameraPath() = default;

CameraPath::~CameraPath()
{
    for (PathEvent* event : events) {
        delete event;
    }
}

void CameraPath::load(bool reverse)
{
    std::vector<PathEvent*> loaded;
    tinyxml2::XMLDocument document;
    const tinyxml2::XMLElement* pointArray = findPointArray(document, fileName);
    const tinyxml2::XMLElement* element = pointArray ? pointArray->FirstChildElement() : nullptr;
    RunningPosition running;
    for (; element != nullptr; element = element->NextSiblingElement()) {
        const char* name = element->Name();
        if (std::strcmp(name, "spline_position") == 0) {
            loaded.push_back(readPosition(*element, running));
        } else if (PathEvent* event = readEvent(name)) {
            loaded.push_back(event);
        } else {
            logMessage("Unknown Event Type '%s'", name);
        }
    }
    if (reverse) {
        std::reverse(loaded.begin(), loaded.end());
    }
    for (PathEvent* event : events) {
        delete event;
    }
    events = std::move(loaded);
}

PathEvent* CameraPath::next()
{
    if (events.empty()) {
        finished = true;
        return nullptr;
    }
    PathEvent* event = events.back();
    events.pop_back();
    if (events.empty()) {
        finished = true;
    }
    return event;
}

}  // namespace tolvane
