#pragma once

#include "base/GlObject.h"
#include "scene/Object3D.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstdint>

namespace tolvane {

class Material;
class ParticleSystemProgram;
class Texture;

// One particle as it lies in the GPU buffers: 52 bytes, tightly packed,
// interleaved in the order the update program's transform feedback writes
// it. Positions are in world space. What the type values mean belongs to
// the update shaders; the generator record that init() places has type 0.
struct Particle {
    glm::vec3 position;  // world units
    glm::vec3 velocity;  // world units per second
    glm::vec3 color;     // linear RGB, 0 to 1
    float lifeTime;      // seconds
    float size;          // billboard edge, world units
    std::int32_t type;
    float rotation;  // radians, in the picture plane
};
static_assert(sizeof(Particle) == 52, "the shaders expect 52-byte particle records");

// A particle effect simulated entirely on the GPU. Records live in two
// buffers used in turn: every update runs the current records as points
// through the update program, with transform feedback into the other buffer
// and rasterisation off; every draw expands the records written last into
// camera-facing billboards. Only the number of records written is read back.
// New particles are requested in batches of numToGenerate every
// generationInterval seconds while generating is on.
//
// Set the generation fields and place the node, then call init() once
// before the first update or draw; until then update and draw do nothing
// (not even for the children).
class ParticleSystem : public Object3D {
public:
    static constexpr int kCapacity = 1000;  // records per buffer

    // Builds both shader programs; creates no buffers. `texture` is drawn on
    // every billboard and is not owned.
    explicit ParticleSystem(Texture* texture);
    // Releases the GL objects and both programs, then the children.
    ~ParticleSystem() override;

    // Creates the buffers, vertex arrays, transform feedback and query
    // objects and seeds both buffers with one generator record.
    void init();
    // Switches batch requests on or off and restarts the batch timer.
    void setGenerating(bool on);

    // One simulation step of `elapsedSeconds` (blocking until the GPU has
    // counted the records written), then the children's updates. At most one
    // batch per step; the surplus time carries over to the next steps.
    void update(double elapsedSeconds) override;
    // Draws the current records as blended billboards without depth writes,
    // then the children.
    void draw(Camera* camera) override;

    bool initialized = false;
    bool generating = false;
    ParticleSystemProgram* updateProgram;  // owned
    Material* billboardMaterial;           // owned
    Texture* texture;                      // not owned
    int currentBuffer = 0;                 // buffer holding the current records
    int particleCount = 0;                 // records in the current buffer, generator included
    float generationTimer = 0;             // seconds accumulated towards the next batch

    // Generation settings; the owner may change them before init().
    float generationInterval = 0.15f;                // seconds between batches
    int numToGenerate = 30;                          // particles per batch
    glm::vec3 genPositionMin{0.0f, 0.0f, 0.0f};      // spawn box corner, from the node
    glm::vec3 genPositionRange{0.25f, 0.1f, 0.25f};  // spawn box extent
    glm::vec3 genVelocityMin{-0.1f, 0.0f, -0.1f};    // units per second
    glm::vec3 genVelocityRange{0.5f, 0.2f, 0.5f};
    glm::vec3 genGravityVector{0.0f, 1.0f, 0.0f};  // units per second squared
    glm::vec3 genColor{1.0f, 1.0f, 1.0f};          // linear RGB
    float genLifeMin = 0.6f;                       // seconds
    float genLifeRange = 1.1999999f;               // seconds
    float genSize = 0.5f;                          // billboard edge, world units
    float rotationSpeed = 0.125f;                  // turns per second

    // The GL objects init() creates: the record buffers, the vertex array
    // that reads each, the transform feedback and the count query.
    GLuint particleBuffer(int index) const { return particleBuffers_[index].name(); }
    GLuint vertexArray(int index) const { return vertexArrays_[index].name(); }
    GLuint transformFeedback() const { return transformFeedback_.name(); }
    GLuint query() const { return query_.name(); }

private:
    void setupBuffer(int index);
    void uploadGenerationUniforms(float elapsedSeconds);
    void requestBatch();
    void runTransformFeedback();
    void uploadCamera(Camera* camera);

    GlTransformFeedback transformFeedback_{NoCreate};
    GlBuffer particleBuffers_[2] = {GlBuffer(NoCreate), GlBuffer(NoCreate)};
    GlVertexArray vertexArrays_[2] = {GlVertexArray(NoCreate), GlVertexArray(NoCreate)};  // i reads buffer i
    GlQuery query_{NoCreate};  // counts the records each update writes
};

}  // namespace tolvane
