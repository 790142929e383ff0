#pragma once
#include "Image.h"

#include <glm/vec3.hpp>

#include <memory>
#include <string>
#include <vector>

struct aiScene;

namespace tolvane::content {

// A small software rasteriser for checking the generated scene by eye
// without a GPU: textured triangles, a depth buffer, and the demo's lights
// approximated by diffuse point lights in a dark night.
class PreviewRenderer {
public:
    // Loads the staged model and the colour textures its materials name.
    explicit PreviewRenderer(const std::string& stageRoot);
    ~PreviewRenderer();

    Image render(const glm::vec3& eye, const glm::vec3& target, int width, int height) const;

    struct ClipVertex;  // a vertex after projection, before the divide by w

private:
    struct Light {
        glm::vec3 position;
        glm::vec3 colour;
        float attenuation;
    };
    struct Surface;

    void drawTriangle(const ClipVertex (&v)[3], const Image& texture, Image& frame, std::vector<float>& depth) const;
    glm::vec3 shade(const Surface& s, const Image& texture) const;

    std::vector<Image> textures_;  // per material
    std::vector<Light> lights_;
    const aiScene* scene_ = nullptr;
    std::unique_ptr<struct PreviewImporter> importer_;
};

}  // namespace tolvane::content
