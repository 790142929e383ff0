#include "base/PngFile.h"

#include "base/FileWrite.h"

#include <FreeImage.h>

#include <cstring>

namespace tolvane {

static_assert(FREEIMAGE_COLORORDER == FREEIMAGE_COLORORDER_BGR,
              "PixelRows hold blue, green, red; FreeImage must store them in that order");

PngWriter::~PngWriter()
{
    if (bitmap_ != nullptr)
        FreeImage_Unload(bitmap_);
}

bool PngWriter::write(const PixelRows& picture, const std::string& path, std::string& error, PngCompression compression)
{
    if (picture.pixels == nullptr || picture.width < 1 || picture.height < 1 ||
        (picture.channels != 3 && picture.channels != 4)) {
        error = path + ": no picture to write";
        return false;
    }
    if (bitmap_ == nullptr || width_ != picture.width || height_ != picture.height || channels_ != picture.channels) {
        if (bitmap_ != nullptr)
            FreeImage_Unload(bitmap_);
        bitmap_ = FreeImage_Allocate(picture.width, picture.height, 8 * picture.channels, FI_RGBA_RED_MASK,
                                     FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
        width_ = picture.width;
        height_ = picture.height;
        channels_ = picture.channels;
        if (bitmap_ == nullptr) {
            error = path + ": no memory for the picture";
            return false;
        }
    }
    // FreeImage stores scan lines bottom-up too.
    const std::size_t rowBytes = picture.rowBytes();
    for (int y = 0; y < height_; ++y) {
        const int source = picture.bottomUp ? y : height_ - 1 - y;
        std::memcpy(FreeImage_GetScanLine(bitmap_, y), picture.pixels + rowBytes * static_cast<std::size_t>(source),
                    rowBytes);
    }
    FIMEMORY* encoded = FreeImage_OpenMemory();
    BYTE* data = nullptr;
    DWORD bytes = 0;
    const int flags = compression == PngCompression::Fast ? PNG_Z_BEST_SPEED : PNG_Z_DEFAULT_COMPRESSION;
    bool ok =
        FreeImage_SaveToMemory(FIF_PNG, bitmap_, encoded, flags) && FreeImage_AcquireMemory(encoded, &data, &bytes);
    if (!ok)
        error = path + ": the picture could not be encoded as PNG";
    else
        ok = writeWholeFile(path, data, bytes, error);
    FreeImage_CloseMemory(encoded);
    return ok;
}

bool writePng(const PixelRows& picture, const std::string& path, std::string& error, PngCompression compression)
{
    PngWriter writer;
    return writer.write(picture, path, error, compression);
}

}  // namespace tolvane
