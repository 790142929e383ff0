#include "render/Texture.h"

#include "base/CpuProfiler.h"
#include "base/Diagnostics.h"
#include "base/SoftwareRenderer.h"
#include "render/TextureImage.h"
#include "render/TexturePrefetch.h"

#include <algorithm>

namespace tolvane {

namespace {

// Taps along the direction a texture is stretched in, at most.
constexpr GLfloat kAnisotropy = 8.0f;

// Anisotropic filtering keeps the ground sharp at grazing angles. A graphics
// card does it almost for free (it is an extension in OpenGL 3.3 that
// nearly every driver has); a software rasteriser pays for every tap on the
// CPU (4 taps more than double llvmpipe's scene pass), so there it stays off.
GLfloat anisotropyOfThisDriver()
{
    if (!GLEW_EXT_texture_filter_anisotropic)
        return 1.0f;
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (renderer == nullptr || isSoftwareRenderer(renderer))
        return 1.0f;
    GLfloat most = 1.0f;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &most);
    return std::min(kAnisotropy, most);
}

// Says why `image` cannot become a texture, in the words the start-up has
// always used, and ends the process.
void refuse(const TextureImage& image, const std::string& path)
{
    if (image.outcome == TextureImage::Outcome::Unreadable)
        logMessage("Could not load Image:'%s'", path.c_str());
    else if (image.outcome == TextureImage::Outcome::Unsupported)
        logMessage("Unsupported image format:'%s'", path.c_str());
    fatalError("Failed to load Texture");
}

}  // namespace

Texture::Texture(const std::string& path, int textureUnit, TexturePrefetch* prefetch) :
    unit(textureUnit),
    isNormalMap(textureUnit == 1)
{
    CpuProfiler::Scope timing(CpuSection::Textures);
    TextureImage image =
        prefetch != nullptr ? prefetch->take(path, textureUnit) : TextureImage::decode(path, textureUnit);
    if (image.outcome != TextureImage::Outcome::Decoded)
        refuse(image, path);
    hasAlpha = image.hasAlpha;
    hasCutout = image.hasCutout;
    width = image.levels.front().width;
    height = image.levels.front().height;
    upload(image);
}

// Every level comes ready from the CPU: generating them on the GPU costs a
// shader compile per format on software drivers, on the thread that waits.
void Texture::upload(const TextureImage& image)
{
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, texture_.name());
    const GLint internalFormat = hasAlpha ? GL_SRGB_ALPHA : (image.srgb ? GL_SRGB : GL_RGB);
    const GLenum pixelFormat = hasAlpha ? GL_BGRA : GL_BGR;
    // The levels' rows are tightly packed; another upload (glyphs) may have
    // left any alignment behind.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (size_t level = 0; level < image.levels.size(); ++level) {
        const MipLevel& mip = image.levels[level];
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), internalFormat, static_cast<GLsizei>(mip.width),
                     static_cast<GLsizei>(mip.height), 0, pixelFormat, GL_UNSIGNED_BYTE, mip.bytes.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    const GLfloat anisotropy = anisotropyOfThisDriver();
    if (anisotropy > 1.0f)
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropy);
    glBindTexture(GL_TEXTURE_2D, 0);
}

Texture::~Texture() = default;

void Texture::bind() const
{
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, texture_.name());
}

bool Texture::isSpriteSheet() const
{
    return false;
}

}  // namespace tolvane
