#include "CameraPathWriter.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace tolvane::content {
namespace {

std::string elementLine(const PathElement& e)
{
    if (e.name != "spline_position")
        return "      <" + e.name + "/>\n";
    char line[160];
    std::snprintf(line, sizeof line, "      <spline_position x=\"%.4f\" y=\"%.4f\" z=\"%.4f\" time=\"%.2f\"/>\n",
                  e.position.x, e.position.y, e.position.z, e.time);
    return line;
}

}  // namespace

std::string CameraPathWriter::toXml(const std::vector<PathElement>& elements, bool reversed)
{
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<spline_editor>\n  <spline>\n    <spline_point_array>\n";
    if (reversed)
        for (auto it = elements.rbegin(); it != elements.rend(); ++it)
            xml += elementLine(*it);
    else
        for (const PathElement& e : elements)
            xml += elementLine(e);
    return xml + "    </spline_point_array>\n  </spline>\n</spline_editor>\n";
}

void CameraPathWriter::write(const std::vector<PathElement>& elements, bool reversed, const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out << toXml(elements, reversed);
    if (!out)
        throw std::runtime_error("could not write " + path);
}

}  // namespace tolvane::content
