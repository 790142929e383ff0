// Textures decoded with FreeImage: upload formats, pixel layout after
// conversion, units, sprite frames, and the fatal path.
#include "render/Texture.h"
#include "render/SpriteSheet.h"

#include "GlTestContext.h"
#include "TestFiles.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace tolvane {
namespace {

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override { directory = test::makeScratchDirectory("tolvane-texture"); }

    // Saves a bitmap (and releases it); returns the file's path.
    std::string save(FIBITMAP* bitmap, const std::string& name, FREE_IMAGE_FORMAT format = FIF_PNG)
    {
        std::string path = directory + "/" + name;
        EXPECT_TRUE(FreeImage_Save(format, bitmap, path.c_str(), 0));
        FreeImage_Unload(bitmap);
        return path;
    }

    // A 3 x 2 image (rows of 9 or 12 bytes, so the scanline padding matters)
    // whose pixel (x, y) has red 40 x + 1, green 100 y + 2, blue 7, alpha 200.
    static FIBITMAP* rampImage(unsigned bits)
    {
        FIBITMAP* bitmap = FreeImage_Allocate(3, 2, static_cast<int>(bits));
        for (unsigned y = 0; y < 2; ++y)
            for (unsigned x = 0; x < 3; ++x) {
                RGBQUAD color{7, static_cast<BYTE>(100 * y + 2), static_cast<BYTE>(40 * x + 1), 200};
                FreeImage_SetPixelColor(bitmap, x, y, &color);
            }
        return bitmap;
    }

    static GLint internalFormat(const Texture& texture)
    {
        GLint format = 0;
        glBindTexture(GL_TEXTURE_2D, texture.textureName());
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        glBindTexture(GL_TEXTURE_2D, 0);
        return format;
    }

    // Level 0 as RGBA bytes, bottom row first. Normal maps hold the stored
    // bytes; sRGB textures are read back as stored too (no decoding on read).
    static std::vector<unsigned char> pixels(const Texture& texture)
    {
        std::vector<unsigned char> data(texture.width * texture.height * 4);
        glBindTexture(GL_TEXTURE_2D, texture.textureName());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, data.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return data;
    }

    static std::array<int, 4> pixel(const std::vector<unsigned char>& data, unsigned width, unsigned x, unsigned y)
    {
        const unsigned char* p = &data[(y * width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    std::string directory;
};

TEST_F(TextureTest, ColourImagesAreSrgbAndNormalMapsLinear)
{
    std::string rgbPath = save(rampImage(24), "rgb.png");
    std::string rgbaPath = save(rampImage(32), "rgba.png");

    Texture rgb(rgbPath, 0);
    EXPECT_FALSE(rgb.hasAlpha);
    EXPECT_FALSE(rgb.isNormalMap);
    EXPECT_EQ(rgb.width, 3u);
    EXPECT_EQ(rgb.height, 2u);
    EXPECT_EQ(internalFormat(rgb), GL_SRGB);

    Texture rgba(rgbaPath, 0);
    EXPECT_TRUE(rgba.hasAlpha);
    EXPECT_EQ(internalFormat(rgba), GL_SRGB_ALPHA);

    Texture normalMap(rgbPath, 1);
    EXPECT_TRUE(normalMap.isNormalMap);
    EXPECT_EQ(normalMap.unit, 1);
    EXPECT_EQ(internalFormat(normalMap), GL_RGB);

    // An alpha channel wins over the normal-map role.
    Texture normalMapWithAlpha(rgbaPath, 1);
    EXPECT_EQ(internalFormat(normalMapWithAlpha), GL_SRGB_ALPHA);
}

TEST_F(TextureTest, PixelsArriveInRgbOrderWithPaddedRows)
{
    Texture rgb(save(rampImage(24), "rgb.png"), 1);
    Texture rgba(save(rampImage(32), "rgba.png"), 0);
    std::vector<unsigned char> rgbPixels = pixels(rgb);
    std::vector<unsigned char> rgbaPixels = pixels(rgba);
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 0; x < 3; ++x) {
            std::array<int, 4> expected{static_cast<int>(40 * x + 1), static_cast<int>(100 * y + 2), 7, 255};
            EXPECT_EQ(pixel(rgbPixels, 3, x, y), expected) << x << "," << y;
            expected[3] = 200;
            EXPECT_EQ(pixel(rgbaPixels, 3, x, y), expected) << x << "," << y;
        }
}

TEST_F(TextureTest, OpaqueThirtyTwoBitImageIsUploadedWithoutAlpha)
{
    FIBITMAP* bitmap = rampImage(32);
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 0; x < 3; ++x) {
            RGBQUAD color{7, 8, 9, 255};
            FreeImage_SetPixelColor(bitmap, x, y, &color);
        }
    Texture texture(save(bitmap, "opaque.png"), 0);
    EXPECT_FALSE(texture.hasAlpha);
    EXPECT_EQ(internalFormat(texture), GL_SRGB);
    EXPECT_EQ(pixel(pixels(texture), 3, 2, 1), (std::array<int, 4>{9, 8, 7, 255}));
}

TEST_F(TextureTest, PaletteGreyAndSixteenBitImagesAreConverted)
{
    FIBITMAP* palette = FreeImage_Allocate(3, 2, 8);
    RGBQUAD* entries = FreeImage_GetPalette(palette);
    entries[5] = RGBQUAD{30, 20, 10, 0};  // blue, green, red
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 0; x < 3; ++x) {
            BYTE index = 5;
            FreeImage_SetPixelIndex(palette, x, y, &index);
        }
    Texture paletted(save(palette, "palette.bmp", FIF_BMP), 0);
    EXPECT_FALSE(paletted.hasAlpha);
    EXPECT_EQ(pixel(pixels(paletted), 3, 1, 1), (std::array<int, 4>{10, 20, 30, 255}));

    FIBITMAP* grey = FreeImage_Allocate(3, 2, 8);
    RGBQUAD* ramp = FreeImage_GetPalette(grey);
    for (int i = 0; i < 256; ++i)
        ramp[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 0; x < 3; ++x) {
            BYTE value = 77;
            FreeImage_SetPixelIndex(grey, x, y, &value);
        }
    Texture greyscale(save(grey, "grey.png"), 1);
    EXPECT_EQ(pixel(pixels(greyscale), 3, 2, 0), (std::array<int, 4>{77, 77, 77, 255}));

    FIBITMAP* deep = FreeImage_AllocateT(FIT_RGB16, 3, 2);
    for (unsigned y = 0; y < 2; ++y) {
        FIRGB16* row = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(deep, static_cast<int>(y)));
        for (unsigned x = 0; x < 3; ++x)
            row[x] = FIRGB16{0x1200, 0x3400, 0xFF00};
    }
    Texture sixteenBit(save(deep, "deep.png"), 0);
    EXPECT_FALSE(sixteenBit.hasAlpha);
    EXPECT_EQ(pixel(pixels(sixteenBit), 3, 0, 1), (std::array<int, 4>{0x12, 0x34, 0xFF, 255}));
}

// Level 1 of a black and white checker: half the light in a colour
// texture (sRGB 188), half the value in a normal map.
TEST_F(TextureTest, MipLevelsAverageInTheTexturesOwnColourSpace)
{
    FIBITMAP* checker = FreeImage_Allocate(2, 2, 24);
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 0; x < 2; ++x) {
            const BYTE v = (x + y) % 2 ? 255 : 0;
            RGBQUAD colour{v, v, v, 0};
            FreeImage_SetPixelColor(checker, x, y, &colour);
        }
    const std::string path = save(checker, "checker.png");
    for (const auto& [unit, expected] : {std::pair{0, 188}, std::pair{1, 128}}) {
        Texture texture(path, unit);
        glBindTexture(GL_TEXTURE_2D, texture.textureName());
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(width, 1);
        unsigned char texel[4] = {};
        glGetTexImage(GL_TEXTURE_2D, 1, GL_RGBA, GL_UNSIGNED_BYTE, texel);
        glBindTexture(GL_TEXTURE_2D, 0);
        EXPECT_EQ(texel[0], expected) << "unit " << unit;
        EXPECT_EQ(texel[2], expected) << "unit " << unit;
    }
}

TEST_F(TextureTest, BindLeavesItsOwnUnitActive)
{
    std::string path = save(rampImage(24), "rgb.png");
    Texture colour(path, 0);
    Texture normalMap(path, 1);
    GLint active = 0;
    colour.bind();
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);
    normalMap.bind();
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE1);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), normalMap.textureName());
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

TEST_F(TextureTest, SpriteFrameRectOfTheFlameStrip)
{
    SpriteSheet sheet(save(FreeImage_Allocate(5600, 195, 32), "strip.png"), 112, 195, 50, 24);
    EXPECT_TRUE(sheet.isSpriteSheet());
    EXPECT_EQ(sheet.unit, 0);
    sheet.currentFrame = 3;
    glm::vec4 rect = sheet.frameRect();
    EXPECT_FLOAT_EQ(rect.x, 0.06f);
    EXPECT_FLOAT_EQ(rect.y, 0.0f);
    EXPECT_FLOAT_EQ(rect.z, 0.02f);
    EXPECT_FLOAT_EQ(rect.w, 1.0f);
}

// The fatal message goes to standard output; the death test reads stderr.
void loadWithStdoutOnStderr(const std::string& path)
{
    dup2(STDERR_FILENO, STDOUT_FILENO);
    Texture texture(path, 0);
}

TEST_F(TextureTest, UnreadableFilesStopTheProgram)
{
    std::string garbage = directory + "/garbage";
    test::writeTextFile(garbage, "this is no image");
    EXPECT_EXIT(loadWithStdoutOnStderr(garbage), ::testing::ExitedWithCode(255), "(^|\n)Failed to load Texture\n$");

    std::string brokenPng = directory + "/broken.png";
    test::writeTextFile(brokenPng, "\x89PNG\r\n\x1a\n truncated");
    EXPECT_EXIT(loadWithStdoutOnStderr(brokenPng), ::testing::ExitedWithCode(255),
                "Could not load Image:'.*broken.png'\nFailed to load Texture");
}

}  // namespace
}  // namespace tolvane
