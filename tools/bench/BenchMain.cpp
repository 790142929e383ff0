// tolvane-bench: renders the test scene (a lit cube on a floor, one orbiting
// shadow-casting light with its lamp, a fill light) at 1024 x 600 for a few
// hundred frames and prints the median GPU time of each render pass, measured
// with GL_TIME_ELAPSED queries, and of the whole frame.
//
//   tolvane-bench [--frames N] [--save frame.png]
//
// Run from a directory holding Shader/ (the staged run directory).
#include "HiddenGlWindow.h"
#include "TestScene.h"
#include "base/GlObject.h"
#include "base/PngFile.h"

#include "render/PointLight.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "scene/PerspectiveCamera.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 600;

enum Pass { kShadow, kScene, kBlur, kComposition, kPassCount };
const char* const kPassNames[kPassCount] = {"shadow", "scene", "blur", "composition"};

struct Options {
    int frames = 300;
    std::string savePath;
};

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--frames") == 0)
            options.frames = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--save") == 0)
            options.savePath = argv[i + 1];
    }
    return options;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void saveFrame(const std::string& path)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
    std::string error;
    if (!tolvane::writePng(tolvane::PixelRows{pixels.data(), kWidth, kHeight, 3, true}, path, error))
        std::fprintf(stderr, "tolvane-bench: cannot write %s\n", error.c_str());
}

// One frame with every pass bracketed by its own timer query.
void renderTimedFrame(tolvane::Renderer& renderer, const tolvane::View& view,
                      const tolvane::GlQuery (&queries)[kPassCount])
{
    glBeginQuery(GL_TIME_ELAPSED, queries[kShadow].name());
    renderer.shadowPass(view);
    glEndQuery(GL_TIME_ELAPSED);
    glBeginQuery(GL_TIME_ELAPSED, queries[kScene].name());
    renderer.scenePass(view);
    glEndQuery(GL_TIME_ELAPSED);
    glBeginQuery(GL_TIME_ELAPSED, queries[kBlur].name());
    GLuint bloom = renderer.blur(renderer.brightTexture());
    glEndQuery(GL_TIME_ELAPSED);
    glBeginQuery(GL_TIME_ELAPSED, queries[kComposition].name());
    renderer.present(bloom);
    glEndQuery(GL_TIME_ELAPSED);
}

}  // namespace

int main(int argc, char** argv)
{
    Options options = parseOptions(argc, argv);
    GLFWwindow* window = tolvane::test::openHiddenGlWindow(kWidth, kHeight, "tolvane-bench");
    if (window == nullptr) {
        std::fprintf(stderr, "tolvane-bench: no OpenGL 3.3 core context\n");
        return 1;
    }
    std::printf("%s, %s\n", glGetString(GL_RENDERER), glGetString(GL_VERSION));
    {
        tolvane::test::TestScene scene(kWidth, kHeight);
        scene.renderer->fade = 1.0f;
        tolvane::GlQuery queries[kPassCount];
        std::vector<double> passTimes[kPassCount];
        std::vector<double> frameTimes;
        for (int frame = 0; frame < options.frames; ++frame) {
            auto start = std::chrono::steady_clock::now();
            // The key light circles the cube, as the demo's orbiting light does.
            float angle = 0.02f * static_cast<float>(frame);
            scene.keyLight->localMatrix[3] = glm::vec4(1.8f * std::cos(angle), 2.2f, 1.8f * std::sin(angle), 1.0f);
            scene.root->update(1.0 / 60.0);
            renderTimedFrame(*scene.renderer, tolvane::View{scene.root, scene.camera}, queries);
            glfwSwapBuffers(window);
            for (int pass = 0; pass < kPassCount; ++pass) {
                GLuint64 nanoseconds = 0;
                glGetQueryObjectui64v(queries[pass].name(), GL_QUERY_RESULT, &nanoseconds);
                passTimes[pass].push_back(static_cast<double>(nanoseconds) * 1e-6);
            }
            glFinish();
            frameTimes.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        std::printf("%d frames at %d x %d, median milliseconds:\n", options.frames, kWidth, kHeight);
        for (int pass = 0; pass < kPassCount; ++pass)
            std::printf("  %-12s %8.3f\n", kPassNames[pass], median(passTimes[pass]));
        std::printf("  %-12s %8.3f\n", "whole frame", median(frameTimes));
        if (!options.savePath.empty()) {
            scene.renderFrame(1.0f);
            saveFrame(options.savePath);
        }
    }
    glfwDestroyWindow(window);
    glfwTerminate();
    return 0;
}
