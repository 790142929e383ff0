#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct FIBITMAP;

namespace tolvane {

// 8-bit pixels to be written: blue, green, red and, with four channels,
// alpha, in that order (OpenGL's GL_BGR(A), FreeImage's own order on
// little-endian machines), rows packed without padding.
struct PixelRows {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int channels = 3;      // 3, or 4 with alpha
    bool bottomUp = true;  // row 0 is the bottom one, as OpenGL reads them

    std::size_t rowBytes() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(channels); }
};

// Fast for frames written by the thousand (mostly dark, soon deleted);
// Small for files that are kept, such as the demo's textures.
enum class PngCompression { Fast, Small };

// Writes pictures as PNG files through FreeImage: the only PNG writer of
// the program and its tools. The file is encoded in memory and written by
// writeWholeFile, because FreeImage's own file output does not notice a
// disk that fills up on the last buffered write. Keeps one bitmap of the
// last size and channel count written, so that a run of equal frames
// allocates it once. No GL: the content generator uses it too.
class PngWriter {
public:
    PngWriter() = default;
    ~PngWriter();

    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    // Writes `picture` to `path`. Returns false with `error` ("PATH: cause")
    // when the file cannot be written whole; no partial file is left.
    bool write(const PixelRows& picture, const std::string& path, std::string& error,
               PngCompression compression = PngCompression::Fast);

private:
    FIBITMAP* bitmap_ = nullptr;  // owned
    int width_ = 0;
    int height_ = 0;
    int channels_ = 0;
};

// One picture, for a writer that is not kept.
bool writePng(const PixelRows& picture, const std::string& path, std::string& error,
              PngCompression compression = PngCompression::Small);

}  // namespace tolvane
