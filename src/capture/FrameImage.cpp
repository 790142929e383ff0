#include "capture/FrameImage.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstring>

namespace tolvane {

FrameImage::FrameImage(int pixelsWide, int pixelsHigh)
{
    resize(pixelsWide, pixelsHigh);
}

void FrameImage::resize(int newWidth, int newHeight)
{
    width = std::max(newWidth, 0);
    height = std::max(newHeight, 0);
    pixels.resize(byteCount());
}

void FrameImage::fill(std::uint8_t value)
{
    std::memset(pixels.data(), value, pixels.size());
}

void FrameImage::readFramebuffer()
{
    // Rows of width x 3 bytes are not 4-byte aligned for most widths.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
}

void FrameImage::averageBlock(int x0, int x1, int y0, int y1, std::uint8_t* out) const
{
    unsigned sums[3] = {0, 0, 0};
    for (int sy = y0; sy < y1; ++sy) {
        const std::uint8_t* source = row(sy) + static_cast<std::size_t>(x0) * 3;
        for (int sx = x0; sx < x1; ++sx, source += 3) {
            sums[0] += source[0];
            sums[1] += source[1];
            sums[2] += source[2];
        }
    }
    const auto count = static_cast<unsigned>((x1 - x0) * (y1 - y0));
    for (int c = 0; c < 3; ++c)
        out[c] = static_cast<std::uint8_t>((sums[c] + count / 2) / count);
}

void FrameImage::downscaleInto(FrameImage& target, int x, int y, int w, int h) const
{
    if (w <= 0 || h <= 0 || width == 0 || height == 0)
        return;
    for (int ty = 0; ty < h; ++ty) {
        if (y + ty < 0 || y + ty >= target.height)
            continue;
        // Each target pixel averages the source block it covers; at least one
        // source pixel, also when enlarging.
        const int y0 = static_cast<int>(static_cast<long>(ty) * height / h);
        const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long>(ty + 1) * height / h));
        std::uint8_t* out = target.row(y + ty);
        for (int tx = 0; tx < w; ++tx) {
            if (x + tx < 0 || x + tx >= target.width)
                continue;
            const int x0 = static_cast<int>(static_cast<long>(tx) * width / w);
            const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<long>(tx + 1) * width / w));
            averageBlock(x0, x1, y0, y1, out + static_cast<std::size_t>(x + tx) * 3);
        }
    }
}

}  // namespace tolvane
