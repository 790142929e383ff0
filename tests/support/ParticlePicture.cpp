#include "ParticlePicture.h"

#include <FreeImage.h>

#include <algorithm>

namespace tolvane::test {

OffscreenTarget::OffscreenTarget(int width, int height) : width_(width), height_(height)
{
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousFramebuffer_);
    glGetIntegerv(GL_VIEWPORT, previousViewport_);
    glBindTexture(GL_TEXTURE_2D, color_.name());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_SRGB8_ALPHA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_.name());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_.name());
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color_.name(), 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_.name());
    glViewport(0, 0, width, height);
    glEnable(GL_FRAMEBUFFER_SRGB);
}

OffscreenTarget::~OffscreenTarget()
{
    glDisable(GL_FRAMEBUFFER_SRGB);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer_));
    glViewport(previousViewport_[0], previousViewport_[1], previousViewport_[2], previousViewport_[3]);
}

void OffscreenTarget::clear(float r, float g, float b)
{
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}

Picture OffscreenTarget::read() const
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_.name());
    return Picture::readFramebuffer(width_, height_);
}

bool writeSpritePng(const std::string& path, int size, ShadeFunction shade)
{
    FIBITMAP* bitmap = FreeImage_Allocate(size, size, 32);
    if (bitmap == nullptr)
        return false;
    for (int y = 0; y < size; ++y) {
        BYTE* line = FreeImage_GetScanLine(bitmap, y);  // FreeImage rows run bottom-up
        for (int x = 0; x < size; ++x) {
            float value[4] = {0.0f, 0.0f, 0.0f, 1.0f};
            shade((x + 0.5f) / size, (y + 0.5f) / size, value);
            BYTE bytes[4];
            for (int c = 0; c < 4; ++c)
                bytes[c] = static_cast<BYTE>(std::clamp(value[c], 0.0f, 1.0f) * 255.0f + 0.5f);
            line[4 * x + FI_RGBA_RED] = bytes[0];
            line[4 * x + FI_RGBA_GREEN] = bytes[1];
            line[4 * x + FI_RGBA_BLUE] = bytes[2];
            line[4 * x + FI_RGBA_ALPHA] = bytes[3];
        }
    }
    const bool saved = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0) != 0;
    FreeImage_Unload(bitmap);
    return saved;
}

}  // namespace tolvane::test
