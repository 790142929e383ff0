#pragma once
#include <string>

namespace tolvane::content {

class Image;

// Writes pictures through FreeImage in the exact layouts the demo's texture
// loader uploads without conversion: 24-bit BGR, or 32-bit BGRA when the
// picture carries alpha.
class ImageWriter {
public:
    enum class Channels { Rgb, Rgba };

    // Format follows the extension: .png or .tif.
    static void save(const Image& image, const std::string& path, Channels channels);
};

}  // namespace tolvane::content
