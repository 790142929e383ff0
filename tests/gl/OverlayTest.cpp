// The loading screen, the frame counter and the credits, built for real
// from fonts placed where the program looks for them.
#include "GlTestContext.h"
#include "ParticlePicture.h"

#include "app/Application.h"
#include "app/Diagnostics.h"
#include "app/Overlays.h"
#include "render/Scene.h"
#include "scene/Font.h"
#include "scene/OrthogonalCamera.h"
#include "scene/Text.h"

#include <filesystem>
#include <unistd.h>

namespace tolvane::test {
namespace {

namespace fs = std::filesystem;

const char* const kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Runs in a scratch working directory holding Fonts/ (a stand-in font
// under both names) and Shader/ (a link to the staged shaders).
class OverlayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = fs::current_path();
        scratch = makeScratchDirectory("overlays");
        fs::create_directories(scratch + "/Fonts");
        fs::copy_file(kFont, scratch + "/Fonts/Beyond Wonderland.ttf");
        fs::copy_file(kFont, scratch + "/Fonts/Celtasmigoria.ttf");
        fs::create_directory_symlink(home / "Shader", scratch + "/Shader");
        fs::current_path(scratch);
        window = GlTestContext::window();
        glGetError();
    }

    void TearDown() override
    {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        delete overlayCamera;
        delete fpsText;
        delete creditsRoot;
        releaseOverlayFont();
        loadingMessageHandler = nullptr;
        resetApplicationState();
        fs::current_path(home);
        fs::remove_all(scratch);
    }

    Text* credit(size_t line) { return static_cast<Text*>(creditsRoot->children.at(line)); }

    fs::path home;
    std::string scratch;
};

TEST_F(OverlayTest, PlacesEverythingForTheDefaultWindow)
{
    width = 1024;
    height = 600;
    buildOverlays();

    EXPECT_EQ(loadingMessageHandler, &showLoadingProgress);
    EXPECT_EQ(overlayCamera->right, 1024.0f);
    EXPECT_EQ(overlayCamera->top, 600.0f);
    EXPECT_EQ(overlayCamera->near, 0.01f);
    EXPECT_EQ(overlayCamera->far, 10.0f);

    EXPECT_EQ(fpsText->getWorldPosition(), glm::vec3(25.0f, 570.0f, 0.0f));
    EXPECT_EQ(fpsText->scale, 0.5f);
    EXPECT_EQ(fpsText->text, "");
    EXPECT_EQ(fpsText->color, glm::vec3(0.8f, 0.38f, 0.129f));
    EXPECT_EQ(fpsText->font->glyphs.size(), 128u);

    EXPECT_EQ(creditsRoot->getWorldPosition(), glm::vec3(432.0f, 410.0f, 0.0f));
    ASSERT_EQ(creditsRoot->children.size(), 7u);
    EXPECT_EQ(credit(0)->text, "tolvane");
    EXPECT_EQ(credit(0)->getWorldPosition(), glm::vec3(282.0f, 410.0f, 0.0f));
    EXPECT_NE(credit(0)->font, fpsText->font) << "the title has its own font";

    const glm::vec2 offsets[] = {{-150, 0},    {170, -130}, {-280, -130}, {250, -180},
                                 {-200, -180}, {-70, -300}, {30, -330}};
    const float scales[] = {1.0f, 0.8f, 0.8f, 0.8f, 0.8f, 0.5f, 0.5f};
    for (size_t line = 0; line < 7; ++line) {
        Text* text = credit(line);
        EXPECT_EQ(glm::vec2(text->localMatrix[3]), offsets[line]) << line;
        EXPECT_EQ(text->scale, scales[line]) << line;
        EXPECT_EQ(text->color, glm::vec3(0.8f, 0.38f, 0.129f)) << line;
        EXPECT_FALSE(text->text.empty()) << line;
        if (line > 0) {
            EXPECT_EQ(text->font, fpsText->font) << line;
        }
    }
}

TEST_F(OverlayTest, OddWidthKeepsTheCreditsOnAWholePixel)
{
    width = 1025;
    height = 601;
    buildOverlays();
    EXPECT_EQ(creditsRoot->getWorldPosition(), glm::vec3(432.0f, 411.0f, 0.0f));
    EXPECT_EQ(fpsText->getWorldPosition(), glm::vec3(25.0f, 571.0f, 0.0f));
    EXPECT_EQ(overlayCamera->right, 1025.0f);
}

TEST_F(OverlayTest, ASmallWindowShrinksTheCreditsToFit)
{
    width = 512;
    height = 300;
    buildOverlays();
    EXPECT_EQ(creditsRoot->getWorldPosition(), glm::vec3(216.0f, 205.0f, 0.0f));
    EXPECT_EQ(credit(0)->getWorldPosition(), glm::vec3(141.0f, 205.0f, 0.0f));
    EXPECT_EQ(credit(0)->scale, 0.5f);
    EXPECT_EQ(credit(6)->scale, 0.25f);
    EXPECT_EQ(fpsText->scale, 0.5f) << "the counter keeps its size";

    // Every line is drawn whole: lit pixels reach neither edge, and the
    // bottom line still shows.
    OffscreenTarget target(width, height);
    target.clear(0.0f, 0.0f, 0.0f);
    creditsRoot->draw(overlayCamera);
    const Picture picture = target.read();
    int left = width, right = -1, bottom = height, top = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (picture.at(x, y, 0) < 64)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            bottom = std::min(bottom, y);
            top = std::max(top, y);
        }
    }
    EXPECT_GT(left, 0);
    EXPECT_LT(right, width - 1);
    EXPECT_GT(bottom, 0);
    EXPECT_LT(bottom, 60) << "the small lines at the foot of the credits are missing";
    EXPECT_LT(top, height - 1);
}

TEST_F(OverlayTest, LoadingMessageDrawsOneFrameWithTheText)
{
    buildOverlays();
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    postLoadingMessage("Loading %d%%", 50);
    glEndQuery(GL_PRIMITIVES_GENERATED);
    GLuint triangles = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &triangles);
    glDeleteQueries(1, &query);

    EXPECT_EQ(fpsText->text, "Loading 50%");
    EXPECT_EQ(triangles, 2u * 11u) << "one quad per character";
}

TEST_F(OverlayTest, CreditsPicture)
{
    buildOverlays();
    OffscreenTarget target(width, height);
    target.clear(0.0f, 0.0f, 0.0f);
    creditsRoot->draw(overlayCamera);
    fpsText->text = "fps: 60";
    fpsText->draw(overlayCamera);
    EXPECT_TRUE(matchesReference(target.read(), "overlay-credits", 24, 0.01));
}

}  // namespace
}  // namespace tolvane::test
