// Images decoded for upload without a GL context: the CPU mip chain and the
// worker that decodes ahead of the textures that take its images.
#include "render/TextureImage.h"
#include "render/TexturePrefetch.h"

#include "TestFiles.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tolvane {
namespace {

MipLevel levelOf(unsigned width, unsigned height, std::vector<std::uint8_t> bytes)
{
    MipLevel level;
    level.width = width;
    level.height = height;
    level.bytes = std::move(bytes);
    return level;
}

TEST(MipChainTest, SrgbAveragesInLinearLightAndAlphaAsStored)
{
    // One black and one white texel in each row, alpha 0 and 255.
    const MipLevel checker = levelOf(2, 2, {0, 0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0, 0});
    const MipLevel srgb = halveLevel(checker, 4, true);
    ASSERT_EQ(srgb.width, 1u);
    ASSERT_EQ(srgb.height, 1u);
    // Half the light is sRGB 188, not the 128 that averaging the bytes gives.
    EXPECT_EQ(srgb.bytes, (std::vector<std::uint8_t>{188, 188, 188, 128}));
    EXPECT_EQ(halveLevel(checker, 4, false).bytes, (std::vector<std::uint8_t>{128, 128, 128, 128}));
}

TEST(MipChainTest, OddSizesRoundDownAndSampleAtTexelCentres)
{
    // 3 -> 1: the centre texel itself.
    EXPECT_EQ(halveLevel(levelOf(3, 1, {0, 0, 0, 90, 90, 90, 200, 200, 200}), 3, false).bytes,
              (std::vector<std::uint8_t>{90, 90, 90}));
    // 5 -> 2: centres at 0.75 and 3.25 texels, between texels 0/1 and 3/4.
    const MipLevel row = levelOf(5, 1, {0, 0, 0, 100, 100, 100, 7, 7, 7, 40, 40, 40, 200, 200, 200});
    const MipLevel half = halveLevel(row, 3, false);
    ASSERT_EQ(half.width, 2u);
    EXPECT_EQ(half.bytes, (std::vector<std::uint8_t>{75, 75, 75, 80, 80, 80}));
    // A side of one texel stays one while the other halves.
    const MipLevel column = halveLevel(levelOf(1, 4, {10, 10, 10, 30, 30, 30, 50, 50, 50, 70, 70, 70}), 3, false);
    EXPECT_EQ(column.width, 1u);
    EXPECT_EQ(column.bytes, (std::vector<std::uint8_t>{20, 20, 20, 60, 60, 60}));
}

class TextureImageTest : public ::testing::Test {
protected:
    void SetUp() override { directory = test::makeScratchDirectory("tolvane-texture-image"); }
    void TearDown() override { std::filesystem::remove_all(directory); }

    // A 6 x 3 RGB image (18-byte rows, which FreeImage pads to 20) of a
    // horizontal ramp.
    std::string saveRamp(const std::string& name) const
    {
        FIBITMAP* bitmap = FreeImage_Allocate(6, 3, 24);
        for (unsigned y = 0; y < 3; ++y)
            for (unsigned x = 0; x < 6; ++x) {
                RGBQUAD colour{static_cast<BYTE>(40 * x), static_cast<BYTE>(10 * y), 200, 0};
                FreeImage_SetPixelColor(bitmap, x, y, &colour);
            }
        const std::string path = directory + "/" + name;
        EXPECT_TRUE(FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0));
        FreeImage_Unload(bitmap);
        return path;
    }

    // A 5 x 3 RGBA image, opaque grey but for texel (x, y) of alpha `alpha`.
    std::string saveWithAlpha(const std::string& name, unsigned x, unsigned y, BYTE alpha) const
    {
        FIBITMAP* bitmap = FreeImage_Allocate(5, 3, 32);
        for (unsigned row = 0; row < 3; ++row)
            for (unsigned column = 0; column < 5; ++column) {
                RGBQUAD colour{90, 90, 90, column == x && row == y ? alpha : BYTE{255}};
                FreeImage_SetPixelColor(bitmap, column, row, &colour);
            }
        const std::string path = directory + "/" + name;
        EXPECT_TRUE(FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0));
        FreeImage_Unload(bitmap);
        return path;
    }

    static void expectSame(const TextureImage& a, const TextureImage& b)
    {
        EXPECT_EQ(a.outcome, b.outcome);
        EXPECT_EQ(a.hasAlpha, b.hasAlpha);
        EXPECT_EQ(a.hasCutout, b.hasCutout);
        EXPECT_EQ(a.srgb, b.srgb);
        ASSERT_EQ(a.levels.size(), b.levels.size());
        for (size_t i = 0; i < a.levels.size(); ++i)
            EXPECT_EQ(a.levels[i].bytes, b.levels[i].bytes) << "level " << i;
    }

    std::string directory;
};

TEST_F(TextureImageTest, DecodesTightRowsAndAChainDownToOneTexel)
{
    const TextureImage colour = TextureImage::decode(saveRamp("ramp.png"), 0);
    ASSERT_EQ(colour.outcome, TextureImage::Outcome::Decoded);
    EXPECT_FALSE(colour.hasAlpha);
    EXPECT_TRUE(colour.srgb);
    ASSERT_EQ(colour.levels.size(), 3u);
    EXPECT_EQ(colour.levels[1].width, 3u);
    EXPECT_EQ(colour.levels[1].height, 1u);
    EXPECT_EQ(colour.levels[2].width, 1u);
    EXPECT_EQ(colour.levels[2].height, 1u);
    // Pixel (5, 2) sits at the end of the last row of 18 bytes: blue, green, red.
    ASSERT_EQ(colour.levels[0].bytes.size(), 6u * 3u * 3u);
    EXPECT_EQ(colour.levels[0].bytes[2 * 18 + 15], 200);
    EXPECT_EQ(colour.levels[0].bytes[2 * 18 + 16], 20);
    EXPECT_EQ(colour.levels[0].bytes[2 * 18 + 17], 200);

    EXPECT_FALSE(TextureImage::decode(saveRamp("ramp.png"), 1).srgb) << "a normal map is stored linear";
}

// One texel with alpha below one half (127 of 255) makes the image a
// cut-out wherever it lies, the last texel read included; alpha of 128 does
// not, nor does an image without alpha or with opaque alpha only (decoded as
// RGB).
TEST_F(TextureImageTest, ACutoutIsAnyTexelWithAlphaBelowOneHalf)
{
    struct Case {
        const char* name;
        unsigned x, y;
        BYTE alpha;
        bool hasAlpha, hasCutout;
    };
    const Case cases[] = {
        {"first-texel-clear.png", 0, 0, 0, true, true},
        {"last-texel-127.png", 4, 2, 127, true, true},
        {"middle-texel-128.png", 2, 1, 128, true, false},
        {"opaque.png", 0, 0, 255, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TextureImage image = TextureImage::decode(saveWithAlpha(c.name, c.x, c.y, c.alpha), 0);
        ASSERT_EQ(image.outcome, TextureImage::Outcome::Decoded);
        EXPECT_EQ(image.hasAlpha, c.hasAlpha);
        EXPECT_EQ(image.hasCutout, c.hasCutout);
    }
    EXPECT_FALSE(TextureImage::decode(saveRamp("ramp.png"), 0).hasCutout);
}

TEST_F(TextureImageTest, FailuresSayWhy)
{
    test::writeTextFile(directory + "/garbage", "this is no image");
    EXPECT_EQ(TextureImage::decode(directory + "/garbage", 0).outcome, TextureImage::Outcome::UnknownFormat);
    const TextureImage absent = TextureImage::decode(directory + "/absent.png", 0);
    EXPECT_EQ(absent.outcome, TextureImage::Outcome::Unreadable);
    EXPECT_TRUE(absent.levels.empty());
}

TEST_F(TextureImageTest, PrefetchedImagesEqualImagesDecodedInPlace)
{
    const std::string first = saveRamp("first.png");
    const std::string second = saveRamp("second.png");
    TexturePrefetch prefetch;
    prefetch.request(first, 0);
    prefetch.request(second, 1);
    prefetch.request(directory + "/absent.png", 0);
    expectSame(prefetch.take(second, 1), TextureImage::decode(second, 1));
    expectSame(prefetch.take(first, 0), TextureImage::decode(first, 0));
    // Never requested, or a unit other than the one requested: decoded here.
    expectSame(prefetch.take(first, 1), TextureImage::decode(first, 1));
    // A failure travels to the taker instead of being reported by the worker.
    EXPECT_EQ(prefetch.take(directory + "/absent.png", 0).outcome, TextureImage::Outcome::Unreadable);
    // Taken twice: the second is decoded again.
    expectSame(prefetch.take(first, 0), TextureImage::decode(first, 0));
}

TEST_F(TextureImageTest, AStoppedPrefetchStillServesAndNeverHangs)
{
    const std::string ramp = saveRamp("ramp.png");
    {
        TexturePrefetch abandoned;
        for (int i = 0; i < 50; ++i)
            abandoned.request(ramp, i % 2);
        abandoned.request(directory + "/absent.png", 0);
    }  // dropped with work still queued
    TexturePrefetch prefetch;
    prefetch.request(ramp, 0);
    prefetch.stop();
    prefetch.request(ramp, 1);
    expectSame(prefetch.take(ramp, 0), TextureImage::decode(ramp, 0));
    expectSame(prefetch.take(ramp, 1), TextureImage::decode(ramp, 1));
}

}  // namespace
}  // namespace tolvane
