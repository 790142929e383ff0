#include "capture/PngWriter.h"

#include "capture/FrameImage.h"
#include "capture/OutputFile.h"

#include <FreeImage.h>

#include <cstring>

namespace tolvane {

static_assert(FREEIMAGE_COLORORDER == FREEIMAGE_COLORORDER_BGR,
              "FrameImage holds blue, green, red; FreeImage must store them in that order");

PngWriter::~PngWriter()
{
    if (bitmap != nullptr)
        FreeImage_Unload(bitmap);
}

bool PngWriter::write(const FrameImage& image, const std::string& path, std::string& error)
{
    if (bitmap == nullptr || width != image.width || height != image.height) {
        if (bitmap != nullptr)
            FreeImage_Unload(bitmap);
        bitmap = FreeImage_Allocate(image.width, image.height, 24);
        width = image.width;
        height = image.height;
    }
    // FreeImage stores scan lines bottom-up too, so rows copy straight across.
    for (int y = 0; y < height; ++y)
        std::memcpy(FreeImage_GetScanLine(bitmap, y), image.row(y), image.rowBytes());
    // Encoded in memory and written by us: FreeImage's own file output does
    // not notice a disk that fills up on the last buffered write.
    FIMEMORY* encoded = FreeImage_OpenMemory();
    BYTE* data = nullptr;
    DWORD bytes = 0;
    // Fast compression: frames are written at film length, mostly dark.
    bool ok = FreeImage_SaveToMemory(FIF_PNG, bitmap, encoded, PNG_Z_BEST_SPEED) &&
              FreeImage_AcquireMemory(encoded, &data, &bytes);
    if (!ok)
        error = path + ": the picture could not be encoded as PNG";
    else
        ok = writeWholeFile(path, data, bytes, error);
    FreeImage_CloseMemory(encoded);
    return ok;
}

}  // namespace tolvane
