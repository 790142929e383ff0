// The GPU particle system under a real GL context: the records are read back
// from the GPU buffers here, which the program itself never does.
#include "GlTestContext.h"
#include "ParticlePicture.h"

#include "particles/ParticlePresets.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemProgram.h"
#include "render/Texture.h"
#include "scene/PerspectiveCamera.h"

#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

namespace tolvane::test {
namespace {

// A child that counts what reaches it.
class ProbeNode : public Object3D {
public:
    void update(double) override { ++updates; }
    void draw(Camera*) override { ++draws; }
    int updates = 0;
    int draws = 0;
};

std::vector<Particle> readRecords(const ParticleSystem& system)
{
    std::vector<Particle> records(static_cast<size_t>(system.particleCount));
    glBindBuffer(GL_ARRAY_BUFFER, system.particleBuffer(system.currentBuffer));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(records.size() * sizeof(Particle)), records.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return records;
}

int countLive(const std::vector<Particle>& records)
{
    int live = 0;
    for (const Particle& record : records)
        live += record.type < 0 ? 1 : 0;
    return live;
}

bool inside(const glm::vec3& value, const glm::vec3& low, const glm::vec3& extent)
{
    const float slack = 1e-4f;
    for (int i = 0; i < 3; ++i)
        if (value[i] < low[i] - slack || value[i] > low[i] + extent[i] + slack)
            return false;
    return true;
}

class ParticleSystemTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::string directory = makeScratchDirectory("particles");
        const std::string path = directory + "/white.png";
        writeSpritePng(path, 8, [](float, float, float* rgba) { rgba[0] = rgba[1] = rgba[2] = rgba[3] = 1.0f; });
        texture_ = new Texture(path, 0);
        std::filesystem::remove_all(directory);
    }
    static void TearDownTestSuite()
    {
        delete texture_;
        texture_ = nullptr;
    }
    void SetUp() override
    {
        system = std::make_unique<ParticleSystem>(texture_);
        glGetError();
    }
    void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

    // Long-lived particles so that counts only grow.
    void configureForCounting(int perBatch, float interval)
    {
        system->numToGenerate = perBatch;
        system->generationInterval = interval;
        system->genLifeMin = 100.0f;
        system->genLifeRange = 0.0f;
    }

    int uploadedBatchSize()
    {
        GLint value = -1;
        glGetUniformiv(system->updateProgram->program(),
                       glGetUniformLocation(system->updateProgram->program(), "iNumToGenerate"), &value);
        return value;
    }

    static Texture* texture_;
    std::unique_ptr<ParticleSystem> system;
};

Texture* ParticleSystemTest::texture_ = nullptr;

TEST_F(ParticleSystemTest, DoesNothingBeforeInitAndKeepsChildrenOut)
{
    ProbeNode* probe = new ProbeNode();
    system->addChild(probe);
    system->setGenerating(true);
    PerspectiveCamera camera(60.0f, 1.0f, 0.1f, 100.0f);
    system->update(1.0);
    system->draw(&camera);
    EXPECT_EQ(probe->updates, 0);
    EXPECT_EQ(probe->draws, 0);
    EXPECT_EQ(system->particleCount, 0);
    EXPECT_EQ(system->particleBuffer(0), 0u);
    EXPECT_FLOAT_EQ(system->generationTimer, 0.0f);

    system->init();
    system->update(0.01);
    system->draw(&camera);
    EXPECT_EQ(probe->updates, 1);
    EXPECT_EQ(probe->draws, 1);
}

TEST_F(ParticleSystemTest, ProgramCapturesTheSevenFieldsOfTheRecordInOrder)
{
    const GLuint program = system->updateProgram->program();
    GLint count = 0;
    glGetProgramiv(program, GL_TRANSFORM_FEEDBACK_VARYINGS, &count);
    ASSERT_EQ(count, 7);
    GLint mode = 0;
    glGetProgramiv(program, GL_TRANSFORM_FEEDBACK_BUFFER_MODE, &mode);
    EXPECT_EQ(mode, GL_INTERLEAVED_ATTRIBS);
    const std::tuple<const char*, GLenum> expected[] = {
        {"vPositionOut", GL_FLOAT_VEC3}, {"vVelocityOut", GL_FLOAT_VEC3}, {"vColorOut", GL_FLOAT_VEC3},
        {"fLifeTimeOut", GL_FLOAT},      {"fSizeOut", GL_FLOAT},          {"iTypeOut", GL_INT},
        {"fRotationOut", GL_FLOAT},
    };
    for (GLuint i = 0; i < 7; ++i) {
        char name[32] = {};
        GLsizei size = 0;
        GLenum type = 0;
        glGetTransformFeedbackVarying(program, i, sizeof name, nullptr, &size, &type, name);
        EXPECT_STREQ(name, std::get<0>(expected[i]));
        EXPECT_EQ(type, std::get<1>(expected[i])) << name;
    }
    EXPECT_FALSE(system->updateProgram->hasFragmentShader());
    EXPECT_TRUE(system->billboardMaterial->blending);
}

TEST_F(ParticleSystemTest, InitSeedsOneGeneratorThatEveryStepPassesOn)
{
    system->init();
    EXPECT_EQ(system->particleCount, 1);
    EXPECT_EQ(system->currentBuffer, 0);
    for (int buffer = 0; buffer < 2; ++buffer) {
        system->currentBuffer = buffer;
        std::vector<Particle> records = readRecords(*system);
        EXPECT_EQ(records[0].type, 0);
        EXPECT_EQ(records[0].position, glm::vec3(0.0f));
    }
    system->currentBuffer = 0;

    system->update(1.0 / 60.0);
    EXPECT_EQ(system->currentBuffer, 1);
    EXPECT_EQ(system->particleCount, 1);
    for (int step = 0; step < 500; ++step)
        system->update(1.0 / 60.0);
    std::vector<Particle> records = readRecords(*system);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].type, 0);
    EXPECT_EQ(uploadedBatchSize(), 0);
}

TEST_F(ParticleSystemTest, BatchAddsExactlyItsParticlesInsideTheGenerationBox)
{
    system->translate(1.0f, 2.0f, 3.0f);
    system->numToGenerate = 30;
    system->genPositionMin = glm::vec3(-0.5f, 0.0f, -0.25f);
    system->genPositionRange = glm::vec3(1.0f, 0.5f, 0.5f);
    system->genColor = glm::vec3(0.8f, 0.38f, 0.129f);
    system->genSize = 0.6f;
    system->init();
    system->setGenerating(true);
    system->update(0.2);

    std::vector<Particle> records = readRecords(*system);
    ASSERT_EQ(records.size(), 31u);
    EXPECT_EQ(records[0].type, 0);
    EXPECT_EQ(countLive(records), 30);
    const glm::vec3 boxCorner = glm::vec3(1.0f, 2.0f, 3.0f) + system->genPositionMin;
    std::set<std::tuple<float, float, float>> distinct;
    for (size_t i = 1; i < records.size(); ++i) {
        const Particle& p = records[i];
        EXPECT_TRUE(inside(p.position, boxCorner, system->genPositionRange)) << i;
        EXPECT_TRUE(inside(p.velocity, system->genVelocityMin, system->genVelocityRange)) << i;
        EXPECT_GE(p.lifeTime, system->genLifeMin);
        EXPECT_LE(p.lifeTime, system->genLifeMin + system->genLifeRange);
        EXPECT_EQ(p.color, system->genColor);
        EXPECT_FLOAT_EQ(p.size, 0.6f);
        distinct.insert({p.position.x, p.position.y, p.position.z});
    }
    EXPECT_EQ(distinct.size(), 30u) << "particles of one batch must not coincide";
}

TEST_F(ParticleSystemTest, ParticlesAgeMoveAndDieAfterTheirLifetime)
{
    system->numToGenerate = 20;
    system->genLifeMin = 0.5f;
    system->genLifeRange = 0.25f;
    system->genVelocityMin = glm::vec3(0.0f);
    system->genVelocityRange = glm::vec3(0.0f);
    system->genGravityVector = glm::vec3(0.0f, 1.0f, 0.0f);
    system->init();
    system->setGenerating(true);
    system->update(0.2);
    const std::vector<Particle> born = readRecords(*system);
    system->setGenerating(false);

    system->update(0.25);
    const std::vector<Particle> aged = readRecords(*system);
    ASSERT_EQ(aged.size(), born.size());
    for (size_t i = 1; i < aged.size(); ++i) {
        EXPECT_NEAR(aged[i].lifeTime, born[i].lifeTime - 0.25f, 1e-5f);
        EXPECT_GT(aged[i].position.y, born[i].position.y) << "gravity points up here";
        EXPECT_NEAR(aged[i].velocity.y, 0.25f, 1e-5f);
    }

    system->update(0.35);  // 0.6 s old: about 40% of the lives are over
    int survivors = 1;
    for (size_t i = 1; i < born.size(); ++i)
        survivors += (born[i].lifeTime - 0.25f) - 0.35f > 0.0f ? 1 : 0;
    EXPECT_LT(survivors, 21);
    EXPECT_EQ(system->particleCount, survivors);
    system->update(0.16);  // 0.76 s: all are over
    const std::vector<Particle> records = readRecords(*system);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].type, 0);
}

TEST_F(ParticleSystemTest, CountNeverExceedsTheCapacity)
{
    configureForCounting(70, 0.01f);
    system->init();
    system->setGenerating(true);
    for (int step = 0; step < 25; ++step) {
        system->update(0.02);
        ASSERT_LE(system->particleCount, ParticleSystem::kCapacity);
    }
    EXPECT_EQ(system->particleCount, ParticleSystem::kCapacity);
    std::vector<Particle> records = readRecords(*system);
    EXPECT_EQ(records[0].type, 0) << "the generator survives a full buffer";
    system->setGenerating(false);
    system->update(0.02);
    EXPECT_EQ(system->particleCount, ParticleSystem::kCapacity);
}

// Interval 0.25 s, steps of 0.125 s: the timer reads 0.125, 0.25 (equal: no
// batch), 0.375 (batch, back to 0.125), 0.25, 0.375 (batch), ...
TEST_F(ParticleSystemTest, BatchesComeOnlyWhenTheTimerStrictlyExceedsTheInterval)
{
    configureForCounting(5, 0.25f);
    system->init();
    system->setGenerating(true);
    const int expectedCounts[] = {1, 1, 6, 6, 11, 11, 16};
    const int expectedBatch[] = {0, 0, 5, 0, 5, 0, 5};
    const float expectedTimer[] = {0.125f, 0.25f, 0.125f, 0.25f, 0.125f, 0.25f, 0.125f};
    for (int update = 0; update < 7; ++update) {
        system->update(0.125);
        EXPECT_EQ(system->particleCount, expectedCounts[update]) << "update " << update + 1;
        EXPECT_EQ(uploadedBatchSize(), expectedBatch[update]) << "update " << update + 1;
        EXPECT_FLOAT_EQ(system->generationTimer, expectedTimer[update]);
    }
}

TEST_F(ParticleSystemTest, LongStepRequestsOneBatchAndTheSurplusCarriesOver)
{
    configureForCounting(4, 0.25f);
    system->init();
    system->setGenerating(true);
    system->update(1.0);
    EXPECT_EQ(system->particleCount, 5);
    EXPECT_FLOAT_EQ(system->generationTimer, 0.75f);
    system->update(0.0);
    system->update(0.0);
    EXPECT_EQ(system->particleCount, 13);
    system->update(0.0);  // 0.25 left: equal, no batch
    EXPECT_EQ(system->particleCount, 13);

    system->setGenerating(false);
    EXPECT_FLOAT_EQ(system->generationTimer, 0.0f);
    system->update(0.5);
    EXPECT_FLOAT_EQ(system->generationTimer, 0.5f) << "the timer runs while not generating";
    EXPECT_EQ(system->particleCount, 13);
    system->setGenerating(true);
    EXPECT_FLOAT_EQ(system->generationTimer, 0.0f);
}

// The seed of a batch is three rand() draws, x then y then z; an update that
// completes no interval draws nothing and keeps the last seed.
TEST_F(ParticleSystemTest, SeedTakesThreeRandDrawsInOrderOnlyForABatch)
{
    configureForCounting(1, 0.5f);
    system->init();
    system->setGenerating(true);
    std::srand(2024);
    float expected[3];
    for (float& component : expected)
        component = static_cast<float>(std::rand()) / 1092.2333f - 10.0f;
    const int fourthDraw = std::rand();
    auto uploadedSeed = [&] {
        std::vector<GLfloat> seed(3);
        glGetUniformfv(system->updateProgram->program(),
                       glGetUniformLocation(system->updateProgram->program(), "vRandomSeed"), seed.data());
        return seed;
    };

    std::srand(2024);
    system->update(0.6);
    EXPECT_EQ(uploadedSeed(), std::vector<GLfloat>(expected, expected + 3));
    system->update(0.1);  // no batch
    EXPECT_EQ(uploadedSeed(), std::vector<GLfloat>(expected, expected + 3));
    EXPECT_EQ(std::rand(), fourthDraw) << "exactly three draws, and none without a batch";
}

// One geometry-shader invocation may write 1024 components (the GL minimum),
// and a strict driver counts a record as its seven outputs and gl_Position,
// a vec4 each: 32 components, so 100 records take several invocations; the
// batch must still arrive whole.
TEST_F(ParticleSystemTest, HundredParticleBatchArrivesWholeWithinTheOutputLimit)
{
    GLint maxVertices = 0;
    glGetProgramiv(system->updateProgram->program(), GL_GEOMETRY_VERTICES_OUT, &maxVertices);
    EXPECT_LE(maxVertices * (7 + 1) * 4, 1024) << "stays within the smallest limit any driver has";

    system->translate(-3.0f, 4.0f, -3.0f);
    configureForCounting(100, 0.5f);
    system->genPositionMin = glm::vec3(-5.0f);
    system->genPositionRange = glm::vec3(15.0f);
    system->genGravityVector = glm::vec3(0.0f);
    system->genVelocityMin = glm::vec3(0.0f);
    system->genVelocityRange = glm::vec3(0.0f);
    system->init();
    system->setGenerating(true);
    system->update(0.6);
    EXPECT_LT(countLive(readRecords(*system)), 100) << "more than one invocation can write";
    system->update(0.01);

    std::vector<Particle> records = readRecords(*system);
    EXPECT_EQ(system->particleCount, 101);
    EXPECT_EQ(countLive(records), 100);
    const glm::vec3 boxCorner = glm::vec3(-3.0f, 4.0f, -3.0f) + system->genPositionMin;
    std::set<std::tuple<float, float, float>> distinct;
    for (const Particle& p : records) {
        if (p.type >= 0)
            continue;
        EXPECT_TRUE(inside(p.position, boxCorner, system->genPositionRange));
        distinct.insert({p.position.x, p.position.y, p.position.z});
    }
    EXPECT_EQ(distinct.size(), 100u);
    system->update(0.01);
    EXPECT_EQ(system->particleCount, 101) << "nothing is left over to emit";
}

// Particle i of a batch lands in the same place whether the generator emits
// it or a spawner does a step later: a batch of 40 is a prefix of a batch of
// 100 from the same seed, though they split at different indices.
TEST_F(ParticleSystemTest, ParticleIsTheSameWhicheverRecordEmitsIt)
{
    auto positions = [](int perBatch) {
        ParticleSystem batch(texture_);
        batch.numToGenerate = perBatch;
        batch.generationInterval = 0.5f;
        batch.genLifeMin = 100.0f;
        batch.genPositionMin = glm::vec3(-5.0f);
        batch.genPositionRange = glm::vec3(10.0f);
        batch.genVelocityMin = batch.genVelocityRange = batch.genGravityVector = glm::vec3(0.0f);
        batch.init();
        batch.setGenerating(true);
        std::srand(7);
        batch.update(0.6);
        batch.update(0.01);
        std::set<std::tuple<float, float, float>> found;
        for (const Particle& p : readRecords(batch))
            if (p.type < 0)
                found.insert({p.position.x, p.position.y, p.position.z});
        return found;
    };
    const auto small = positions(40);
    const auto large = positions(100);
    ASSERT_EQ(small.size(), 40u);
    ASSERT_EQ(large.size(), 100u);
    EXPECT_TRUE(std::includes(large.begin(), large.end(), small.begin(), small.end()));
}

// Every generation setting of the demo's three effects; the fire keeps the
// system's defaults apart from its spawn box and size.
TEST_F(ParticleSystemTest, PresetsSetEveryGenerationValue)
{
    struct Expected {
        void (*configure)(ParticleSystem&);
        float interval;
        int perBatch;
        glm::vec3 positionMin, positionRange, velocityMin, velocityRange, gravity, color;
        float lifeMin, lifeRange, size, rotation;
    };
    // clang-format off
    const Expected presets[] = {
        {configureSmoke, 0.7f, 5, {0.0f, 0.3f, 0.0f}, {1.5f, 0.7f, 1.5f}, {-0.1f, 0.1f, -0.1f},
         {0.3f, 0.4f, 0.3f}, {0.0f, 0.2f, 0.0f}, {1.0f, 1.0f, 1.0f}, 2.5f, 1.5f, 0.7f, 0.01f},
        {configureFire, 0.15f, 30, {0.0f, 0.0f, 0.0f}, {0.8f, 0.3f, 0.8f}, {-0.1f, 0.0f, -0.1f},
         {0.5f, 0.2f, 0.5f}, {0.0f, 1.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, 0.6f, 1.1999999f, 0.6f, 0.125f},
        {configureFairyDust, 0.5f, 100, {-5.0f, -5.0f, -5.0f}, {15.0f, 15.0f, 15.0f}, {-0.1f, -0.1f, -0.1f},
         {0.3f, 0.3f, 0.3f}, {0.0f, 0.2f, 0.0f}, {0.8f, 0.38f, 0.129f}, 0.6f, 1.1999999f, 0.05f, 0.125f},
    };
    // clang-format on
    const char* names[] = {"smoke", "fire", "fairy dust"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(names[i]);
        const Expected& e = presets[i];
        ParticleSystem preset(texture_);
        e.configure(preset);
        EXPECT_EQ(preset.generationInterval, e.interval);
        EXPECT_EQ(preset.numToGenerate, e.perBatch);
        EXPECT_EQ(preset.genPositionMin, e.positionMin);
        EXPECT_EQ(preset.genPositionRange, e.positionRange);
        EXPECT_EQ(preset.genVelocityMin, e.velocityMin);
        EXPECT_EQ(preset.genVelocityRange, e.velocityRange);
        EXPECT_EQ(preset.genGravityVector, e.gravity);
        EXPECT_EQ(preset.genColor, e.color);
        EXPECT_EQ(preset.genLifeMin, e.lifeMin);
        EXPECT_EQ(preset.genLifeRange, e.lifeRange);
        EXPECT_EQ(preset.genSize, e.size);
        EXPECT_EQ(preset.rotationSpeed, e.rotation);
    }
}

}  // namespace
}  // namespace tolvane::test

namespace tolvane::test {
namespace {

// The demo's three effects after a fixed number of fixed steps from a fixed
// rand() state, against reference pictures. The textures are made here: a
// flame blob on black, a grey puff with alpha, a small spark on black.
class ParticleLookTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        directory_ = makeScratchDirectory("particle-looks");
        // Like the demo's sprites: flame and smoke with alpha, the spark as
        // a glow on black (both kinds of sprite are drawn).
        writeSpritePng(directory_ + "/fire.png", 64, [](float u, float v, float* rgba) {
            float r = std::hypot(u - 0.5f, v - 0.5f) * 2.0f;
            float a = std::pow(std::max(0.0f, 1.0f - r * r), 2.0f);
            float heat = 0.45f + 0.5f * a;
            rgba[0] = 1.0f;
            rgba[1] = 0.42f + 0.5f * heat * heat;
            rgba[2] = 0.05f + 0.6f * heat * heat * heat * heat;
            rgba[3] = a;
        });
        writeSpritePng(directory_ + "/smoke.png", 64, [](float u, float v, float* rgba) {
            float lumps = 0.5f + 0.5f * std::sin(11.0f * u + 3.0f * v) * std::sin(9.0f * v - 2.0f * u);
            float r = std::hypot(u - 0.5f, v - 0.5f) * 2.0f * (0.85f + 0.3f * lumps);
            float t = std::clamp((1.0f - r) / 0.8f, 0.0f, 1.0f);
            rgba[0] = rgba[1] = rgba[2] = 0.35f + 0.3f * lumps;
            rgba[3] = t * t * (3.0f - 2.0f * t) * (0.35f + 0.45f * lumps) * 0.8f;
        });
        writeSpritePng(directory_ + "/dust.png", 32, [](float u, float v, float* rgba) {
            float r = std::min(1.0f, std::hypot(u - 0.5f, v - 0.5f) * 2.0f);
            float spark = std::exp(-r * r * 30.0f) + 0.35f * std::exp(-r * r * 6.0f);
            rgba[0] = rgba[1] = rgba[2] = std::min(1.0f, spark) * (1.0f - r);
        });
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(directory_); }

    // Steps a freshly initialised, generating system and pictures it.
    Picture render(ParticleSystem& system, int steps, const glm::vec3& eye, const glm::vec3& target,
                   float fieldOfView = 60.0f)
    {
        std::srand(1);
        system.init();
        system.setGenerating(true);
        for (int step = 0; step < steps; ++step)
            system.update(1.0 / 30.0);
        PerspectiveCamera camera(fieldOfView, 1.0f, 0.1f, 100.0f);
        camera.position = eye;
        camera.target = target;
        camera.updateView();
        OffscreenTarget picture(256, 256);
        picture.clear(0.01f, 0.012f, 0.025f);
        glEnable(GL_DEPTH_TEST);
        system.draw(&camera);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return picture.read();
    }

    static std::string directory_;
};

std::string ParticleLookTest::directory_;

TEST_F(ParticleLookTest, Fire)
{
    Texture texture(directory_ + "/fire.png", 0);
    ParticleSystem fire(&texture);
    configureFire(fire);
    Picture picture = render(fire, 60, glm::vec3(0.4f, 1.0f, 5.5f), glm::vec3(0.4f, 0.9f, 0.4f));
    EXPECT_TRUE(matchesReference(picture, "particles-fire", 24, 0.02));
}

TEST_F(ParticleLookTest, Smoke)
{
    Texture texture(directory_ + "/smoke.png", 0);
    ParticleSystem smoke(&texture);
    configureSmoke(smoke);
    Picture picture = render(smoke, 180, glm::vec3(0.75f, 2.0f, 6.5f), glm::vec3(0.75f, 2.0f, 0.75f));
    EXPECT_TRUE(matchesReference(picture, "particles-smoke", 24, 0.02));
}

TEST_F(ParticleLookTest, FairyDust)
{
    Texture texture(directory_ + "/dust.png", 0);
    ParticleSystem dust(&texture);
    configureFairyDust(dust);
    Picture picture = render(dust, 90, glm::vec3(2.5f, 2.5f, 3.0f), glm::vec3(2.5f, 2.5f, -5.0f), 50.0f);
    EXPECT_TRUE(matchesReference(picture, "particles-dust", 24, 0.02));
}

}  // namespace
}  // namespace tolvane::test
