#pragma once

#include "Picture.h"
#include "base/GlObject.h"

#include <GL/glew.h>

#include <string>

// Drawing helpers for the particle and text tests: an off-screen target and
// procedurally painted sprite files.
namespace tolvane::test {

// A framebuffer with one sRGB colour attachment and a depth buffer, bound
// for drawing while it exists (the previous binding and viewport come back
// after). Blending happens in linear light and is stored gamma-encoded, as
// on the demo's screen.
class OffscreenTarget {
public:
    OffscreenTarget(int width, int height);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    // Clears colour (to the given one, opaque) and depth.
    void clear(float r, float g, float b);
    Picture read() const;

private:
    int width_;
    int height_;
    GlFramebuffer framebuffer_;
    GlTexture color_;
    GlRenderbuffer depth_;
    GLint previousFramebuffer_ = 0;
    GLint previousViewport_[4] = {0, 0, 0, 0};
};

// Writes a size x size RGBA PNG whose pixel at (u, v), both from 0 to 1 with
// v up, is painted by `shade(u, v, rgba)` with four floats from 0 to 1.
// A fully opaque image is stored without alpha.
using ShadeFunction = void (*)(float u, float v, float* rgba);
bool writeSpritePng(const std::string& path, int size, ShadeFunction shade);

}  // namespace tolvane::test
