#include "scene/Font.h"

#include "base/Diagnostics.h"

#include <utility>

namespace tolvane {

Font::Font(unsigned pixelHeight, const std::string& path)
{
    if (FT_Init_FreeType(&library) != 0) {
        logMessage("ERROR::FREETYPE: Could not init FreeType Library");
        library = nullptr;
        return;
    }
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        logMessage("ERROR::FREETYPE: Failed to load font");
        FT_Done_FreeType(library);
        face = nullptr;
        return;
    }
    FT_Set_Pixel_Sizes(face, 0, pixelHeight);
    loadGlyphs();
}

Font::~Font() = default;

void Font::loadGlyphs()
{
    // Glyph rows are tightly packed bytes, not 4-byte aligned.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glActiveTexture(GL_TEXTURE0);
    for (unsigned code = 0; code <= 127; ++code)
        loadGlyph(static_cast<unsigned char>(code));
    glBindTexture(GL_TEXTURE_2D, 0);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

void Font::loadGlyph(unsigned char code)
{
    if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0) {
        logMessage("ERROR::FREETYTPE: Failed to load Glyph");
        return;
    }
    const FT_GlyphSlot slot = face->glyph;
    GlTexture texture;
    glBindTexture(GL_TEXTURE_2D, texture.name());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, static_cast<GLsizei>(slot->bitmap.width),
                 static_cast<GLsizei>(slot->bitmap.rows), 0, GL_RED, GL_UNSIGNED_BYTE, slot->bitmap.buffer);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    Glyph glyph{std::move(texture),
                static_cast<std::int32_t>(slot->bitmap.width),
                static_cast<std::int32_t>(slot->bitmap.rows),
                slot->bitmap_left,
                slot->bitmap_top,
                static_cast<std::uint32_t>(slot->advance.x)};
    glyphs.emplace(static_cast<char>(code), std::move(glyph));
}

}  // namespace tolvane
