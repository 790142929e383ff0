#pragma once

#include "base/ContentLayout.h"

namespace tolvane {

class ParticleSystem;

// Where the demo's camp fire and its smoke start, in scene units.
inline constexpr glm::vec3 kFirePosition = content::kFireEmitter;

// The generation settings of the demo's three effects (placement, init and
// switching on are left to the caller). Shared by the scene assembly, the
// particle bench and the particle picture tests, so that all three measure
// and show what the demo runs.
void configureSmoke(ParticleSystem& system);
void configureFire(ParticleSystem& system);
void configureFairyDust(ParticleSystem& system);

}  // namespace tolvane
