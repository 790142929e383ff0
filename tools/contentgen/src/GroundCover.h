#pragma once
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <vector>

namespace tolvane::content {

// What grows on the ground, as a tint over the ground's repeating picture:
// needle litter under the pines and across the wooded rim, moss and dry
// grass in drifts some metres wide, bare dirt along the hut's walls, round
// the fire and beside the worn path, and a mottle about a metre across. The
// tint changes softly over metres, so the picture's 4-m repeat is lost
// under it.
class GroundCover {
public:
    // `treeSites`: (x, spread of the lowest boughs, z) per pine;
    // `path`: the worn path's centre line (x, z).
    GroundCover(std::vector<glm::vec3> treeSites, std::vector<glm::vec2> path);

    // Linear factor on the picture's colour at (x, z), about 0.4 to 2.
    glm::vec3 tint(float x, float z) const;

    // How much of each cover lies at (x, z), 0 to 1.
    float litter(float x, float z) const;
    float dirt(float x, float z) const;

private:
    std::vector<glm::vec3> trees_;
    std::vector<glm::vec2> path_;
};

}  // namespace tolvane::content
