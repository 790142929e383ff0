#include "WoodTextures.h"

#include "Noise.h"

#include <glm/common.hpp>
#include <glm/exponential.hpp>
#include <glm/geometric.hpp>

#include <cmath>

namespace tolvane::content {
namespace {

float smooth(float edge0, float edge1, float x)
{
    return glm::smoothstep(edge0, edge1, x);
}

// Long fibres running along u, with checks (cracks) and the odd knot.
struct Grain {
    float tone;   // 0 dark .. 1 light
    float crack;  // 1 inside a crack
};

Grain sideGrain(const Noise& noise, float u, float t)
{
    float fibre = 0.55f * noise.gradient(u * 2.0f, t * 24.0f, 2, 24) +
                  0.3f * noise.gradient(u * 4.0f, t * 64.0f, 4, 64) +
                  0.15f * noise.gradient(u * 8.0f, t * 160.0f, 8, 160);
    const Noise::CellSample knot = noise.cellular(u, t, 5);
    const float knotRing = std::sin(knot.nearest * 60.0f) * smooth(0.18f, 0.02f, knot.nearest);
    const float check = std::fabs(noise.gradient(u * 2.0f, t * 36.0f, 2, 36));
    Grain g;
    g.tone = glm::clamp(0.5f + 0.6f * fibre - 0.5f * smooth(0.08f, 0.0f, knot.nearest) + 0.2f * knotRing, 0.0f, 1.0f);
    g.crack = smooth(0.05f, 0.0f, check) * smooth(0.45f, 0.75f, noise.fbm(u, t, 3, 2) + 0.5f);
    return g;
}

float barkAmount(const Noise& noise, float u, float t, float cover)
{
    if (cover <= 0.0f)
        return 0.0f;
    if (cover >= 1.0f)
        return 1.0f;
    const float patch = noise.fbm(u, t, 3, 3) * 0.5f + 0.5f;
    return smooth(1.0f - cover - 0.05f, 1.0f - cover + 0.05f, patch);
}

// Deep furrows along the log with plates between them.
float barkRelief(const Noise& noise, float u, float t)
{
    const float furrows = 1.0f - std::fabs(noise.gradient(u * 3.0f + 0.5f, t * 18.0f, 3, 18));
    const float fine = 1.0f - std::fabs(noise.gradient(u * 8.0f + 0.5f, t * 48.0f, 8, 48));
    const float plates = noise.gradient(u * 12.0f, t * 20.0f, 12, 20);
    return glm::clamp(std::pow(furrows, 3.0f) * 0.7f + 0.2f * fine + 0.15f * plates, 0.0f, 1.0f);
}

glm::vec3 charColour(glm::vec3 base, float charring, float speckle)
{
    const glm::vec3 soot(0.035f, 0.03f, 0.028f);
    const glm::vec3 ember(0.35f, 0.08f, 0.02f);
    glm::vec3 c = glm::mix(base, soot, charring);
    return glm::mix(c, ember, charring * smooth(0.82f, 0.95f, speckle) * 0.6f);
}

void paintSide(SurfaceTexture& tex, const Noise& noise, const WoodPalette& p)
{
    const int size = tex.colour.width();
    const int band = size * 3 / 4;
    for (int y = 0; y < band; ++y) {
        const float t = static_cast<float>(y) / band;
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const Grain g = sideGrain(noise, u, t);
            const float bark = barkAmount(noise, u, t, p.barkCover);
            const float relief = barkRelief(noise, u, t);
            glm::vec3 wood = glm::mix(p.dark, p.light, g.tone) * (1.0f - 0.7f * g.crack);
            glm::vec3 barkColour = p.bark * (0.35f + 1.1f * relief);
            glm::vec3 c = glm::mix(wood, barkColour, bark);
            c = charColour(c, p.charring, noise.fbm(u, t, 12, 2) * 0.5f + 0.5f);
            const float h = glm::mix(0.45f + 0.1f * g.tone - 0.4f * g.crack, 0.5f + 0.5f * relief, bark);
            tex.set(x, y, c, h);
        }
    }
}

glm::vec3 endGrain(const Noise& noise, const WoodPalette& p, float r, float angle, float& h)
{
    const float wobble = 0.04f * noise.gradient(std::cos(angle) * 3.0f + 8.0f, std::sin(angle) * 3.0f + 8.0f, 64, 64);
    const float rings = 0.5f + 0.5f * std::sin((r + wobble) * 70.0f);
    const float heart = smooth(0.25f, 0.0f, r);
    glm::vec3 wood = glm::mix(p.light * 1.1f, p.dark, 0.35f * rings + 0.3f * heart);
    h = 0.5f + 0.05f * rings;
    if (r > 0.88f) {
        h = 0.6f;
        return p.bark * 0.8f;
    }
    return wood;
}

void paintEnds(SurfaceTexture& tex, const Noise& noise, const WoodPalette& p)
{
    const int size = tex.colour.width();
    const float radius = WoodTextures::kEndDiscRadius * size;
    for (int y = size * 3 / 4; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float cx = (std::floor(x / (size / 4.0f)) + 0.5f) * (size / 4.0f);
            const float cy = size * 7.0f / 8.0f;
            const float r = std::hypot(x - cx, y - cy) / radius;
            float h = 0.6f;
            glm::vec3 c = p.bark * 0.7f;
            if (r <= 1.0f)
                c = endGrain(noise, p, r, std::atan2(y - cy, x - cx), h);
            const float charSpeck = noise.fbm(x / float(size), y / float(size), 12, 2) * 0.5f + 0.5f;
            tex.set(x, y, charColour(c, p.charring * 0.8f, charSpeck), h);
        }
    }
}

}  // namespace

SurfaceTexture WoodTextures::logAtlas(int size, const WoodPalette& palette)
{
    SurfaceTexture tex(size, size);
    const Noise noise(palette.seed);
    paintSide(tex, noise, palette);
    paintEnds(tex, noise, palette);
    tex.bumpStrength = 3.0f;
    return tex;
}

SurfaceTexture WoodTextures::door(int size)
{
    SurfaceTexture tex(size, size);
    const Noise noise(71);
    const int planks = 5;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const float across = u * planks - std::floor(u * planks);
            const int plank = static_cast<int>(u * planks);
            // Grain runs vertically: swap the axes of the log grain.
            const Grain g = sideGrain(noise, v, u + 0.37f * plank);
            const float gap = smooth(0.035f, 0.0f, across) + smooth(0.965f, 1.0f, across);
            const float bandY = std::min(std::fabs(v - 0.22f), std::fabs(v - 0.78f));
            const float band = smooth(0.045f, 0.04f, bandY);
            const float nailX = std::fabs(across - 0.5f);
            const float nail =
                band * smooth(0.05f, 0.03f, std::hypot(nailX * size / planks, bandY * size) / size * 8.0f);
            glm::vec3 c = glm::mix(glm::vec3(0.16f, 0.09f, 0.05f), glm::vec3(0.42f, 0.27f, 0.15f), g.tone);
            c *= (1.0f - 0.8f * gap) * (0.9f + 0.1f * static_cast<float>(plank % 2));
            const glm::vec3 iron = glm::vec3(0.1f, 0.1f, 0.11f) * (0.8f + 0.4f * (noise.fbm(u, v, 32, 2) + 0.5f));
            c = glm::mix(c, iron, band);
            c = glm::mix(c, glm::vec3(0.3f, 0.3f, 0.32f), nail);
            tex.set(x, y, c, 0.5f + 0.08f * g.tone - 0.5f * gap + 0.25f * band + 0.2f * nail);
        }
    }
    tex.bumpStrength = 3.0f;
    return tex;
}

SurfaceTexture WoodTextures::window(int size)
{
    SurfaceTexture tex(size, size);
    const Noise noise(83);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const float edge = std::min(std::min(u, 1.0f - u), std::min(v, 1.0f - v));
            const float mullion = std::min(std::fabs(u - 0.5f), std::fabs(v - 0.5f));
            const float frame = std::max(smooth(0.1f, 0.09f, edge), smooth(0.035f, 0.03f, mullion));
            const Grain g = sideGrain(noise, u, v);
            // Dark, painted-over wood: the pane's glow lights it too, and it
            // must still read as a frame against the glass.
            const glm::vec3 wood = glm::mix(glm::vec3(0.05f, 0.03f, 0.02f), glm::vec3(0.12f, 0.075f, 0.04f), g.tone);
            // Warm lamplight behind old, slightly uneven glass.
            const float pane = glm::fract(u * 2.0f) - 0.5f;
            const float paneV = glm::fract(v * 2.0f) - 0.5f;
            const float glow = 1.0f - 0.6f * (pane * pane + paneV * paneV) * 2.0f;
            const float ripple = 0.1f * noise.fbm(u, v, 8, 3);
            const glm::vec3 glass = glm::vec3(1.0f, 0.72f, 0.32f) * (glow + ripple);
            tex.set(x, y, glm::mix(glass, wood, frame), 0.3f + 0.5f * frame + 0.05f * ripple);
        }
    }
    tex.bumpStrength = 2.0f;
    return tex;
}

SurfaceTexture WoodTextures::torch(int size)
{
    SurfaceTexture tex(size, size);
    const Noise noise(97);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const float hammer = noise.fbm(u, v, 12, 3);
            glm::vec3 c;
            float h;
            if (u < 1.0f / 3.0f) {
                c = glm::vec3(0.09f, 0.085f, 0.08f) * (1.0f + 0.5f * hammer);
                h = 0.5f + 0.2f * hammer;
            } else if (u < 2.0f / 3.0f) {
                const float wrap = std::sin(v * 90.0f + 6.0f * u + 2.0f * hammer);
                c = glm::mix(glm::vec3(0.05f, 0.035f, 0.02f), glm::vec3(0.22f, 0.12f, 0.05f), 0.5f + 0.5f * wrap);
                h = 0.5f + 0.3f * wrap;
            } else {
                const Grain g = sideGrain(noise, v, u);
                c = glm::mix(glm::vec3(0.14f, 0.08f, 0.04f), glm::vec3(0.38f, 0.24f, 0.13f), g.tone);
                h = 0.5f + 0.1f * g.tone - 0.3f * g.crack;
            }
            tex.set(x, y, c, h);
        }
    }
    return tex;
}

}  // namespace tolvane::content
