#include "NormalMapper.h"

#include "Image.h"

#include <glm/geometric.hpp>
#include <glm/vec3.hpp>

namespace tolvane::content {

Image NormalMapper::fromHeight(const Image& height, float strength)
{
    Image normals(height.width(), height.height());
    const float scale = strength * static_cast<float>(height.width()) / 256.0f;
    for (int y = 0; y < height.height(); ++y) {
        for (int x = 0; x < height.width(); ++x) {
            const float dx = height.wrapped(x + 1, y).r - height.wrapped(x - 1, y).r;
            // Row numbers grow downwards while the texture's v grows upwards.
            const float dy = height.wrapped(x, y - 1).r - height.wrapped(x, y + 1).r;
            const glm::vec3 n = glm::normalize(glm::vec3(-dx * scale, -dy * scale, 1.0f));
            normals.at(x, y) = glm::vec4(n * 0.5f + 0.5f, 1.0f);
        }
    }
    return normals;
}

}  // namespace tolvane::content
