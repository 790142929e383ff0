#include "ImageWriter.h"

#include "Image.h"
#include "base/PngFile.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace tolvane::content {
namespace {

std::uint8_t toByte(float value)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

bool isTiff(const std::string& path)
{
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".tif") == 0;
}

// Our row 0 is the top; the bytes go in the writers' blue, green, red
// (alpha) order.
std::vector<std::uint8_t> bytesOf(const Image& image, int channels)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(image.width()) * image.height() * channels);
    std::uint8_t* out = bytes.data();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x, out += channels) {
            const auto& p = image.at(x, y);
            out[0] = toByte(p.b);
            out[1] = toByte(p.g);
            out[2] = toByte(p.r);
            if (channels == 4)
                out[3] = toByte(p.a);
        }
    }
    return bytes;
}

void saveTiff(const PixelRows& rows, const std::string& path)
{
    FIBITMAP* bitmap = FreeImage_ConvertFromRawBits(const_cast<BYTE*>(rows.pixels), rows.width, rows.height,
                                                    static_cast<int>(rows.rowBytes()), 8 * rows.channels,
                                                    FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, TRUE);
    if (!bitmap)
        throw std::runtime_error("out of memory for image " + path);
    const bool ok = FreeImage_Save(FIF_TIFF, bitmap, path.c_str(), TIFF_ADOBE_DEFLATE);
    FreeImage_Unload(bitmap);
    if (!ok)
        throw std::runtime_error("could not write image " + path);
}

}  // namespace

void ImageWriter::save(const Image& image, const std::string& path, Channels channels)
{
    const int count = channels == Channels::Rgba ? 4 : 3;
    const std::vector<std::uint8_t> bytes = bytesOf(image, count);
    const PixelRows rows{bytes.data(), image.width(), image.height(), count, false};
    if (isTiff(path))
        return saveTiff(rows, path);
    std::string error;
    if (!writePng(rows, path, error))
        throw std::runtime_error("could not write image " + error);
}

}  // namespace tolvane::content
