#pragma once

#include "base/PngFile.h"

#include <cstdint>
#include <vector>

namespace tolvane {

// An 8-bit picture in OpenGL's memory order: rows bottom-up, three bytes per
// pixel in blue, green, red order (FreeImage's order on little-endian
// machines and ffmpeg's bgr24), no padding between rows. Resizing reuses the
// storage, so a capture loop allocates only when the size first grows.
class FrameImage {
public:
    FrameImage() = default;
    FrameImage(int width, int height);

    // Makes the picture width x height pixels; contents are then undefined.
    void resize(int width, int height);
    void fill(std::uint8_t value);

    // Reads the lower-left width x height pixels of the current read
    // framebuffer (the back buffer between rendering and the swap). Needs a
    // current GL context.
    void readFramebuffer();

    // Box-filters this whole picture into the w x h rectangle of `target`
    // whose lower-left corner is at (x, y), clipped to the target.
    void downscaleInto(FrameImage& target, int x, int y, int w, int h) const;

    // The pixels as the PNG writer takes them.
    PixelRows rows() const { return PixelRows{pixels.data(), width, height, 3, true}; }

    // Bottom-up row `y`, 3 x width bytes.
    std::uint8_t* row(int y) { return pixels.data() + rowBytes() * static_cast<std::size_t>(y); }
    const std::uint8_t* row(int y) const { return pixels.data() + rowBytes() * static_cast<std::size_t>(y); }
    std::size_t rowBytes() const { return static_cast<std::size_t>(width) * 3; }
    std::size_t byteCount() const { return rowBytes() * static_cast<std::size_t>(height); }

    int width = 0;   // pixels
    int height = 0;  // pixels
    std::vector<std::uint8_t> pixels;

private:
    void averageBlock(int x0, int x1, int y0, int y1, std::uint8_t* out) const;
};

}  // namespace tolvane
