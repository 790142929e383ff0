// The one PNG writer: what a reader finds in its files, whichever row order
// and channel count the pixels came in, and a failure that leaves no file.
#include "base/PngFile.h"
#include "TestFiles.h"
#include "capture/OutputFile.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <unistd.h>
#include <vector>

using namespace tolvane;

namespace {

// The colour a PNG reader sees at (x, y), y counted from the top.
struct Seen {
    int red = -1, green = -1, blue = -1, alpha = -1;
    bool operator==(const Seen& other) const
    {
        return red == other.red && green == other.green && blue == other.blue && alpha == other.alpha;
    }
};

Seen pixelAt(const std::string& path, int x, int yFromTop)
{
    Seen seen;
    FIBITMAP* bitmap = FreeImage_Load(FIF_PNG, path.c_str(), 0);
    if (bitmap == nullptr)
        return seen;
    const int height = static_cast<int>(FreeImage_GetHeight(bitmap));
    RGBQUAD colour{};
    if (FreeImage_GetPixelColor(bitmap, x, height - 1 - yFromTop, &colour)) {
        seen.red = colour.rgbRed;
        seen.green = colour.rgbGreen;
        seen.blue = colour.rgbBlue;
        seen.alpha = FreeImage_GetBPP(bitmap) == 32 ? colour.rgbReserved : 255;
    }
    FreeImage_Unload(bitmap);
    return seen;
}

class PngFileTest : public ::testing::Test {
protected:
    std::string directory = test::makeScratchDirectory("png");
};

}  // namespace

// A 2 x 2 picture, red top left, in either row order: the file shows red at
// the top left both times.
TEST_F(PngFileTest, RowsComeOutTheRightWayUpFromEitherOrder)
{
    // blue, green, red per pixel; rows listed top first.
    const std::vector<std::uint8_t> topFirst = {0,   0, 255, 0,   255, 0,     // red, green
                                                255, 0, 0,   255, 255, 255};  // blue, white
    std::vector<std::uint8_t> bottomFirst(topFirst.begin() + 6, topFirst.end());
    bottomFirst.insert(bottomFirst.end(), topFirst.begin(), topFirst.begin() + 6);
    std::string error;
    ASSERT_TRUE(writePng(PixelRows{topFirst.data(), 2, 2, 3, false}, directory + "/top.png", error)) << error;
    ASSERT_TRUE(writePng(PixelRows{bottomFirst.data(), 2, 2, 3, true}, directory + "/bottom.png", error)) << error;
    for (const char* name : {"/top.png", "/bottom.png"}) {
        const std::string path = directory + name;
        EXPECT_TRUE(isCompletePng(path));
        EXPECT_EQ(pixelAt(path, 0, 0), (Seen{255, 0, 0, 255})) << name;
        EXPECT_EQ(pixelAt(path, 1, 0), (Seen{0, 255, 0, 255})) << name;
        EXPECT_EQ(pixelAt(path, 0, 1), (Seen{0, 0, 255, 255})) << name;
        EXPECT_EQ(pixelAt(path, 1, 1), (Seen{255, 255, 255, 255})) << name;
    }
}

// Alpha is kept, and one writer handles frames of changing size and
// channels in turn (its bitmap is remade, never reused at the wrong size).
TEST_F(PngFileTest, AlphaIsKeptAndOneWriterTakesChangingSizes)
{
    PngWriter writer;
    std::string error;
    const std::vector<std::uint8_t> translucent = {10, 20, 30, 128};
    ASSERT_TRUE(writer.write(PixelRows{translucent.data(), 1, 1, 4, true}, directory + "/a.png", error)) << error;
    EXPECT_EQ(pixelAt(directory + "/a.png", 0, 0), (Seen{30, 20, 10, 128}));

    std::vector<std::uint8_t> wide(5 * 1 * 3, 200);
    wide[12] = 7;  // the last pixel's blue
    ASSERT_TRUE(writer.write(PixelRows{wide.data(), 5, 1, 3, true}, directory + "/b.png", error)) << error;
    EXPECT_EQ(pixelAt(directory + "/b.png", 4, 0), (Seen{200, 200, 7, 255}));
    EXPECT_EQ(pixelAt(directory + "/a.png", 0, 0), (Seen{30, 20, 10, 128}));
}

TEST_F(PngFileTest, AFailedWriteNamesTheFileAndLeavesNothing)
{
    const std::vector<std::uint8_t> pixels(64 * 64 * 3, 90);
    const PixelRows rows{pixels.data(), 64, 64, 3, true};
    std::string error;
    EXPECT_FALSE(writePng(rows, directory + "/missing/x.png", error));
    EXPECT_EQ(error.rfind(directory + "/missing/x.png: ", 0), 0u) << error;
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_FALSE(writePng(rows, "/dev/full", error));
        EXPECT_NE(error.find("/dev/full: "), std::string::npos) << error;
    }
    EXPECT_FALSE(writePng(PixelRows{nullptr, 64, 64, 3, true}, directory + "/none.png", error));
    EXPECT_FALSE(writePng(PixelRows{pixels.data(), 8, 8, 2, true}, directory + "/two.png", error));
    EXPECT_NE(access((directory + "/none.png").c_str(), F_OK), 0);
    EXPECT_NE(access((directory + "/two.png").c_str(), F_OK), 0);
}
