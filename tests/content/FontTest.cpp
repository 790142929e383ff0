#include "ContentStage.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

using namespace content_test;

namespace {

// Loads like the demo's font class: every printable character at a pixel
// height; returns the number of characters that rendered a visible glyph.
int renderablePrintables(const std::string& path, unsigned pixelHeight)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library))
        return -1;
    FT_Face face = nullptr;
    int visible = -1;
    if (!FT_New_Face(library, path.c_str(), 0, &face)) {
        FT_Set_Pixel_Sizes(face, 0, pixelHeight);
        visible = 0;
        for (char c = '!'; c <= '~'; ++c)
            if (!FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER) && face->glyph->bitmap.width > 0)
                ++visible;
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return visible;
}

}  // namespace

TEST(Fonts, BothFontsLoadAndDrawLettersAndDigits)
{
    // 94 printable characters; a few (rare symbols) may be missing.
    EXPECT_GE(renderablePrintables(runDir() + "/Fonts/Beyond Wonderland.ttf", 48), 85);
    EXPECT_GE(renderablePrintables(runDir() + "/Fonts/Celtasmigoria.ttf", 62), 60);
}

TEST(Fonts, EachFontCarriesItsLicenceBesideIt)
{
    for (const char* font : {"Beyond Wonderland", "Celtasmigoria"}) {
        const std::string licence = readFile(runDir() + "/Fonts/" + font + " - copyright.txt");
        EXPECT_NE(licence.find("SIL OPEN FONT LICENSE"), std::string::npos) << font;
    }
}

TEST(Config, DefaultsAreWrittenOutAsPlainKeyValueLines)
{
    const std::string ini = readFile(runDir() + "/Config.ini");
    for (const char* line :
         {"fullscreen=0\n", "width=1024\n", "height=600\n", "refresh_rate=0\n", "ambient=0.1\n", "intensity=1.0\n"})
        EXPECT_NE(ini.find(line), std::string::npos) << line;
    EXPECT_EQ(ini.find(" ="), std::string::npos);
    EXPECT_EQ(ini.find('\r'), std::string::npos);
}
