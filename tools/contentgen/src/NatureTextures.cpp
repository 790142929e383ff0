#include "NatureTextures.h"

#include "Noise.h"

#include <glm/common.hpp>
#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>
#include <functional>

namespace tolvane::content {
namespace {

// Needle colours of the pines' bands, deep in the bough and at the tips:
// blue green, a yellower green and a dark grey green.
constexpr glm::vec3 kNeedleDeep[NatureTextures::kPineHues] = {
    {0.015f, 0.04f, 0.03f}, {0.032f, 0.05f, 0.018f}, {0.012f, 0.032f, 0.038f}};
constexpr glm::vec3 kNeedleTip[NatureTextures::kPineHues] = {
    {0.055f, 0.12f, 0.065f}, {0.11f, 0.15f, 0.05f}, {0.045f, 0.1f, 0.105f}};

float smooth(float edge0, float edge1, float x)
{
    return glm::smoothstep(edge0, edge1, x);
}

using Painter = std::function<void(float u, float v, glm::vec3& colour, float& height)>;

SurfaceTexture paint(int size, float bump, const Painter& painter)
{
    SurfaceTexture tex(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            glm::vec3 c(0.0f);
            float h = 0.0f;
            painter(static_cast<float>(x) / size, static_cast<float>(y) / size, c, h);
            tex.set(x, y, c, h);
        }
    }
    tex.bumpStrength = bump;
    return tex;
}

float unit(float signedNoise)
{
    return glm::clamp(signedNoise * 0.5f + 0.5f, 0.0f, 1.0f);
}

// Short strokes in several directions, for grass and needles.
float strokes(const Noise& n, float u, float v, int density)
{
    const float a = n.gradient(u * density, v * density / 6, density, density / 6);
    const float b = n.gradient((u + v) * density / 2, (v - u) * density / 8 + 3.0f, density, density / 4);
    return std::max(smooth(0.25f, 0.6f, a), smooth(0.3f, 0.65f, b));
}

}  // namespace

SurfaceTexture NatureTextures::ground(int size)
{
    const Noise n(11);
    return paint(size, 2.0f, [&](float u, float v, glm::vec3& c, float& h) {
        const float patch = unit(n.fbm(u, v, 3, 5));
        const float blades = strokes(n, u, v, 96);
        const Noise::CellSample leaf = n.cellular(u, v, 48);
        const float leaves = smooth(0.32f, 0.22f, leaf.nearest) * smooth(0.55f, 0.75f, unit(n.fbm(u, v, 5, 2)));
        const glm::vec3 earth =
            glm::mix(glm::vec3(0.17f, 0.12f, 0.08f), glm::vec3(0.28f, 0.2f, 0.13f), unit(n.fbm(u, v, 24, 3)));
        const glm::vec3 grass = glm::mix(glm::vec3(0.12f, 0.2f, 0.07f), glm::vec3(0.26f, 0.34f, 0.12f), blades);
        const float grassCover = smooth(0.35f, 0.6f, patch + 0.25f * blades);
        c = glm::mix(earth, grass, grassCover);
        // Clumps a metre or so across: dark moss in the hollows, pale dry
        // grass on the rises, so that the ground reads at a distance too.
        const float clump = unit(n.fbm(u + 0.37f, v + 0.61f, 3, 2, 0.4f));
        const glm::vec3 moss(0.03f, 0.06f, 0.025f);
        const glm::vec3 dry(0.5f, 0.46f, 0.22f);
        c = glm::mix(c, moss, 0.9f * smooth(0.47f, 0.32f, clump) * grassCover);
        c = glm::mix(c, dry * (0.7f + 0.5f * blades), 0.9f * smooth(0.5f, 0.64f, clump) * grassCover);
        const float hue = static_cast<float>(leaf.id & 0xFF) / 255.0f;
        c = glm::mix(c, glm::mix(glm::vec3(0.45f, 0.22f, 0.06f), glm::vec3(0.35f, 0.3f, 0.1f), hue), leaves);
        h = 0.4f * patch + 0.3f * blades * grassCover + 0.25f * leaves + 0.1f * unit(n.fbm(u, v, 32, 3));
    });
}

SurfaceTexture NatureTextures::bareEarth(int size)
{
    const Noise n(17);
    return paint(size, 2.0f, [&](float u, float v, glm::vec3& c, float& h) {
        const float soil = unit(n.fbm(u, v, 6, 4));
        const Noise::CellSample pebble = n.cellular(u, v, 40);
        const float pebbles = smooth(0.22f, 0.12f, pebble.nearest) * smooth(0.6f, 0.8f, unit(n.fbm(u, v, 12, 2)));
        const float blades = strokes(n, u, v, 64) * smooth(0.65f, 0.85f, unit(n.fbm(u + 0.3f, v, 4, 3)));
        c = glm::mix(glm::vec3(0.2f, 0.14f, 0.09f), glm::vec3(0.36f, 0.26f, 0.17f), soil);
        c = glm::mix(c, glm::vec3(0.42f, 0.4f, 0.36f), 0.8f * pebbles);
        c = glm::mix(c, glm::vec3(0.2f, 0.26f, 0.1f), 0.6f * blades);  // a few tufts survive
        h = 0.3f * soil + 0.5f * pebbles + 0.15f * blades;
    });
}

SurfaceTexture NatureTextures::thatch(int size)
{
    const Noise n(23);
    const int courses = 6;
    return paint(size, 3.5f, [&](float u, float v, glm::vec3& c, float& h) {
        const float course = v * courses - std::floor(v * courses);  // 0 at a course's top edge
        const float shift = 0.02f * n.gradient(u * 16.0f, v * courses, 16, courses);
        const float straw =
            unit(n.gradient(u * 160.0f, v * 6.0f, 160, 6) * 0.7f + 0.5f * n.gradient(u * 320.0f, v * 12.0f, 320, 12));
        const float clump = unit(n.fbm(u, v, 8, 3));
        const float lip = smooth(0.7f, 1.0f, course + shift);  // the ragged butt ends of a course
        const glm::vec3 fresh(0.55f, 0.45f, 0.25f);
        const glm::vec3 aged(0.27f, 0.23f, 0.16f);
        c = glm::mix(aged, fresh, 0.35f * straw + 0.35f * clump) * (1.0f - 0.45f * lip * (1.0f - straw));
        const float moss = smooth(0.62f, 0.8f, unit(n.fbm(u + 0.3f, v, 4, 4)));
        c = glm::mix(c, glm::vec3(0.16f, 0.2f, 0.08f), 0.7f * moss);
        h = 0.6f * straw + 0.6f * (course + shift) - 0.3f * lip;
    });
}

SurfaceTexture NatureTextures::pineNeedles(int size)
{
    const Noise n(31);
    return paint(size, 2.5f, [&](float u, float bandV, glm::vec3& c, float& h) {
        const int band = std::min(kPineHues - 1, static_cast<int>(bandV * kPineHues));
        const float v = bandV * kPineHues - static_cast<float>(band);
        const float needles = strokes(n, u, v, 128);
        const float twigs = smooth(0.04f, 0.0f, std::fabs(n.gradient(u * 6.0f, v * 24.0f, 6, 24)));
        const float light = unit(n.fbm(u, v, 4, 3));
        c = glm::mix(kNeedleDeep[band], kNeedleTip[band], needles * (0.5f + 0.5f * light));
        c = glm::mix(c, glm::vec3(0.18f, 0.11f, 0.06f), 0.6f * twigs);
        h = 0.6f * needles + 0.3f * light - 0.2f * twigs;
    });
}

SurfaceTexture NatureTextures::pineFringe(int size)
{
    const Noise n(37);
    constexpr int kSprays = 12;
    SurfaceTexture tex(size, size);
    tex.bumpStrength = 1.5f;
    tex.hasHoles = true;
    for (int y = 0; y < size; ++y) {
        const float bandV = static_cast<float>(y) / size;
        const int band = std::min(kPineHues - 1, static_cast<int>(bandV * kPineHues));
        // Down the card, as the mesh squeezes it into the band's middle.
        const float f = glm::clamp((bandV * kPineHues - static_cast<float>(band) - 0.04f) / 0.92f, 0.0f, 1.0f);
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float across = u * kSprays;
            const int spray = static_cast<int>(across);
            const float centre = 1.0f - std::fabs(across - static_cast<float>(spray) - 0.5f) * 2.0f;
            const float reach =
                0.35f + 0.65f * unit(2.0f * n.gradient(static_cast<float>(spray) * 0.61f, 1.5f, 64, 64));
            // A spray hangs furthest at its middle; single needles run on
            // past its body, thinning out towards their ends.
            const float body = reach * std::pow(centre, 0.6f);
            const float strand = unit(n.gradient(u * 192.0f, f * 3.0f, 192, 64));
            const bool needle = f < body - 0.25f || (f < body + 0.15f && strand > 0.35f + 0.5f * (f - body + 0.25f));
            const bool solid = f < 0.08f || needle;
            const float shade = unit(n.fbm(u, bandV, 8, 3));
            // In the bough's shade: darker than the tips on its upper side.
            glm::vec3 c =
                glm::mix(kNeedleDeep[band], kNeedleTip[band], glm::clamp(0.1f + 0.5f * strand * shade, 0.0f, 1.0f));
            // The height knows nothing of the holes: a step at their edges
            // would tilt the needles' normals towards the sky and light them.
            tex.set(x, y, c, 0.4f * strand);
            tex.colour.at(x, y).a = solid ? 1.0f : 0.0f;
        }
    }
    return tex;
}

SurfaceTexture NatureTextures::cobbles(int size)
{
    const Noise n(41);
    return paint(size, 3.0f, [&](float u, float v, glm::vec3& c, float& h) {
        const Noise::CellSample cell = n.cellular(u, v, 8);
        const float joint = smooth(0.12f, 0.02f, cell.secondNearest - cell.nearest);
        const float tint = static_cast<float>(cell.id % 97) / 96.0f;
        const float grain = unit(n.fbm(u, v, 32, 3));
        glm::vec3 stone = glm::mix(glm::vec3(0.3f, 0.29f, 0.27f), glm::vec3(0.5f, 0.47f, 0.42f), tint);
        stone *= 0.8f + 0.35f * grain;
        const float moss = smooth(0.6f, 0.8f, unit(n.fbm(u, v, 6, 3))) * (1.0f - joint);
        stone = glm::mix(stone, glm::vec3(0.15f, 0.22f, 0.08f), 0.6f * moss);
        c = glm::mix(stone, glm::vec3(0.1f, 0.08f, 0.06f), joint);
        h = (1.0f - joint) * (0.7f - 0.5f * cell.nearest) + 0.08f * grain;
    });
}

SurfaceTexture NatureTextures::granite(int size)
{
    const Noise n(53);
    return paint(size, 5.0f, [&](float u, float v, glm::vec3& c, float& h) {
        const float body = unit(n.fbm(u, v, 4, 6));
        const float speck = smooth(0.55f, 0.8f, unit(n.gradient(u * 200.0f, v * 200.0f, 200, 200)));
        const float crack = smooth(0.96f, 1.0f, n.ridged(u, v, 3, 3));
        const float lichen = smooth(0.58f, 0.72f, unit(n.fbm(u + 0.5f, v, 5, 4)));
        c = glm::mix(glm::vec3(0.26f, 0.26f, 0.27f), glm::vec3(0.46f, 0.45f, 0.43f), body);
        c = glm::mix(c, glm::vec3(0.1f, 0.1f, 0.1f), 0.5f * speck);
        c = glm::mix(c, glm::vec3(0.5f, 0.52f, 0.38f), 0.6f * lichen);
        c *= 1.0f - 0.7f * crack;
        h = 0.7f * body + 0.1f * speck - 0.5f * crack + 0.1f * lichen;
    });
}

}  // namespace tolvane::content
