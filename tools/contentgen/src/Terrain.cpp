#include "Terrain.h"

#include "Layout.h"
#include "Noise.h"

#include <glm/common.hpp>
#include <glm/geometric.hpp>

#include <cmath>

namespace tolvane::content {

float Terrain::height(float x, float z)
{
    static const Noise noise(5);
    const float r = std::hypot(x, z);
    const float fromFire = std::hypot(x - layout::kFirePit.x, z - layout::kFirePit.z);
    const float rim = glm::smoothstep(layout::kClearingRadius, layout::kRimTop, r);
    const float level = glm::smoothstep(3.2f, 5.0f, r) * glm::smoothstep(1.8f, 3.2f, fromFire);
    // Bumps a few metres across: the noise's six cells span 36 m.
    const float u = x / 36.0f + 0.5f;
    const float v = z / 36.0f + 0.5f;
    const float bumps = 0.12f * (noise.fbm(u, v, 6, 4) + 0.35f);
    return 1.8f * rim + level * std::max(bumps, 0.0f) + rim * 0.5f * bumps;
}

namespace {

// The cells [i0, i1) x [j0, j1) of a grid of `cells` x `cells`.
MeshBuilder gridPart(const GroundCover& cover, int cells, int i0, int i1, int j0, int j1)
{
    MeshBuilder mesh;
    const float size = 2.0f * layout::kTerrainHalfSize;
    const float step = size / cells;
    const float texel = 4.0f;  // scene units per texture repeat
    for (int j = j0; j <= j1; ++j) {
        for (int i = i0; i <= i1; ++i) {
            const float x = -layout::kTerrainHalfSize + i * step;
            const float z = -layout::kTerrainHalfSize + j * step;
            const float dx = Terrain::height(x + 0.5f * step, z) - Terrain::height(x - 0.5f * step, z);
            const float dz = Terrain::height(x, z + 0.5f * step) - Terrain::height(x, z - 0.5f * step);
            const glm::vec3 n = glm::normalize(glm::vec3(-dx, step, -dz));
            mesh.addVertex(glm::vec3(x, Terrain::height(x, z), z), n, glm::vec2(x / texel, -z / texel),
                           cover.tint(x, z));
        }
    }
    const int row = i1 - i0 + 1;
    for (int j = 0; j < j1 - j0; ++j)
        for (int i = 0; i < i1 - i0; ++i) {
            const auto a = static_cast<std::uint32_t>(j * row + i);
            mesh.addQuad(a, a + row, a + row + 1, a + 1);
        }
    return mesh;
}

}  // namespace

std::vector<MeshBuilder> Terrain::build(int cells, int tiles, const GroundCover& cover)
{
    std::vector<MeshBuilder> parts;
    for (int tj = 0; tj < tiles; ++tj)
        for (int ti = 0; ti < tiles; ++ti)
            parts.push_back(gridPart(cover, cells, cells * ti / tiles, cells * (ti + 1) / tiles, cells * tj / tiles,
                                     cells * (tj + 1) / tiles));
    return parts;
}

}  // namespace tolvane::content
