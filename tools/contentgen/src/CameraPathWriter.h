#pragma once
#include "FlightSampler.h"

#include <string>
#include <vector>

namespace tolvane::content {

// Writes a camera-path file: spline_editor / spline / spline_point_array
// holding the elements. With `reversed` the file lists them back to front,
// for a file that the demo plays from its last element.
class CameraPathWriter {
public:
    static std::string toXml(const std::vector<PathElement>& elements, bool reversed);
    static void write(const std::vector<PathElement>& elements, bool reversed, const std::string& path);
};

}  // namespace tolvane::content
