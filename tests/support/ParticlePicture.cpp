#include "ParticlePicture.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace tolvane::test {

OffscreenTarget::OffscreenTarget(int width, int height) : width_(width), height_(height)
{
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousFramebuffer_);
    glGetIntegerv(GL_VIEWPORT, previousViewport_);
    glGenTextures(1, &color_);
    glBindTexture(GL_TEXTURE_2D, color_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_SRGB8_ALPHA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color_, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    glViewport(0, 0, width, height);
    glEnable(GL_FRAMEBUFFER_SRGB);
}

OffscreenTarget::~OffscreenTarget()
{
    glDisable(GL_FRAMEBUFFER_SRGB);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer_));
    glViewport(previousViewport_[0], previousViewport_[1], previousViewport_[2], previousViewport_[3]);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteRenderbuffers(1, &depth_);
    glDeleteTextures(1, &color_);
}

void OffscreenTarget::clear(float r, float g, float b)
{
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

namespace {

Picture readBound(int width, int height)
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.resize(static_cast<size_t>(width * height * 4));
    std::vector<unsigned char> bottomUp(picture.rgba.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    const size_t row = static_cast<size_t>(width * 4);
    for (int y = 0; y < height; ++y)
        std::copy_n(&bottomUp[static_cast<size_t>(height - 1 - y) * row], row,
                    &picture.rgba[static_cast<size_t>(y) * row]);
    return picture;
}

}  // namespace

Picture OffscreenTarget::read() const
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    return readBound(width_, height_);
}

Picture readWindow(int width, int height)
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    return readBound(width, height);
}

bool savePng(const Picture& picture, const std::string& path)
{
    FIBITMAP* bitmap = FreeImage_Allocate(picture.width, picture.height, 32);
    if (bitmap == nullptr)
        return false;
    for (int y = 0; y < picture.height; ++y) {
        BYTE* line = FreeImage_GetScanLine(bitmap, picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            const unsigned char* p = picture.pixel(x, y);
            line[4 * x + FI_RGBA_RED] = p[0];
            line[4 * x + FI_RGBA_GREEN] = p[1];
            line[4 * x + FI_RGBA_BLUE] = p[2];
            line[4 * x + FI_RGBA_ALPHA] = p[3];
        }
    }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const bool saved = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0) != 0;
    FreeImage_Unload(bitmap);
    return saved;
}

bool loadPng(const std::string& path, Picture& picture)
{
    FIBITMAP* loaded = FreeImage_Load(FIF_PNG, path.c_str(), 0);
    if (loaded == nullptr)
        return false;
    FIBITMAP* bitmap = FreeImage_ConvertTo32Bits(loaded);
    FreeImage_Unload(loaded);
    if (bitmap == nullptr)
        return false;
    picture.width = static_cast<int>(FreeImage_GetWidth(bitmap));
    picture.height = static_cast<int>(FreeImage_GetHeight(bitmap));
    picture.rgba.resize(static_cast<size_t>(picture.width * picture.height * 4));
    for (int y = 0; y < picture.height; ++y) {
        const BYTE* line = FreeImage_GetScanLine(bitmap, picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            unsigned char* p = &picture.rgba[static_cast<size_t>(4 * (y * picture.width + x))];
            p[0] = line[4 * x + FI_RGBA_RED];
            p[1] = line[4 * x + FI_RGBA_GREEN];
            p[2] = line[4 * x + FI_RGBA_BLUE];
            p[3] = line[4 * x + FI_RGBA_ALPHA];
        }
    }
    FreeImage_Unload(bitmap);
    return true;
}

PictureDifference compare(const Picture& a, const Picture& b)
{
    PictureDifference difference;
    if (a.width != b.width || a.height != b.height)
        return difference;
    double sum = 0.0;
    size_t differing = 0;
    const size_t pixels = static_cast<size_t>(a.width * a.height);
    for (size_t i = 0; i < pixels; ++i) {
        int worst = 0;
        for (size_t c = 0; c < 3; ++c) {
            int d = std::abs(int(a.rgba[4 * i + c]) - int(b.rgba[4 * i + c]));
            sum += d;
            worst = std::max(worst, d);
        }
        if (worst > 32)
            ++differing;
    }
    difference.meanError = sum / (3.0 * static_cast<double>(pixels));
    difference.differingFraction = static_cast<double>(differing) / static_cast<double>(pixels);
    return difference;
}

::testing::AssertionResult matchesReference(const Picture& actual, const std::string& name,
                                            double maxMeanError, double maxDifferingFraction)
{
    const std::string actualPath = std::string(TOLVANE_BIN_DIR) + "/../pictures/" + name + ".png";
    savePng(actual, actualPath);
    const std::string referencePath = std::string(TOLVANE_SOURCE_DIR) + "/tests/references/" + name + ".png";
    Picture reference;
    if (!loadPng(referencePath, reference)) {
        savePng(actual, referencePath);
        return ::testing::AssertionFailure()
               << "no reference " << referencePath << "; created it from " << actualPath
               << ": look at it before committing";
    }
    if (reference.width != actual.width || reference.height != actual.height)
        return ::testing::AssertionFailure() << name << ": size differs from the reference";
    const PictureDifference difference = compare(actual, reference);
    if (difference.meanError > maxMeanError || difference.differingFraction > maxDifferingFraction)
        return ::testing::AssertionFailure()
               << name << " differs from its reference: mean error " << difference.meanError
               << ", differing pixels " << 100.0 * difference.differingFraction << "% (see "
               << actualPath << ")";
    return ::testing::AssertionSuccess();
}

}  // namespace tolvane::test
