#include "app/Application.h"
#include "base/GlObject.h"
#include "base/PngFile.h"
#include "bench/BenchOptions.h"
#include "bench/SceneBenches.h"
#include "bench/TestScene.h"
#include "render/PointLight.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "scene/PerspectiveCamera.h"
#include "session/EglContext.h"
#include "session/PlaySession.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tolvane {

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 600;

enum Pass { kShadow, kScene, kBlur, kComposition, kPassCount };
const char* const kPassNames[kPassCount] = {"shadow", "scene", "blur", "composition"};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool saveFrame(const std::string& path)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
    std::string error;
    if (writePng(PixelRows{pixels.data(), kWidth, kHeight, 3, true}, path, error))
        return true;
    reportProblem("cannot write " + error);
    return false;
}

// One frame with every pass bracketed by its own timer query.
void renderTimedFrame(Renderer& renderer, const View& view, const GlQuery (&queries)[kPassCount])
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

std::unique_ptr<EglContext> openSceneContext(int width, int height)
{
    auto egl = std::make_unique<EglContext>();
    std::string error;
    if (!egl->open(error) || !egl->makeCurrent(width, height) || !egl->loadEntryPoints()) {
        reportProblem(error.empty() ? "the EGL context cannot be made current" : error);
        return nullptr;
    }
    glGetError();  // GLEW's initialisation may leave an error pending
    demo.glContext = egl.get();
    overrideEntryPoints();
    std::printf("%s, %s\n", glGetString(GL_RENDERER), glGetString(GL_VERSION));
    return egl;
}

int benchPasses(const BenchOptions& options)
{
    const int frames = options.frames > 0 ? options.frames : 300;
    std::unique_ptr<EglContext> egl = openSceneContext(kWidth, kHeight);
    if (egl == nullptr)
        return 2;
    bool saved = true;
    {
        TestScene scene(kWidth, kHeight);
        scene.renderer->fade = 1.0f;
        GlQuery queries[kPassCount];
        std::vector<double> passTimes[kPassCount];
        std::vector<double> frameTimes;
        for (int frame = 0; frame < frames; ++frame) {
            auto start = std::chrono::steady_clock::now();
            // The key light circles the cube, as the demo's orbiting light does.
            float angle = 0.02f * static_cast<float>(frame);
            scene.keyLight->localMatrix[3] = glm::vec4(1.8f * std::cos(angle), 2.2f, 1.8f * std::sin(angle), 1.0f);
            scene.root->update(1.0 / 60.0);
            renderTimedFrame(*scene.renderer, View{scene.root, scene.camera}, queries);
            egl->present();
            for (int pass = 0; pass < kPassCount; ++pass) {
                GLuint64 nanoseconds = 0;
                glGetQueryObjectui64v(queries[pass].name(), GL_QUERY_RESULT, &nanoseconds);
                passTimes[pass].push_back(static_cast<double>(nanoseconds) * 1e-6);
            }
            glFinish();
            frameTimes.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        std::printf("%d frames at %d x %d, median milliseconds:\n", frames, kWidth, kHeight);
        for (int pass = 0; pass < kPassCount; ++pass)
            std::printf("  %-12s %8.3f\n", kPassNames[pass], median(passTimes[pass]));
        std::printf("  %-12s %8.3f\n", "whole frame", median(frameTimes));
        if (!options.savePath.empty()) {
            scene.renderFrame(1.0f);
            saved = saveFrame(options.savePath);
        }
    }
    demo.glContext = nullptr;
    return saved ? 0 : 1;
}

}  // namespace tolvane
