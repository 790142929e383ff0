#pragma once
#include <glm/vec4.hpp>

#include <vector>

namespace tolvane::content {

// A float RGBA picture, row 0 at the top. Also serves as a height field
// (only the red channel is used then).
class Image {
public:
    Image(int width, int height, glm::vec4 fill = glm::vec4(0.0f));

    int width() const { return width_; }
    int height() const { return height_; }

    glm::vec4& at(int x, int y) { return pixels_[index(x, y)]; }
    const glm::vec4& at(int x, int y) const { return pixels_[index(x, y)]; }

    // Coordinates wrap around, as the renderer's repeat mode does.
    const glm::vec4& wrapped(int x, int y) const;

    // Copies `other` with its top-left corner at (x, y); no clipping needed
    // by the callers, so none is done beyond an assertion of the bounds.
    void blit(const Image& other, int x, int y);

private:
    int index(int x, int y) const { return y * width_ + x; }

    int width_;
    int height_;
    std::vector<glm::vec4> pixels_;
};

}  // namespace tolvane::content
