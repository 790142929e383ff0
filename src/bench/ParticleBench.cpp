#include "app/Application.h"
#include "base/GlObject.h"
#include "base/PngFile.h"
#include "bench/BenchOptions.h"
#include "bench/SceneBenches.h"
#include "particles/ParticlePresets.h"
#include "particles/ParticleSystem.h"
#include "render/Texture.h"
#include "scene/PerspectiveCamera.h"
#include "session/EglContext.h"
#include "session/PlaySession.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tolvane {

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 600;

// A soft round sprite with alpha, written once to a temporary file.
std::string writeSprite()
{
    std::string path = "/tmp/tolvane-particle-bench-sprite.png";
    const int size = 64;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        std::uint8_t* line = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size) * 4;
        for (int x = 0; x < size; ++x) {
            const float dx = (x + 0.5f) / size - 0.5f;
            const float dy = (y + 0.5f) / size - 0.5f;
            const float a = std::max(0.0f, 1.0f - 4.0f * (dx * dx + dy * dy));
            std::uint8_t* pixel = line + 4 * static_cast<std::size_t>(x);
            pixel[0] = 60;  // blue, green, red, alpha
            pixel[1] = 160;
            pixel[2] = 255;
            pixel[3] = static_cast<std::uint8_t>(a * a * 255.0f);
        }
    }
    std::string error;
    if (!writePng(PixelRows{pixels.data(), size, size, 4, true}, path, error))
        reportProblem("cannot write " + error);
    return path;
}

// The demo's settings for one effect, fed as fast as a batch allows and
// with lives that outlast the run, so that every record stays alive.
void configure(ParticleSystem& system, const std::string& name)
{
    if (name == "fire") {
        system.translate(kFirePosition.x, kFirePosition.y, kFirePosition.z);
        configureFire(system);
    } else if (name == "smoke") {
        system.translate(kFirePosition.x, kFirePosition.y, kFirePosition.z);
        configureSmoke(system);
    } else {
        system.translate(-3.0f, 4.0f, -3.0f);
        configureFairyDust(system);
    }
    system.generationInterval = 0.001f;
    system.numToGenerate = 77;
    system.genLifeMin = 1000.0f;
    system.genLifeRange = 0.0f;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double elapsedMilliseconds(GLuint query)
{
    GLuint64 nanoseconds = 0;
    glGetQueryObjectui64v(query, GL_QUERY_RESULT, &nanoseconds);
    return static_cast<double>(nanoseconds) * 1e-6;
}

void measure(const std::string& name, Texture* texture, Camera* camera, int frames)
{
    ParticleSystem system(texture);
    configure(system, name);
    system.init();
    system.setGenerating(true);
    while (system.particleCount < ParticleSystem::kCapacity)
        system.update(0.002);
    system.setGenerating(false);

    GlQuery queries[2];
    std::vector<double> updateGpu, drawGpu, updateWall;
    for (int frame = 0; frame < frames; ++frame) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // Deferred renderers (llvmpipe) would otherwise bill the previous
        // frame's work to whichever query comes next.
        glFinish();
        const auto start = std::chrono::steady_clock::now();
        glBeginQuery(GL_TIME_ELAPSED, queries[0].name());
        system.update(1.0 / 60.0);
        glEndQuery(GL_TIME_ELAPSED);
        const auto end = std::chrono::steady_clock::now();
        glFinish();
        glBeginQuery(GL_TIME_ELAPSED, queries[1].name());
        system.draw(camera);
        glEndQuery(GL_TIME_ELAPSED);
        glFinish();
        updateGpu.push_back(elapsedMilliseconds(queries[0].name()));
        drawGpu.push_back(elapsedMilliseconds(queries[1].name()));
        updateWall.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::printf("%-6s records %4d  update gpu %7.3f ms  draw gpu %7.3f ms  update wall %7.3f ms\n", name.c_str(),
                system.particleCount, median(updateGpu), median(drawGpu), median(updateWall));
}

}  // namespace

int benchParticles(const BenchOptions& options)
{
    const int frames = options.frames > 0 ? options.frames : 200;
    std::unique_ptr<EglContext> egl = openSceneContext(kWidth, kHeight);
    if (egl == nullptr)
        return 2;
    {
        Texture texture(writeSprite(), 0);
        PerspectiveCamera camera(60.0f, float(kWidth) / float(kHeight), 0.1f, 100.0f);
        camera.position = glm::vec3(-1.0f, 1.0f, 6.0f);
        camera.target = glm::vec3(-4.5f, 1.5f, -4.5f);
        camera.updateView();
        glViewport(0, 0, kWidth, kHeight);
        glEnable(GL_DEPTH_TEST);
        for (const char* name : {"fire", "smoke", "dust"})
            measure(name, &texture, &camera, frames);
    }
    demo.glContext = nullptr;
    return 0;
}

}  // namespace tolvane
