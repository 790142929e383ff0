#include "Image.h"

#include <cassert>

namespace tolvane::content {

Image::Image(int width, int height, glm::vec4 fill) :
    width_(width),
    height_(height),
    pixels_(static_cast<size_t>(width) * height, fill)
{
}

const glm::vec4& Image::wrapped(int x, int y) const
{
    x %= width_;
    y %= height_;
    if (x < 0)
        x += width_;
    if (y < 0)
        y += height_;
    return pixels_[index(x, y)];
}

void Image::blit(const Image& other, int x, int y)
{
    assert(x >= 0 && y >= 0 && x + other.width() <= width_ && y + other.height() <= height_);
    for (int j = 0; j < other.height(); ++j)
        for (int i = 0; i < other.width(); ++i)
            at(x + i, y + j) = other.at(i, j);
}

}  // namespace tolvane::content
