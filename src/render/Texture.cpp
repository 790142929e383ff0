#include "render/Texture.h"

#include "app/Diagnostics.h"
#include "base/CpuProfiler.h"
#include "render/TiffMessages.h"

#include <FreeImage.h>

namespace tolvane {

namespace {

// Decodes the file, guessing the format from its content first and from its
// name second. Null when the format is unknown or the file cannot be read.
FIBITMAP* decode(const std::string& path)
{
    quietUnknownTiffTags();
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFIFFromFilename(path.c_str());
    if (format == FIF_UNKNOWN)
        return nullptr;
    FIBITMAP* bitmap = nullptr;
    if (FreeImage_FIFSupportsReading(format))
        bitmap = FreeImage_Load(format, path.c_str(), 0);
    if (bitmap == nullptr)
        logMessage("Could not load Image:'%s'", path.c_str());
    return bitmap;
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
    case FIT_BITMAP:
        return bitmap;
    case FIT_RGB16:
        return replace(bitmap, FreeImage_ConvertTo24Bits(bitmap));
    case FIT_RGBA16:
        return replace(bitmap, FreeImage_ConvertTo32Bits(bitmap));
    default:
        return replace(bitmap, FreeImage_ConvertToStandardType(bitmap, TRUE));
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

}  // namespace

Texture::Texture(const std::string& path, int unit)
    : unit(unit), isNormalMap(unit == 1)
{
    CpuProfiler::Scope timing(CpuSection::Textures);
    FIBITMAP* bitmap = decode(path);
    if (bitmap != nullptr) {
        bitmap = toUploadLayout(bitmap);
        if (bitmap == nullptr)
            logMessage("Unsupported image format:'%s'", path.c_str());
    }
    if (bitmap == nullptr || FreeImage_GetWidth(bitmap) == 0 || FreeImage_GetHeight(bitmap) == 0)
        fatalError("Failed to load Texture");

    hasAlpha = FreeImage_GetColorType(bitmap) == FIC_RGBALPHA;
    width = FreeImage_GetWidth(bitmap);
    height = FreeImage_GetHeight(bitmap);

    glGenTextures(1, &textureName);
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, textureName);
    GLint internalFormat = hasAlpha ? GL_SRGB_ALPHA : (isNormalMap ? GL_RGB : GL_SRGB);
    GLenum pixelFormat = hasAlpha ? GL_BGRA : GL_BGR;
    // FreeImage pads every scanline to 4 bytes; another upload (glyphs) may
    // have left a tighter alignment behind.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, pixelFormat, GL_UNSIGNED_BYTE,
                 FreeImage_GetBits(bitmap));
    FreeImage_Unload(bitmap);

    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_R, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
}

Texture::~Texture()
{
    glDeleteTextures(1, &textureName);
}

void Texture::bind() const
{
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, textureName);
}

bool Texture::isSpriteSheet() const
{
    return false;
}

}  // namespace tolvane
