#include "ImageWriter.h"

#include "Image.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tolvane::content {
namespace {

BYTE toByte(float value)
{
    return static_cast<BYTE>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

FREE_IMAGE_FORMAT formatFor(const std::string& path)
{
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".tif") == 0)
        return FIF_TIFF;
    return FIF_PNG;
}

void fill(FIBITMAP* bitmap, const Image& image, int bytesPerPixel)
{
    // FreeImage keeps scanline 0 at the bottom; our row 0 is the top.
    for (int y = 0; y < image.height(); ++y) {
        BYTE* line = FreeImage_GetScanLine(bitmap, image.height() - 1 - y);
        for (int x = 0; x < image.width(); ++x) {
            const auto& p = image.at(x, y);
            BYTE* px = line + x * bytesPerPixel;
            px[FI_RGBA_RED] = toByte(p.r);
            px[FI_RGBA_GREEN] = toByte(p.g);
            px[FI_RGBA_BLUE] = toByte(p.b);
            if (bytesPerPixel == 4)
                px[FI_RGBA_ALPHA] = toByte(p.a);
        }
    }
}

}  // namespace

void ImageWriter::save(const Image& image, const std::string& path, Channels channels)
{
    const int bytesPerPixel = channels == Channels::Rgba ? 4 : 3;
    FIBITMAP* bitmap = FreeImage_Allocate(image.width(), image.height(), bytesPerPixel * 8, FI_RGBA_RED_MASK,
                                          FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
    if (!bitmap)
        throw std::runtime_error("out of memory for image " + path);
    fill(bitmap, image, bytesPerPixel);
    const FREE_IMAGE_FORMAT format = formatFor(path);
    const int flags = format == FIF_TIFF ? TIFF_ADOBE_DEFLATE : PNG_Z_DEFAULT_COMPRESSION;
    const bool ok = FreeImage_Save(format, bitmap, path.c_str(), flags);
    FreeImage_Unload(bitmap);
    if (!ok)
        throw std::runtime_error("could not write image " + path);
}

}  // namespace tolvane::content
