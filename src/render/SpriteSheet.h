#pragma once

#include "render/Texture.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <string>

namespace tolvane {

// A colour texture holding a horizontal strip of equally sized animation
// frames, side by side from the left edge. Mesh::update picks the frame; the
// sprite shader maps 0..1 texture coordinates into frameRect().
class SpriteSheet : public Texture {
public:
    // Loads `path` as a colour texture (unit 0), from `prefetch` when given
    // (as Texture does). Frame sizes are in pixels.
    SpriteSheet(const std::string& path, std::uint32_t frameWidth, std::uint32_t frameHeight, std::uint32_t frameCount,
                std::uint32_t framesPerSecond, TexturePrefetch* prefetch = nullptr);

    bool isSpriteSheet() const override;

    // The current frame in normalised texture coordinates: (x, y) its lower
    // left corner, (z, w) its size. A coordinate (u, v) of the quad maps to
    // (x + u z, y + v w).
    glm::vec4 frameRect() const;

    std::uint32_t frameWidth = 0;   // pixels
    std::uint32_t frameHeight = 0;  // pixels
    std::uint32_t frameCount = 0;
    std::uint32_t currentFrame = 0;  // 0 .. frameCount - 1, set by Mesh::update
    std::uint32_t framesPerSecond = 0;
};

}  // namespace tolvane
