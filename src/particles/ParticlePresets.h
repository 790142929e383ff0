#pragma once

namespace tolvane {

class ParticleSystem;

// Where the demo's camp fire burns, in scene units.
inline constexpr float kFirePosition[3] = {-6.469789f, 0.5f, -6.481397f};

// The generation settings of the demo's three effects (placement, init and
// switching on are left to the caller). Shared by the scene assembly, the
// particle bench and the particle picture tests, so that all three measure
// and show what the demo runs.
void configureSmoke(ParticleSystem& system);
void configureFire(ParticleSystem& system);
void configureFairyDust(ParticleSystem& system);

}  // namespace tolvane
