#include "particles/ParticleSystem.h"

#include "base/CpuProfiler.h"
#include "base/GpuProfiler.h"
#include "particles/ParticleSystemProgram.h"
#include "render/Material.h"
#include "render/ShaderFiles.h"
#include "render/Texture.h"
#include "scene/Camera.h"

#include <cstddef>
#include <cstdlib>

namespace tolvane {

namespace {

constexpr GLsizei kRecordBytes = sizeof(Particle);
constexpr GLsizeiptr kBufferBytes = ParticleSystem::kCapacity * sizeof(Particle);

// Maps rand()'s 0..32767 onto [-10, 20].
float randomSeedComponent()
{
    return static_cast<float>(std::rand()) / 1092.2333f - 10.0f;
}

const void* fieldOffset(std::size_t offset)
{
    return reinterpret_cast<const void*>(offset);
}

}  // namespace

ParticleSystem::ParticleSystem(Texture* sprite) :
    updateProgram(new ParticleSystemProgram(ShaderFiles::kParticleUpdateVertex, ShaderFiles::kParticleUpdateGeometry)),
    billboardMaterial(new Material(ShaderFiles::kParticleBillboardVertex, ShaderFiles::kParticleBillboardFragment,
                                   ShaderFiles::kParticleBillboardGeometry)),
    texture(sprite)
{
    billboardMaterial->blending = true;
}

ParticleSystem::~ParticleSystem()
{
    delete updateProgram;
    delete billboardMaterial;
}

void ParticleSystem::init()
{
    generationTimer = 0.0f;
    transformFeedback_ = GlTransformFeedback();
    query_ = GlQuery();
    for (int i = 0; i < 2; ++i) {
        particleBuffers_[i] = GlBuffer();
        vertexArrays_[i] = GlVertexArray();
        setupBuffer(i);
    }
    currentBuffer = 0;
    particleCount = 1;
    initialized = true;
}

// Allocates one buffer with the generator record at its start and records
// the particle layout in its vertex array.
void ParticleSystem::setupBuffer(int index)
{
    Particle generator{};
    generator.type = 0;
    glBindVertexArray(vertexArrays_[index].name());
    glBindBuffer(GL_ARRAY_BUFFER, particleBuffers_[index].name());
    glBufferData(GL_ARRAY_BUFFER, kBufferBytes, nullptr, GL_DYNAMIC_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, kRecordBytes, &generator);
    for (GLuint location = 0; location < 7; ++location)
        glEnableVertexAttribArray(location);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, kRecordBytes, fieldOffset(offsetof(Particle, position)));
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, kRecordBytes, fieldOffset(offsetof(Particle, velocity)));
    glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, kRecordBytes, fieldOffset(offsetof(Particle, color)));
    glVertexAttribPointer(3, 1, GL_FLOAT, GL_FALSE, kRecordBytes, fieldOffset(offsetof(Particle, lifeTime)));
    glVertexAttribPointer(4, 1, GL_FLOAT, GL_FALSE, kRecordBytes, fieldOffset(offsetof(Particle, size)));
    // The float path on purpose: the shaders read the type as a float.
    glVertexAttribPointer(5, 1, GL_INT, GL_FALSE, kRecordBytes, fieldOffset(offsetof(Particle, type)));
    glVertexAttribPointer(6, 1, GL_FLOAT, GL_FALSE, kRecordBytes, fieldOffset(offsetof(Particle, rotation)));
}

void ParticleSystem::setGenerating(bool on)
{
    generating = on;
    generationTimer = 0.0f;
}

void ParticleSystem::update(double elapsedSeconds)
{
    if (!initialized)
        return;
    const auto elapsed = static_cast<float>(elapsedSeconds);
    updateProgram->bind();
    uploadGenerationUniforms(elapsed);
    generationTimer += elapsed;
    if (generating && generationTimer > generationInterval)
        requestBatch();
    runTransformFeedback();
    Object3D::update(elapsedSeconds);
}

// Everything but the batch request, which defaults to "none".
void ParticleSystem::uploadGenerationUniforms(float elapsedSeconds)
{
    updateProgram->setUniform("fTimePassed", elapsedSeconds);
    updateProgram->setUniform("vOrigin", getWorldPosition());
    updateProgram->setUniform("vGenPositionMin", genPositionMin);
    updateProgram->setUniform("vGenPositionRange", genPositionRange);
    updateProgram->setUniform("vGenVelocityMin", genVelocityMin);
    updateProgram->setUniform("vGenVelocityRange", genVelocityRange);
    updateProgram->setUniform("vGenColor", genColor);
    updateProgram->setUniform("vGenGravityVector", genGravityVector);
    updateProgram->setUniform("fGenLifeMin", genLifeMin);
    updateProgram->setUniform("fGenLifeRange", genLifeRange);
    updateProgram->setUniform("fGenSize", genSize);
    updateProgram->setUniform("iNumToGenerate", 0);
    updateProgram->setUniform("fRotationSpeed", rotationSpeed);
}

// One batch only, however far the timer has run ahead: the surplus carries
// over, so a long frame is followed by a few generating ones.
void ParticleSystem::requestBatch()
{
    generationTimer -= generationInterval;
    // Evaluated in separate statements: x, y and z take the draws in order.
    glm::vec3 seed;
    seed.x = randomSeedComponent();
    seed.y = randomSeedComponent();
    seed.z = randomSeedComponent();
    updateProgram->setUniform("vRandomSeed", seed);
    updateProgram->setUniform("iNumToGenerate", numToGenerate);
}

void ParticleSystem::runTransformFeedback()
{
    glEnable(GL_RASTERIZER_DISCARD);
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, transformFeedback_.name());
    glBindVertexArray(vertexArrays_[currentBuffer].name());
    glEnableVertexAttribArray(1);  // draw() switches the velocity off
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, particleBuffers_[1 - currentBuffer].name());
    glBeginTransformFeedback(GL_POINTS);
    glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, query_.name());
    glDrawArrays(GL_POINTS, 0, particleCount);
    glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
    {
        CpuProfiler::Scope timing(CpuSection::ParticleReadback);
        glGetQueryObjectiv(query_.name(), GL_QUERY_RESULT, &particleCount);
    }
    glEndTransformFeedback();
    currentBuffer = 1 - currentBuffer;
    glBindTransformFeedback(GL_TRANSFORM_FEEDBACK, 0);
    glDisable(GL_RASTERIZER_DISCARD);
    glBindVertexArray(0);
}

void ParticleSystem::draw(Camera* camera)
{
    if (!initialized)
        return;
    GpuProfiler::Scope timing(GpuPass::Particles);
    billboardMaterial->bind();
    glDepthMask(GL_FALSE);
    uploadCamera(camera);
    texture->bind();
    glBindVertexArray(vertexArrays_[currentBuffer].name());
    glDisableVertexAttribArray(1);
    glDrawArrays(GL_POINTS, 0, particleCount);
    glBindVertexArray(0);
    glDepthMask(GL_TRUE);
    Object3D::draw(camera);
}

void ParticleSystem::uploadCamera(Camera* camera)
{
    billboardMaterial->setUniform("view", camera->getWorldMatrix());
    billboardMaterial->setUniform("projection", camera->projection);
    billboardMaterial->setUniform("cameraPosition", camera->position);
    billboardMaterial->setUniform("up", camera->up);
}

}  // namespace tolvane
