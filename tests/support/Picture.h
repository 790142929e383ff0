#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvane::test {

// An 8-bit RGB image in GL's row order (bottom row first), read back from a
// framebuffer or loaded from a PNG, for comparisons against reference files.
class Picture {
public:
    Picture() = default;
    Picture(int width, int height);

    // Reads the lower-left width x height pixels of the bound read framebuffer.
    static Picture readFramebuffer(int width, int height);
    // Loads a PNG; an empty picture (width 0) when it cannot be read.
    static Picture load(const std::string& path);
    // Writes a PNG; false when it cannot be written.
    bool save(const std::string& path) const;

    // Channel c (0 red, 1 green, 2 blue) of pixel (x, y), y counted from the bottom.
    int at(int x, int y, int c) const { return pixels[static_cast<size_t>((y * width + x) * 3 + c)]; }
    // Mean of (r + g + b) / 3 over the square of half-size `radius` around (x, y).
    double meanBrightness(int x, int y, int radius) const;
    // Largest channel value over the whole picture.
    int maximum() const;

    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

// Compares `actual` with tests/references/<name>.png: a pixel differs when one
// of its channels is off by more than `tolerance`; the comparison fails when
// more than `maxDifferingShare` of the pixels differ (or the sizes differ).
// On failure the actual picture and a difference image (differing pixels in
// red over a dimmed copy of the reference) are written to a scratch
// directory named in the message. With TOLVANE_UPDATE_REFERENCES=1 in the
// environment the reference is (re)written instead and the check passes.
::testing::AssertionResult matchesReference(const Picture& actual, const std::string& name, int tolerance = 12,
                                            double maxDifferingShare = 0.01);

// Where references live in the source tree.
std::string referencePath(const std::string& name);

}  // namespace tolvane::test
