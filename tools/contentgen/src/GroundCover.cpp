#include "GroundCover.h"

#include "Layout.h"
#include "Noise.h"

#include <glm/common.hpp>
#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tolvane::content {
namespace {

// Factors on the grass picture (its mean colour is about 0.043, 0.043,
// 0.011 linear) that turn it into each cover's colour while its strokes
// still show through.
constexpr glm::vec3 kLitter(1.75f, 0.85f, 1.4f);  // rust-brown old needles
constexpr glm::vec3 kMoss(0.45f, 0.7f, 0.6f);     // dark, deep green
constexpr glm::vec3 kDryGrass(3.0f, 2.4f, 2.6f);  // pale straw
constexpr glm::vec3 kDirt(1.7f, 0.9f, 1.6f);      // the bare earth's brown

float distanceToSegment(glm::vec2 p, glm::vec2 a, glm::vec2 b)
{
    const glm::vec2 ab = b - a;
    const float t = glm::clamp(glm::dot(p - a, ab) / glm::dot(ab, ab), 0.0f, 1.0f);
    return glm::distance(p, a + t * ab);
}

// Distance from (x, z) to the hut's footprint (0 inside it).
float distanceToHut(float x, float z)
{
    using namespace layout;
    const float dx = std::max({kWallWest - x, x - kWallEast, 0.0f});
    const float dz = std::max({kWallNorth - z, z - kWallSouth, 0.0f});
    return std::hypot(dx, dz);
}

// Noise over the whole ground: u, v span the terrain once, so `period`
// cells are features about 52 / period metres across.
float field(const Noise& noise, float x, float z, int period, int octaves)
{
    // The noise wants u, v within one tile: wrapped, a shifted field repeats
    // instead of breaking where it leaves the tile.
    const float size = 2.0f * layout::kTerrainHalfSize;
    const float u = x / size + 0.5f;
    const float v = z / size + 0.5f;
    return noise.fbm(u - std::floor(u), v - std::floor(v), period, octaves);
}

}  // namespace

GroundCover::GroundCover(std::vector<glm::vec3> treeSites, std::vector<glm::vec2> path) :
    trees_(std::move(treeSites)),
    path_(std::move(path))
{
}

float GroundCover::litter(float x, float z) const
{
    // The forest floor beyond the clearing is all needles; inside it they
    // lie under each pine's boughs and a little beyond.
    float cover = glm::smoothstep(layout::kClearingRadius, layout::kTreeRingInner + 1.0f, std::hypot(x, z));
    for (const glm::vec3& tree : trees_) {
        const float d = std::hypot(x - tree.x, z - tree.z);
        cover = std::max(cover, 1.0f - glm::smoothstep(0.8f * tree.y, 2.0f * tree.y, d));
    }
    return cover;
}

float GroundCover::dirt(float x, float z) const
{
    float fromPath = 1e9f;
    for (std::size_t i = 0; i + 1 < path_.size(); ++i)
        fromPath = std::min(fromPath, distanceToSegment({x, z}, path_[i], path_[i + 1]));
    const float fromFire = std::hypot(x - layout::kFirePit.x, z - layout::kFirePit.z);
    // The trodden earth itself reaches about 0.5 m either side of the path
    // and 1.5 m from the fire; the dirt fades out a metre beyond it, so that
    // its edge does not show as a line.
    const float path = 1.0f - glm::smoothstep(0.4f, 1.4f, fromPath);
    const float fire = 1.0f - glm::smoothstep(1.4f, 2.8f, fromFire);
    const float walls = 1.0f - glm::smoothstep(0.1f, 0.9f, distanceToHut(x, z));
    return std::max({path, fire, walls});
}

glm::vec3 GroundCover::tint(float x, float z) const
{
    static const Noise drifts(31);
    static const Noise mottle(32);
    // Drifts some 6 to 9 m across: moss where one field is high, dry grass
    // where the other is.
    const float moss = glm::smoothstep(0.0f, 0.25f, field(drifts, x, z, 6, 3));
    const float dry = glm::smoothstep(0.0f, 0.25f, field(drifts, x + 17.0f, z - 9.0f, 8, 3));
    glm::vec3 tint(1.0f);
    tint = glm::mix(tint, kMoss, moss);
    tint = glm::mix(tint, kDryGrass, dry * (1.0f - moss));
    tint = glm::mix(tint, kLitter, litter(x, z));
    tint = glm::mix(tint, kDirt, 0.85f * dirt(x, z));
    // The mottle: patches about a metre across, most within two fifths
    // lighter or darker. One octave only: the ground's vertices lie a third
    // of a metre apart, too far apart to carry finer noise without
    // aliasing it into hard steps.
    return tint * glm::clamp(1.0f + 1.4f * field(mottle, x, z, 48, 1), 0.5f, 1.7f);
}

}  // namespace tolvane::content
