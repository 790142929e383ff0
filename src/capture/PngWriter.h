#pragma once

#include <string>

struct FIBITMAP;

namespace tolvane {

class FrameImage;

// Writes FrameImages as 24-bit PNG files through FreeImage, turning OpenGL's
// bottom-up rows into a picture the right way up. Keeps one FreeImage bitmap
// of the last size written, so a run of equal-sized frames allocates it once.
class PngWriter {
public:
    PngWriter() = default;
    ~PngWriter();

    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    // Writes `image` to `path`. Returns false with `error` ("PATH: cause")
    // when the file cannot be written whole; no partial file is left.
    bool write(const FrameImage& image, const std::string& path, std::string& error);

private:
    FIBITMAP* bitmap = nullptr;  // owned
    int width = 0;
    int height = 0;
};

}  // namespace tolvane
