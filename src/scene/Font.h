#pragma once

#include "base/GlObject.h"

#include <GL/glew.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <map>
#include <string>

namespace tolvane {

// One rasterised character of a Font. Metrics are in pixels at the font's
// pixel height, except advance. Move-only: it owns its texture.
struct Glyph {
    GlTexture texture{NoCreate};  // GL_RED texture of the bitmap, first row on top; none for an empty glyph
    std::int32_t width = 0;       // bitmap width
    std::int32_t rows = 0;        // bitmap height
    std::int32_t left = 0;        // from the pen to the bitmap's left edge
    std::int32_t top = 0;         // from the baseline up to the bitmap's top row
    std::uint32_t advance = 0;    // pen advance, 1/64 pixel
};

// The characters 0 to 127 of a TrueType file, rasterised once with FreeType
// into one small texture each. Problems with the file or a character are
// printed and leave the font without those glyphs; nothing is fatal. Needs a
// current GL context; owns the glyph textures.
class Font {
public:
    // Loads `path` (relative to the working directory) at `pixelHeight`
    // pixels, the width following from the height. Sets the unpack alignment
    // to 1, which stays in force afterwards.
    Font(unsigned pixelHeight, const std::string& path);
    // Deletes the glyph textures.
    virtual ~Font();

    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Released at the end of construction; kept for reference only.
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    // By character code; a Text adds an all-zero entry for any byte it
    // draws without one.
    std::map<char, Glyph> glyphs;

private:
    void loadGlyphs();
    void loadGlyph(unsigned char code);
};

}  // namespace tolvane
