#include "render/TextureImage.h"

#include "render/TiffMessages.h"

#include <FreeImage.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace tolvane {

namespace {

// The file's format, guessed from its content first and from its name second.
FREE_IMAGE_FORMAT formatOf(const std::string& path)
{
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
    return format != FIF_UNKNOWN ? format : FreeImage_GetFIFFromFilename(path.c_str());
}

// Replaces `bitmap` by `converted`, releasing the old one. A failed
// conversion (null) releases it too, so the caller only has to test null.
FIBITMAP* replace(FIBITMAP* bitmap, FIBITMAP* converted)
{
    if (converted != bitmap)
        FreeImage_Unload(bitmap);
    return converted;
}

// 16-bit-per-channel colour converts straight to 8 bits per channel; other
// non-standard types (16/32-bit grey, float) go through 8-bit greyscale.
FIBITMAP* toStandardType(FIBITMAP* bitmap)
{
    switch (FreeImage_GetImageType(bitmap)) {
    case FIT_BITMAP: return bitmap;
    case FIT_RGB16: return replace(bitmap, FreeImage_ConvertTo24Bits(bitmap));
    case FIT_RGBA16: return replace(bitmap, FreeImage_ConvertTo32Bits(bitmap));
    default: return replace(bitmap, FreeImage_ConvertToStandardType(bitmap, TRUE));
    }
}

// The GL upload reads 3 bytes per pixel without alpha and 4 with it, so
// palettes, greyscale and 1/4/16-bit images are widened, and a 32-bit image
// whose alpha is fully opaque (FreeImage then reports plain RGB) is narrowed.
FIBITMAP* toUploadLayout(FIBITMAP* bitmap)
{
    bitmap = toStandardType(bitmap);
    if (bitmap == nullptr)
        return nullptr;
    bool transparent = FreeImage_IsTransparent(bitmap) == TRUE;
    unsigned int bits = FreeImage_GetBPP(bitmap);
    if (transparent && bits != 32)
        bitmap = replace(bitmap, FreeImage_ConvertTo32Bits(bitmap));
    else if (!transparent && bits != 24 && bits != 32)
        bitmap = replace(bitmap, FreeImage_ConvertTo24Bits(bitmap));
    if (bitmap == nullptr)
        return nullptr;
    if (FreeImage_GetBPP(bitmap) == 32 && FreeImage_GetColorType(bitmap) != FIC_RGBALPHA)
        bitmap = replace(bitmap, FreeImage_ConvertTo24Bits(bitmap));
    return bitmap;
}

// Whether a row of `width` BGRA texels holds an alpha below one half.
bool rowHasCutout(const std::uint8_t* row, unsigned int width)
{
    for (unsigned int x = 0; x < width; ++x)
        if (row[x * 4 + FI_RGBA_ALPHA] < 128)
            return true;
    return false;
}

// FreeImage pads every scanline to 4 bytes; the levels are kept tight.
// `cutout` tells whether some texel's alpha is below one half, looked for
// in each row while it is still in the cache from its copy.
MipLevel packedBaseLevel(FIBITMAP* bitmap, unsigned int channels, bool& cutout)
{
    MipLevel level;
    level.width = FreeImage_GetWidth(bitmap);
    level.height = FreeImage_GetHeight(bitmap);
    const size_t rowBytes = static_cast<size_t>(level.width) * channels;
    level.bytes.resize(rowBytes * level.height);
    cutout = false;
    for (unsigned int y = 0; y < level.height; ++y) {
        std::uint8_t* row = &level.bytes[y * rowBytes];
        std::memcpy(row, FreeImage_GetScanLine(bitmap, static_cast<int>(y)), rowBytes);
        if (channels == 4 && !cutout)
            cutout = rowHasCutout(row, level.width);
    }
    return level;
}

// sRGB bytes to linear light in 16 bits, and back with rounding.
struct SrgbTables {
    std::array<std::uint16_t, 256> toLinear{};
    std::vector<std::uint8_t> toSrgb = std::vector<std::uint8_t>(65536);

    SrgbTables()
    {
        for (int i = 0; i < 256; ++i) {
            const double s = i / 255.0;
            const double l = s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
            toLinear[i] = static_cast<std::uint16_t>(std::lround(l * 65535.0));
        }
        for (int i = 0; i < 65536; ++i) {
            const double l = i / 65535.0;
            const double s = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
            toSrgb[i] = static_cast<std::uint8_t>(std::lround(std::clamp(s, 0.0, 1.0) * 255.0));
        }
    }
};

// Never destroyed: a prefetch worker may still be halving a level while
// the process exits.
const SrgbTables& srgbTables()
{
    static const SrgbTables* tables = new SrgbTables();
    return *tables;
}

// Where a destination texel's centre falls in the source along one axis:
// the two source texels around it and the second one's weight out of 256.
struct Tap {
    unsigned int first;
    unsigned int second;
    std::uint32_t weight;
};

std::vector<Tap> tapsAlong(unsigned int sourceSize, unsigned int size)
{
    std::vector<Tap> taps(size);
    for (unsigned int i = 0; i < size; ++i) {
        const double centre = std::max(0.0, (i + 0.5) * sourceSize / size - 0.5);
        const unsigned int first = std::min(static_cast<unsigned int>(centre), sourceSize - 1);
        const double fraction = centre - first;
        taps[i] = {first, std::min(first + 1, sourceSize - 1),
                   static_cast<std::uint32_t>(std::lround(std::min(fraction, 1.0) * 256.0))};
    }
    return taps;
}

// The four source values weighted by 256ths along each axis, rounded.
std::uint32_t blend(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, const Tap& x, const Tap& y)
{
    const std::uint64_t bottom =
        static_cast<std::uint64_t>(a) * (256 - x.weight) + static_cast<std::uint64_t>(b) * x.weight;
    const std::uint64_t top =
        static_cast<std::uint64_t>(c) * (256 - x.weight) + static_cast<std::uint64_t>(d) * x.weight;
    return static_cast<std::uint32_t>((bottom * (256 - y.weight) + top * y.weight + 32768) >> 16);
}

}  // namespace

bool storedAsSrgb(bool hasAlpha, bool isNormalMap)
{
    return hasAlpha || !isNormalMap;
}

MipLevel halveLevel(const MipLevel& level, unsigned int channels, bool srgb)
{
    MipLevel next;
    next.width = std::max(1u, level.width / 2);
    next.height = std::max(1u, level.height / 2);
    next.bytes.resize(static_cast<size_t>(next.width) * next.height * channels);
    const std::vector<Tap> columns = tapsAlong(level.width, next.width);
    const std::vector<Tap> rows = tapsAlong(level.height, next.height);
    const SrgbTables& tables = srgbTables();
    const std::uint8_t* source = level.bytes.data();
    const size_t sourceRow = static_cast<size_t>(level.width) * channels;
    std::uint8_t* out = next.bytes.data();
    for (const Tap& row : rows) {
        const std::uint8_t* bottom = source + row.first * sourceRow;
        const std::uint8_t* top = source + row.second * sourceRow;
        for (const Tap& column : columns) {
            const size_t left = size_t{column.first} * channels;
            const size_t right = size_t{column.second} * channels;
            for (unsigned int c = 0; c < channels; ++c) {
                if (srgb && c < 3) {
                    const std::uint32_t linear =
                        blend(tables.toLinear[bottom[left + c]], tables.toLinear[bottom[right + c]],
                              tables.toLinear[top[left + c]], tables.toLinear[top[right + c]], column, row);
                    *out++ = tables.toSrgb[linear];
                } else {
                    *out++ = static_cast<std::uint8_t>(
                        blend(bottom[left + c], bottom[right + c], top[left + c], top[right + c], column, row));
                }
            }
        }
    }
    return next;
}

TextureImage TextureImage::decode(const std::string& path, int unit)
{
    TextureImage image;
    quietUnknownTiffTags();
    const FREE_IMAGE_FORMAT format = formatOf(path);
    if (format == FIF_UNKNOWN) {
        image.outcome = Outcome::UnknownFormat;
        return image;
    }
    FIBITMAP* bitmap = FreeImage_FIFSupportsReading(format) ? FreeImage_Load(format, path.c_str(), 0) : nullptr;
    if (bitmap == nullptr)
        return image;
    bitmap = toUploadLayout(bitmap);
    if (bitmap == nullptr) {
        image.outcome = Outcome::Unsupported;
        return image;
    }
    if (FreeImage_GetWidth(bitmap) == 0 || FreeImage_GetHeight(bitmap) == 0) {
        FreeImage_Unload(bitmap);
        image.outcome = Outcome::Empty;
        return image;
    }
    image.outcome = Outcome::Decoded;
    image.hasAlpha = FreeImage_GetColorType(bitmap) == FIC_RGBALPHA;
    image.srgb = storedAsSrgb(image.hasAlpha, unit == 1);
    image.levels.push_back(packedBaseLevel(bitmap, image.channels(), image.hasCutout));
    FreeImage_Unload(bitmap);
    while (image.levels.back().width > 1 || image.levels.back().height > 1)
        image.levels.push_back(halveLevel(image.levels.back(), image.channels(), image.srgb));
    return image;
}

}  // namespace tolvane
