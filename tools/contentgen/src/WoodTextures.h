#pragma once
#include "SurfaceTexture.h"

#include <cstdint>

namespace tolvane::content {

// Colours of one kind of wood, from freshly cut to weathered or burnt.
struct WoodPalette {
    glm::vec3 light;
    glm::vec3 dark;
    glm::vec3 bark;
    float barkCover = 0.0f;  // 0: peeled log, 1: bark all round
    float charring = 0.0f;   // 0: sound wood, 1: burnt black
    std::uint32_t seed = 1;
};

// Wood pictures. A log atlas holds the side grain in its upper three
// quarters (v from 0.25 to 1, wrapping once round a log) and four end-grain
// discs in the bottom quarter (centres at u = 0.125 + 0.25 k, v = 0.125,
// radius 0.12), so one texture covers a whole cylinder.
class WoodTextures {
public:
    static constexpr float kSideBandStart = 0.25f;
    static constexpr float kEndDiscRadius = 0.12f;

    static SurfaceTexture logAtlas(int size, const WoodPalette& palette);
    static SurfaceTexture door(int size);
    static SurfaceTexture window(int size);
    // Torch parts: iron in u [0, 1/3), oiled cloth in [1/3, 2/3), wood above.
    static SurfaceTexture torch(int size);
};

}  // namespace tolvane::content
