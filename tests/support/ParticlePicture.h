#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

// Pictures for the particle and text tests: an off-screen target to draw
// into, reading it back, PNG files and a tolerant comparison.
namespace tolvane::test {

// 8-bit RGBA pixels, first row on top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    const unsigned char* pixel(int x, int y) const { return &rgba[4 * (y * width + x)]; }
};

// A framebuffer with one sRGB colour attachment and a depth buffer, bound
// for drawing while it exists (the previous binding is restored after).
// Blending happens in linear light and is stored gamma-encoded, as on the
// demo's screen.
class OffscreenTarget {
public:
    OffscreenTarget(int width, int height);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    void clear(float r, float g, float b);
    Picture read() const;

private:
    int width_;
    int height_;
    GLuint framebuffer_ = 0;
    GLuint color_ = 0;
    GLuint depth_ = 0;
    GLint previousFramebuffer_ = 0;
    GLint previousViewport_[4] = {0, 0, 0, 0};
};

// The default framebuffer's pixels (what a window would show).
Picture readWindow(int width, int height);

bool savePng(const Picture& picture, const std::string& path);
// False when the file is missing or not an image.
bool loadPng(const std::string& path, Picture& picture);

// Writes an RGBA PNG whose pixel (x, y), x and y from 0 to 1 with y up, is
// given by `shade`, which fills four floats from 0 to 1.
template <typename Shade>
bool writeTexturePng(const std::string& path, int size, Shade shade);

struct PictureDifference {
    double meanError = 0.0;         // mean absolute channel difference, 0 to 255
    double differingFraction = 1.0;  // pixels with some channel off by more than 32
};
PictureDifference compare(const Picture& a, const Picture& b);

// Compares `actual` with the reference PNG under tests/references/. The
// actual picture is always written to the build tree for looking at; a
// missing reference is created from it (and reported as a failure).
::testing::AssertionResult matchesReference(const Picture& actual, const std::string& name,
                                            double maxMeanError, double maxDifferingFraction);

}  // namespace tolvane::test

template <typename Shade>
bool tolvane::test::writeTexturePng(const std::string& path, int size, Shade shade)
{
    Picture picture;
    picture.width = size;
    picture.height = size;
    picture.rgba.resize(static_cast<size_t>(size * size * 4));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float value[4] = {0.0f, 0.0f, 0.0f, 1.0f};
            shade((x + 0.5f) / size, 1.0f - (y + 0.5f) / size, value);
            for (int c = 0; c < 4; ++c) {
                float v = value[c] < 0.0f ? 0.0f : (value[c] > 1.0f ? 1.0f : value[c]);
                picture.rgba[static_cast<size_t>(4 * (y * size + x) + c)] =
                    static_cast<unsigned char>(v * 255.0f + 0.5f);
            }
        }
    }
    return savePng(picture, path);
}
