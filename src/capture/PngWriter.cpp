#include "capture/PngWriter.h"

#include "capture/FrameImage.h"

#include <FreeImage.h>

#include <cstring>
#include <iostream>

namespace tolvane {

static_assert(FREEIMAGE_COLORORDER == FREEIMAGE_COLORORDER_BGR,
              "FrameImage holds blue, green, red; FreeImage must store them in that order");

PngWriter::~PngWriter()
{
    if (bitmap != nullptr)
        FreeImage_Unload(bitmap);
}

bool PngWriter::write(const FrameImage& image, const std::string& path)
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
    // Fast compression: frames are written at film length, mostly dark.
    if (!FreeImage_Save(FIF_PNG, bitmap, path.c_str(), PNG_Z_BEST_SPEED)) {
        std::cerr << "tolvane-capture: cannot write " << path << std::endl;
        return false;
    }
    return true;
}

}  // namespace tolvane
