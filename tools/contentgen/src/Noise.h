#pragma once
#include <cstdint>

namespace tolvane::content {

// Tileable gradient noise. The lattice wraps after `period` cells on each
// axis, so textures built from it repeat without seams when the renderer
// wraps them, and a flame animated by scrolling one full period loops.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : seed_(seed) {}

    // Single octave in about [-1, 1]; x and y are in lattice cells.
    float gradient(float x, float y, int periodX, int periodY) const;

    // Fractal sum over `octaves`, each doubling the frequency and the period.
    // u and v are in [0, 1) of one tile; the result is about [-1, 1].
    float fbm(float u, float v, int basePeriod, int octaves, float gain = 0.5f) const;

    // Like fbm but with the absolute value folded, giving ridges and cracks.
    float ridged(float u, float v, int basePeriod, int octaves) const;

    struct CellSample {
        float nearest;        // distance to the nearest feature point, in cells
        float secondNearest;  // distance to the second nearest
        std::uint32_t id;     // stable number of the nearest point's cell
    };

    // Cellular (Worley) pattern over a tile of cells x cells, tileable.
    CellSample cellular(float u, float v, int cells) const;

private:
    std::uint32_t hash(int x, int y) const;
    std::uint32_t seed_;
};

}  // namespace tolvane::content
