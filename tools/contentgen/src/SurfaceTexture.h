#pragma once
#include "Image.h"

#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

namespace tolvane::content {

// A material's colour picture with the height field its normal map is
// derived from. Both have the same size and tile the same way.
struct SurfaceTexture {
    SurfaceTexture(int width, int height) : colour(width, height), height(width, height) {}

    void set(int x, int y, glm::vec3 rgb, float h)
    {
        colour.at(x, y) = glm::vec4(rgb, 1.0f);
        height.at(x, y).r = h;
    }

    Image colour;
    Image height;
    float bumpStrength = 2.0f;  // slope scale of the normal map
    // The colour's alpha has holes (below one half) and is kept in the file;
    // otherwise the picture is stored without alpha.
    bool hasHoles = false;
};

}  // namespace tolvane::content
