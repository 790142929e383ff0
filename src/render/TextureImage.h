#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvane {

// One level of a texture's mip chain in the byte order the GL upload takes:
// blue, green, red (and alpha), tightly packed rows, bottom row first.
struct MipLevel {
    unsigned int width = 0;           // pixels
    unsigned int height = 0;          // pixels
    std::vector<std::uint8_t> bytes;  // width * height * channels
};

// An image file decoded into the layout a Texture uploads, with its whole
// mip chain built on the CPU. Building it needs no GL context, so it can be
// made on any thread (see TexturePrefetch); uploading it is Texture's job.
struct TextureImage {
    enum class Outcome {
        Decoded,        // levels hold the image and its mip chain
        UnknownFormat,  // neither the content nor the name tells the format
        Unreadable,     // a known format that could not be read
        Unsupported,    // decoded, but in a layout that cannot be converted
        Empty,          // decoded with no pixels
    };

    // Decodes `path` for texture unit `unit` (0 colour, 1 normal map), which
    // decides the colour space the mip levels are averaged in.
    static TextureImage decode(const std::string& path, int unit);

    Outcome outcome = Outcome::Unreadable;
    bool hasAlpha = false;         // four channels (BGRA) instead of three (BGR)
    bool srgb = false;             // stored as sRGB: mip levels averaged in linear light
    std::vector<MipLevel> levels;  // level 0 first, down to 1 x 1; empty unless Decoded
    // Some texel of level 0 has alpha 127 or less, below one half: drawn
    // alpha-tested, the image has holes there. Never set without alpha.
    bool hasCutout = false;

    unsigned int channels() const { return hasAlpha ? 4u : 3u; }
};

// Whether a texture is stored (and so filtered) as sRGB: colour textures and
// anything with alpha are; normal maps without alpha hold plain vectors.
bool storedAsSrgb(bool hasAlpha, bool isNormalMap);

// The next level of a mip chain: half the size in each direction, rounded
// down and at least 1, each texel the bilinear sample of `level` at the
// texel's centre. That is the exact 2 x 2 box average where a size halves
// evenly. sRGB levels are averaged in linear light, alpha and plain levels
// as stored.
MipLevel halveLevel(const MipLevel& level, unsigned int channels, bool srgb);

}  // namespace tolvane
