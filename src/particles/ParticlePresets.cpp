#include "particles/ParticlePresets.h"

#include "particles/ParticleSystem.h"

namespace tolvane {

void configureSmoke(ParticleSystem& system)
{
    system.generationInterval = 0.7f;
    system.numToGenerate = 5;
    system.genPositionMin = glm::vec3(0.0f, 0.3f, 0.0f);
    system.genPositionRange = glm::vec3(1.5f, 0.7f, 1.5f);
    system.genVelocityMin = glm::vec3(-0.1f, 0.1f, -0.1f);
    system.genVelocityRange = glm::vec3(0.3f, 0.4f, 0.3f);
    system.genGravityVector = glm::vec3(0.0f, 0.2f, 0.0f);
    system.genLifeMin = 2.5f;
    system.genLifeRange = 1.5f;
    system.genSize = 0.7f;
    system.rotationSpeed = 0.01f;
}

void configureFire(ParticleSystem& system)
{
    system.genPositionMin = glm::vec3(0.0f, 0.0f, 0.0f);
    system.genPositionRange = glm::vec3(0.8f, 0.3f, 0.8f);
    system.genSize = 0.6f;
}

void configureFairyDust(ParticleSystem& system)
{
    system.generationInterval = 0.5f;
    system.numToGenerate = 100;
    system.genPositionMin = glm::vec3(-5.0f, -5.0f, -5.0f);
    system.genPositionRange = glm::vec3(15.0f, 15.0f, 15.0f);
    system.genVelocityMin = glm::vec3(-0.1f, -0.1f, -0.1f);
    system.genVelocityRange = glm::vec3(0.3f, 0.3f, 0.3f);
    system.genGravityVector = glm::vec3(0.0f, 0.2f, 0.0f);
    system.genColor = glm::vec3(0.8f, 0.38f, 0.129f);
    system.genSize = 0.05f;
}

}  // namespace tolvane
