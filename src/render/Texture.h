#pragma once

#include "base/GlObject.h"

#include <GL/glew.h>

#include <string>

namespace tolvane {

class TexturePrefetch;
struct TextureImage;

// A 2D image file decoded with FreeImage and uploaded once as a mipmapped GL
// texture that remembers its texture unit: unit 0 for colour textures (stored
// as sRGB so the lit shaders work in linear light), unit 1 for normal maps
// (stored linear). Images that are neither 24-bit RGB nor 32-bit RGBA
// (palettes, greyscale, 16 bits per channel, 32-bit without real alpha) are
// converted before the upload; an image that cannot be decoded or converted
// ends the process with "Failed to load Texture". Needs a current GL context
// for its whole life; owns its GL texture.
class Texture {
public:
    // Loads `path` (a file path relative to the working directory) and
    // uploads it; `unit` is 0 for a colour texture, 1 for a normal map. With
    // a `prefetch`, the image is the one it decoded ahead (see
    // TexturePrefetch::take); without, it is decoded here. Leaves the
    // texture unit of `unit` active and no 2D texture bound.
    Texture(const std::string& path, int unit, TexturePrefetch* prefetch = nullptr);
    virtual ~Texture();

    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Activates this texture's unit and binds the texture there. Callers then
    // set their sampler uniform to `unit`.
    void bind() const;

    virtual bool isSpriteSheet() const;

    GLuint textureName() const { return texture_.name(); }

    int unit = 0;              // 0 colour texture, 1 normal map
    bool hasAlpha = false;     // uploaded with an alpha channel
    bool isNormalMap = false;  // true exactly when unit is 1
    unsigned int width = 0;    // image width, pixels
    unsigned int height = 0;   // image height, pixels
    // Some texel's alpha is 127 of 255 or less: drawn alpha-tested, the
    // texture has a hole there. False without alpha.
    bool hasCutout = false;

private:
    void upload(const TextureImage& image);

    GlTexture texture_;
};

}  // namespace tolvane
