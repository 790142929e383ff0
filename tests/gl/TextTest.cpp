// Fonts rasterised with FreeType and text laid out glyph by glyph, drawn for
// real and read back.
#include "GlTestContext.h"
#include "ParticlePicture.h"

#include "render/Material.h"
#include "render/ShaderFiles.h"
#include "render/Text.h"
#include "scene/Font.h"
#include "scene/OrthogonalCamera.h"

#include <memory>

namespace tolvane::test {
namespace {

const char* const kRealFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kWidth = 256;
constexpr int kHeight = 128;

// Pixels (x, y from the bottom) that differ clearly from the black clear colour.
bool lit(const Picture& picture, int x, int y)
{
    return picture.at(x, y, 0) + picture.at(x, y, 1) + picture.at(x, y, 2) > 30;
}

class TextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        material_ = new Material(ShaderFiles::kFontVertex, ShaderFiles::kFontFragment, "");
        material_->blending = true;
        realFont_ = new Font(48, kRealFont);
    }
    static void TearDownTestSuite()
    {
        delete realFont_;
        delete material_;
    }
    void SetUp() override { glGetError(); }
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

    // A font whose only glyph, 'a', is a solid 10 x 10 square standing on the
    // baseline, advancing 1663/64 pixels: drawn pixels show the layout exactly.
    std::unique_ptr<Font> squareFont()
    {
        auto font = std::unique_ptr<Font>(new Font(16, "/nonexistent/font.ttf"));  // an empty font
        GlTexture texture;
        const unsigned char full = 255;
        glBindTexture(GL_TEXTURE_2D, texture.name());
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, 1, 1, 0, GL_RED, GL_UNSIGNED_BYTE, &full);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D, 0);
        font->glyphs['a'] = Glyph{std::move(texture), 10, 10, 0, 10, 1663};
        return font;
    }

    // Draws `text` into an off-screen picture with the pixel camera.
    Picture render(Text& text)
    {
        OffscreenTarget target(kWidth, kHeight);
        target.clear(0.0f, 0.0f, 0.0f);
        OrthogonalCamera camera(0.0f, kWidth, 0.0f, kHeight, 0.01f, 10.0f);
        text.draw(&camera);
        return target.read();
    }

    // Primitives the draw of `text` sends down the pipeline.
    GLuint trianglesDrawn(Text& text)
    {
        OrthogonalCamera camera(0.0f, kWidth, 0.0f, kHeight, 0.01f, 10.0f);
        GlQuery query;
        glBeginQuery(GL_PRIMITIVES_GENERATED, query.name());
        text.draw(&camera);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint count = 0;
        glGetQueryObjectuiv(query.name(), GL_QUERY_RESULT, &count);
        return count;
    }

    static Material* material_;
    static Font* realFont_;
};

Material* TextTest::material_ = nullptr;
Font* TextTest::realFont_ = nullptr;

TEST_F(TextTest, FontRasterisesTheFirst128CharactersWithTheirMetrics)
{
    ASSERT_EQ(realFont_->glyphs.size(), 128u);
    const Glyph& a = realFont_->glyphs.at('A');
    EXPECT_GT(a.width, 20);
    EXPECT_GT(a.rows, 25);
    EXPECT_EQ(a.top, a.rows) << "'A' stands on the baseline";
    EXPECT_EQ(a.advance % 64, 0u) << "hinted advances are whole pixels";
    EXPECT_GT(a.advance / 64, static_cast<unsigned>(a.width) / 2);
    const Glyph& p = realFont_->glyphs.at('p');
    EXPECT_GT(p.rows, p.top) << "'p' hangs below the baseline";
    const Glyph& space = realFont_->glyphs.at(' ');
    EXPECT_EQ(space.width, 0);
    EXPECT_EQ(space.rows, 0);
    EXPECT_GT(space.advance, 0u);

    GLint internalFormat = 0;
    GLint textureWidth = 0;
    glBindTexture(GL_TEXTURE_2D, a.texture.name());
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &textureWidth);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(internalFormat, GL_RED);
    EXPECT_EQ(textureWidth, a.width);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1) << "odd-width rows are uploaded unpadded";
}

TEST_F(TextTest, MissingFontFileIsReportedAndDrawsNothing)
{
    std::unique_ptr<Font> missing;
    const std::string printed = captureStdout([&] { missing = std::make_unique<Font>(48, "/nonexistent/font.ttf"); });
    EXPECT_EQ(printed, "ERROR::FREETYPE: Failed to load font\n");
    EXPECT_TRUE(missing->glyphs.empty());

    Text text(missing.get(), material_, "fps: 60");
    text.translate(10.0f, 20.0f);
    const Picture picture = render(text);
    EXPECT_EQ(picture.maximum(), 0);
}

TEST_F(TextTest, PenAdvancesByWholePixelsTimesTheScale)
{
    std::unique_ptr<Font> font = squareFont();
    Text text(font.get(), material_, "aa");
    text.scale = 0.5f;
    text.translate(100.0f, 40.0f);
    const Picture picture = render(text);
    // First square: x 100 to 105; the second starts 25 * 0.5 = 12.5 later
    // (not 1663/64 * 0.5 = 12.99), covering the pixel centres 112.5 to 116.5.
    for (int x = 100; x < 105; ++x)
        EXPECT_TRUE(lit(picture, x, 42)) << x;
    EXPECT_FALSE(lit(picture, 105, 42));
    EXPECT_FALSE(lit(picture, 111, 42));
    for (int x = 112; x < 117; ++x)
        EXPECT_TRUE(lit(picture, x, 42)) << x;
    EXPECT_FALSE(lit(picture, 117, 42));
    EXPECT_TRUE(lit(picture, 100, 40));
    EXPECT_TRUE(lit(picture, 100, 44));
    EXPECT_FALSE(lit(picture, 100, 45)) << "5 pixels tall at scale 0.5";
    EXPECT_FALSE(lit(picture, 100, 39));
}

TEST_F(TextTest, PenStartsAtTheWorldPositionThroughParents)
{
    std::unique_ptr<Font> font = squareFont();
    Object3D parent;
    Text* text = new Text(font.get(), material_, "a");
    text->translate(25.0f, 10.0f, 0.0f);
    parent.translate(100.0f, 50.0f, 0.0f);
    parent.addChild(text);
    const Picture picture = render(*text);
    EXPECT_TRUE(lit(picture, 125, 60));
    EXPECT_TRUE(lit(picture, 134, 69));
    EXPECT_FALSE(lit(picture, 124, 60));
    EXPECT_FALSE(lit(picture, 125, 59));
    EXPECT_FALSE(lit(picture, 135, 60));
}

TEST_F(TextTest, UnknownByteGetsAnEmptyEntryAndDoesNotMoveThePen)
{
    std::unique_ptr<Font> font = squareFont();
    Text text(font.get(), material_,
              "\xC3"
              "a");
    text.translate(50.0f, 30.0f);
    const Picture picture = render(text);
    ASSERT_EQ(font->glyphs.count(static_cast<char>(0xC3)), 1u);
    const Glyph& added = font->glyphs.at(static_cast<char>(0xC3));
    EXPECT_EQ(added.texture.name(), 0u);
    EXPECT_EQ(added.width, 0);
    EXPECT_EQ(added.advance, 0u);
    EXPECT_TRUE(lit(picture, 50, 30));
    EXPECT_FALSE(lit(picture, 49, 30));
}

TEST_F(TextTest, EmptyTextIssuesNoDrawButLeavesTheStateClean)
{
    std::unique_ptr<Font> font = squareFont();
    Text empty(font.get(), material_, "");
    EXPECT_EQ(trianglesDrawn(empty), 0u);
    GLint program = 0;
    GLint vertexArray = -1;
    GLint texture = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    EXPECT_EQ(static_cast<GLuint>(program), material_->program());
    EXPECT_EQ(vertexArray, 0);
    EXPECT_EQ(texture, 0);

    Text two(font.get(), material_, "aa");
    EXPECT_EQ(trianglesDrawn(two), 4u) << "one quad per byte";
}

TEST_F(TextTest, RenderedCounterHasColourOnlyWhereItsGlyphsAre)
{
    Text text(realFont_, material_, "fps: 60");
    text.color = glm::vec3(0.8f, 0.38f, 0.129f);
    text.scale = 0.5f;
    text.translate(20.0f, 50.0f);
    const Picture picture = render(text);
    EXPECT_TRUE(matchesReference(picture, "text-fps", 24, 0.01));

    // Every glyph's box, by the layout rule, must hold ink; nothing outside
    // the boxes (one pixel of filtering slack) may.
    std::vector<bool> insideBox(static_cast<size_t>(kWidth * kHeight), false);
    float x = 20.0f;
    for (char ch : text.text) {
        const Glyph& g = realFont_->glyphs.at(ch);
        const int left = static_cast<int>(x + g.left * 0.5f) - 1;
        const int bottom = static_cast<int>(50.0f - (g.rows - g.top) * 0.5f) - 1;
        const int right = static_cast<int>(x + (g.left + g.width) * 0.5f) + 1;
        const int top = static_cast<int>(50.0f + g.top * 0.5f) + 1;
        int ink = 0;
        for (int py = bottom; py <= top; ++py)
            for (int px = left; px <= right; ++px) {
                insideBox[static_cast<size_t>(py * kWidth + px)] = true;
                ink += lit(picture, px, py) ? 1 : 0;
            }
        if (g.width > 0) {
            EXPECT_GT(ink, 5) << "glyph '" << ch << "'";
        }
        x += (g.advance >> 6) * 0.5f;
    }
    int stray = 0;
    for (int py = 0; py < kHeight; ++py)
        for (int px = 0; px < kWidth; ++px)
            stray += !insideBox[static_cast<size_t>(py * kWidth + px)] && lit(picture, px, py) ? 1 : 0;
    EXPECT_EQ(stray, 0);
    // The ink is the text colour: red above green above blue.
    EXPECT_GT(picture.maximum(), 150);
}

}  // namespace
}  // namespace tolvane::test
