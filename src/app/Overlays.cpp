#include "app/Overlays.h"

#include "app/DemoState.h"
#include "app/Frame.h"
#include "app/GlfwContext.h"
#include "base/ContentLayout.h"
#include "base/Diagnostics.h"
#include "render/Material.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "render/ShaderFiles.h"
#include "render/Text.h"
#include "scene/Font.h"
#include "scene/OrthogonalCamera.h"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <chrono>
#include <utility>

namespace tolvane {

namespace {

constexpr unsigned kTextFontPixels = 48;
constexpr unsigned kTitleFontPixels = 62;
const glm::vec3 kOverlayColor(0.8f, 0.38f, 0.129f);

enum class Face { Text, Title };

// One line of the credits, placed relative to creditsRoot in pixels.
struct CreditsLine {
    const char* content;
    Face face;
    float x;
    float y;
    float scale;
};

// Top to bottom: the title, two lines side by side (the second one on the
// left), a line under each of them, and two small lines at the bottom.
const CreditsLine kCredits[] = {
    {"tolvane", Face::Title, -150.0f, 0.0f, 1.0f},
    {"GPU particles", Face::Text, 170.0f, -130.0f, 0.8f},
    {"A night by the fire", Face::Text, -310.0f, -130.0f, 0.8f},
    {"HDR and bloom", Face::Text, 250.0f, -180.0f, 0.8f},
    {"OpenGL 3.3 core", Face::Text, -200.0f, -180.0f, 0.8f},
    {"real-time rendering in C++17", Face::Text, -70.0f, -300.0f, 0.5f},
    {"GLFW GLEW GLM FreeType Assimp", Face::Text, 30.0f, -330.0f, 0.5f},
};

void buildFpsText()
{
    OverlayResources& overlays = demo.overlays;
    Text* fpsText = new Text(overlays.textFont, overlays.fontMaterial, "");
    fpsText->color = kOverlayColor;
    fpsText->translate(25.0f, static_cast<float>(static_cast<double>(demo.settings.height) - 30.0));
    fpsText->scale = 0.5f;
    demo.fpsText = fpsText;
}

// The credits are laid out in pixels for a window of at least 1024x600. A
// smaller window (a small Config.ini, a small off-screen film) shrinks the
// whole block about its anchor, so that no line runs off the picture.
float creditsFit(int width, int height)
{
    return std::min({1.0f, static_cast<float>(width) / 1024.0f, static_cast<float>(height) / 600.0f});
}

void buildCredits()
{
    const int width = demo.settings.width;
    const int height = demo.settings.height;
    const float fit = creditsFit(width, height);
    auto* creditsRoot = new Scene();
    demo.creditsRoot = creditsRoot;
    // Integer halving: an odd width puts the credits on a whole pixel.
    const int halfWidth = width / 2;
    creditsRoot->translate(static_cast<float>(halfWidth) - 80.0f * fit, static_cast<float>(height) - 190.0f * fit);
    if (fit < 1.0f)
        creditsRoot->localMatrix = glm::scale(creditsRoot->localMatrix, glm::vec3(fit));
    for (const CreditsLine& line : kCredits) {
        Font* font = line.face == Face::Title ? demo.overlays.titleFont : demo.overlays.textFont;
        Text* text = new Text(font, demo.overlays.fontMaterial, line.content);
        text->translate(line.x, line.y, 0.0f);
        text->color = kOverlayColor;
        text->scale = line.scale * fit;
        creditsRoot->addChild(text);
    }
}

}  // namespace

void buildOverlays()
{
    loadingMessageHandler = showLoadingProgress;
    const auto width = static_cast<float>(demo.settings.width);
    const auto height = static_cast<float>(demo.settings.height);
    demo.overlayCamera = new OrthogonalCamera(0.0f, width, 0.0f, height, 0.01f, 10.0f);
    OverlayResources& overlays = demo.overlays;
    overlays.fontMaterial = new Material(ShaderFiles::kFontVertex, ShaderFiles::kFontFragment, "");
    overlays.fontMaterial->blending = true;
    overlays.textFont = new Font(kTextFontPixels, content::kTextFont);
    overlays.titleFont = new Font(kTitleFontPixels, content::kTitleFont);
    buildFpsText();
    buildCredits();
    checkGLError();
}

void drawCredits()
{
    for (Object3D* line : demo.creditsRoot->children)
        static_cast<Text*>(line)->opacity = demo.creditsOpacity;
    demo.creditsRoot->draw(demo.overlayCamera);
}

void showLoadingMessage(std::string message)
{
    fitPictureToWindow();
    glClear(GL_COLOR_BUFFER_BIT);
    if (demo.renderer != nullptr) {
        const OutputViewport& output = demo.renderer->output;
        glViewport(output.x, output.y, output.width, output.height);
    }
    demo.fpsText->text = std::move(message);
    demo.fpsText->draw(demo.overlayCamera);
    activeGlContext().present();
}

bool LoadingScreenPace::due(double nowSeconds)
{
    if (lastShown >= 0.0 && nowSeconds - lastShown < kInterval)
        return false;
    lastShown = nowSeconds;
    return true;
}

// Loading takes no time on the demo's clock (a capture's stands still), so
// the pace follows the wall clock.
void showLoadingProgress(std::string message)
{
    const double now = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    if (demo.overlays.loadingPace.due(now))
        showLoadingMessage(std::move(message));
}

void releaseOverlayFont()
{
    OverlayResources& overlays = demo.overlays;
    delete overlays.fontMaterial;
    overlays.fontMaterial = nullptr;
    delete overlays.textFont;
    overlays.textFont = nullptr;
    delete overlays.titleFont;
    overlays.titleFont = nullptr;
}

}  // namespace tolvane
