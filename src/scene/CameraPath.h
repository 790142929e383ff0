#pragma once

#include "scene/PathEvent.h"

#include <vector>

namespace tolvane {

// A scripted camera flight with its events, read from one XML file and then
// handed out one record at a time. There is no interpolation: the flight is
// exactly the sequence of sampled positions.
//
// File layout: spline_editor > spline > spline_point_array, whose child
// elements are the records in playback order ("spline_position" with x, y,
// z and time attributes, or one of the five event names). A position
// attribute that is missing or unparsable keeps the value the previous
// position element of the file gave it.
class CameraPath {
public:
    CameraPath();
    // Releases the records not handed out yet.
    ~CameraPath();

    CameraPath(const CameraPath&) = delete;
    CameraPath& operator=(const CameraPath&) = delete;

    // Reads fileName and replaces the records. With `reverse` true next()
    // hands them out in file order, with false from the last element to the
    // first. A file that cannot be read, or lacks one of the three wrapper
    // elements, gives a path without records and prints one line that names
    // the file and the reason; unknown element names print
    // "Unknown Event Type '<name>'" and are skipped.
    void load(bool reverse);

    // Removes the next record and hands it to the caller, who owns it from
    // then on; null when there is none. Sets `finished` once the last record
    // has gone (or a record was asked of an empty path).
    PathEvent* next();

    bool finished = false;           // never goes back to false
    const char* fileName = nullptr;  // not owned; set before load()
    std::vector<PathEvent*> events;  // owned; playback takes from the back
};

}  // namespace tolvane
