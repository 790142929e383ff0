#pragma once
#include "MeshBuilder.h"

#include <glm/vec2.hpp>

#include <cstdint>
#include <vector>

namespace tolvane::content {

// Parametric building blocks in local coordinates; callers place them with
// MeshBuilder::append and a transform.
class Shapes {
public:
    struct LogStyle {
        int segments = 14;      // around
        int rings = 4;          // along
        float wobble = 0.06f;   // relative radius variation
        float uvLength = 1.5f;  // scene units per texture repeat along the log
        std::uint32_t seed = 1;
    };

    // A log along +y from 0 to `length`, capped, mapped onto a log atlas
    // (see WoodTextures): bark and grain on the side, end grain on the caps.
    static MeshBuilder log(float length, float radius, const LogStyle& style);

    // Axis-aligned box centred on the origin; `uvScale` scene units per
    // repeat, or, with uvScale 0, every face showing the whole picture.
    static MeshBuilder box(const glm::vec3& size, float uvScale);

    // Surface of revolution about +y. `profile` holds (radius, y) from bottom
    // to top; a repeated point makes a crease. u runs around (uRepeat times),
    // v along the profile (vScale scene units per repeat).
    static MeshBuilder lathe(const std::vector<glm::vec2>& profile, int segments, float uRepeat, float vScale,
                             float jitter = 0.0f, std::uint32_t seed = 1);

    // One tier of a pine's crown: a low cone of `branches` drooping branch
    // tips round the trunk with notches between them, so the silhouette is
    // ragged rather than a smooth lathe. Base of the tier at y = 0 (the tips
    // hang `droop` below it), top at `height`; closed underneath.
    static MeshBuilder pineTier(int branches, float radius, float height, float droop, std::uint32_t seed);
    // The needles hanging from that tier's branch tips (same arguments and
    // seed give the same tips): a card from each tip to the next, facing
    // outwards, `length` long, u running 0.5 a card, v from 1 at the tips
    // to 0 at the card's foot (as the tier's v is 1 at its rim). Its
    // picture's holes make the ragged edge.
    static MeshBuilder pineFringe(int branches, float radius, float height, float droop, float length,
                                  std::uint32_t seed);

    // A lumpy boulder of about unit radius with a flattened base.
    static MeshBuilder rock(int subdivisions, std::uint32_t seed);

    // Transform that maps the unit +y axis onto the segment from a to b.
    static glm::mat4 alongSegment(const glm::vec3& a, const glm::vec3& b);
};

}  // namespace tolvane::content
