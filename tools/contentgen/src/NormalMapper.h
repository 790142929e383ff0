#pragma once

namespace tolvane::content {

class Image;

// Turns a height field into a tangent-space normal map (x right, y up in the
// picture, z out of the surface), the convention of GL-style normal mapping.
class NormalMapper {
public:
    // `strength` scales the slopes: the height difference of one texel times
    // strength times the picture width is the tangent of the tilt.
    static Image fromHeight(const Image& height, float strength);
};

}  // namespace tolvane::content
