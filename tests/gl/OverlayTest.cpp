// The loading screen, the frame counter and the credits, built for real
// from fonts placed where the program looks for them.
#include "GlTestContext.h"
#include "ParticlePicture.h"

#include "app/DemoState.h"
#include "app/Overlays.h"
#include "base/Diagnostics.h"
#include "base/GlObject.h"
#include "render/Scene.h"
#include "render/Text.h"
#include "scene/Font.h"
#include "scene/OrthogonalCamera.h"

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
        demo = DemoState();
        demo.window = GlTestContext::window();
        glGetError();
    }

    void TearDown() override
    {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        delete demo.overlayCamera;
        delete demo.fpsText;
        delete demo.creditsRoot;
        releaseOverlayFont();
        loadingMessageHandler = nullptr;
        demo = DemoState();
        fs::current_path(home);
        fs::remove_all(scratch);
    }

    Text* credit(size_t line) { return static_cast<Text*>(demo.creditsRoot->children.at(line)); }

    fs::path home;
    std::string scratch;
};

TEST_F(OverlayTest, PlacesEverythingForTheDefaultWindow)
{
    demo.settings.width = 1024;
    demo.settings.height = 600;
    buildOverlays();

    EXPECT_EQ(loadingMessageHandler, &showLoadingProgress);
    EXPECT_EQ(demo.overlayCamera->right, 1024.0f);
    EXPECT_EQ(demo.overlayCamera->top, 600.0f);
    EXPECT_EQ(demo.overlayCamera->near, 0.01f);
    EXPECT_EQ(demo.overlayCamera->far, 10.0f);

    EXPECT_EQ(demo.fpsText->getWorldPosition(), glm::vec3(25.0f, 570.0f, 0.0f));
    EXPECT_EQ(demo.fpsText->scale, 0.5f);
    EXPECT_EQ(demo.fpsText->text, "");
    EXPECT_EQ(demo.fpsText->color, glm::vec3(0.8f, 0.38f, 0.129f));
    EXPECT_EQ(demo.fpsText->font->glyphs.size(), 128u);

    EXPECT_EQ(demo.creditsRoot->getWorldPosition(), glm::vec3(432.0f, 410.0f, 0.0f));
    ASSERT_EQ(demo.creditsRoot->children.size(), 7u);
    EXPECT_EQ(credit(0)->text, "tolvane");
    EXPECT_EQ(credit(0)->getWorldPosition(), glm::vec3(282.0f, 410.0f, 0.0f));
    EXPECT_NE(credit(0)->font, demo.fpsText->font) << "the title has its own font";

    const glm::vec2 offsets[] = {{-150, 0},    {170, -130}, {-310, -130}, {250, -180},
                                 {-200, -180}, {-70, -300}, {30, -330}};
    const float scales[] = {1.0f, 0.8f, 0.8f, 0.8f, 0.8f, 0.5f, 0.5f};
    for (size_t line = 0; line < 7; ++line) {
        Text* text = credit(line);
        EXPECT_EQ(glm::vec2(text->localMatrix[3]), offsets[line]) << line;
        EXPECT_EQ(text->scale, scales[line]) << line;
        EXPECT_EQ(text->color, glm::vec3(0.8f, 0.38f, 0.129f)) << line;
        EXPECT_FALSE(text->text.empty()) << line;
        if (line > 0) {
            EXPECT_EQ(text->font, demo.fpsText->font) << line;
        }
    }
}

TEST_F(OverlayTest, OddWidthKeepsTheCreditsOnAWholePixel)
{
    demo.settings.width = 1025;
    demo.settings.height = 601;
    buildOverlays();
    EXPECT_EQ(demo.creditsRoot->getWorldPosition(), glm::vec3(432.0f, 411.0f, 0.0f));
    EXPECT_EQ(demo.fpsText->getWorldPosition(), glm::vec3(25.0f, 571.0f, 0.0f));
    EXPECT_EQ(demo.overlayCamera->right, 1025.0f);
}

TEST_F(OverlayTest, ASmallWindowShrinksTheCreditsToFit)
{
    demo.settings.width = 512;
    demo.settings.height = 300;
    buildOverlays();
    EXPECT_EQ(demo.creditsRoot->getWorldPosition(), glm::vec3(216.0f, 205.0f, 0.0f));
    EXPECT_EQ(credit(0)->getWorldPosition(), glm::vec3(141.0f, 205.0f, 0.0f));
    EXPECT_EQ(credit(0)->scale, 0.5f);
    EXPECT_EQ(credit(6)->scale, 0.25f);
    EXPECT_EQ(demo.fpsText->scale, 0.5f) << "the counter keeps its size";

    // Every line is drawn whole: lit pixels reach neither edge, and the
    // bottom line still shows.
    OffscreenTarget target(demo.settings.width, demo.settings.height);
    target.clear(0.0f, 0.0f, 0.0f);
    demo.creditsRoot->draw(demo.overlayCamera);
    const Picture picture = target.read();
    const int width = demo.settings.width;
    const int height = demo.settings.height;
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
    GlQuery query;
    glBeginQuery(GL_PRIMITIVES_GENERATED, query.name());
    postLoadingMessage("Loading %d%%", 50);
    glEndQuery(GL_PRIMITIVES_GENERATED);
    GLuint triangles = 0;
    glGetQueryObjectuiv(query.name(), GL_QUERY_RESULT, &triangles);

    EXPECT_EQ(demo.fpsText->text, "Loading 50%");
    EXPECT_EQ(triangles, 2u * 11u) << "one quad per character";
}

TEST_F(OverlayTest, CreditsPicture)
{
    buildOverlays();
    OffscreenTarget target(demo.settings.width, demo.settings.height);
    target.clear(0.0f, 0.0f, 0.0f);
    demo.creditsRoot->draw(demo.overlayCamera);
    demo.fpsText->text = "fps: 60";
    demo.fpsText->draw(demo.overlayCamera);
    EXPECT_TRUE(matchesReference(target.read(), "overlay-credits", 24, 0.01));
}

}  // namespace
}  // namespace tolvane::test
