#include "SpriteTextures.h"

#include "Noise.h"

#include <glm/common.hpp>
#include <glm/vec3.hpp>

#include <cmath>

namespace tolvane::content {
namespace {

float smooth(float edge0, float edge1, float x)
{
    return glm::smoothstep(edge0, edge1, x);
}

// Distance from the centre in units of the half size, for round sprites.
float radius(int x, int y, int size)
{
    const float h = 0.5f * static_cast<float>(size);
    return std::hypot((x + 0.5f - h) / h, (y + 0.5f - h) / h);
}

// Heat 0..1 to flame colour: dark red, orange, yellow, then nearly white.
glm::vec3 flameColour(float heat)
{
    const glm::vec3 red(0.6f, 0.08f, 0.01f);
    const glm::vec3 orange(1.0f, 0.42f, 0.05f);
    const glm::vec3 yellow(1.0f, 0.8f, 0.3f);
    const glm::vec3 core(1.0f, 0.96f, 0.82f);
    if (heat < 0.4f)
        return glm::mix(red, orange, heat / 0.4f);
    if (heat < 0.75f)
        return glm::mix(orange, yellow, (heat - 0.4f) / 0.35f);
    return glm::mix(yellow, core, (heat - 0.75f) / 0.25f);
}

// Turbulence that scrolls upwards by exactly one noise period per loop: the
// lattice of every octave wraps, so frame 50 would equal frame 0.
float rising(const Noise& noise, float x, float y, float phase)
{
    float sum = 0.0f;
    float amplitude = 0.5f;
    for (int octave = 0, period = 4; octave < 3; ++octave, period *= 2) {
        const float px = x * period;
        const float py = (y - phase) * period;
        sum += amplitude * noise.gradient(px, py, 4096, period);
        amplitude *= 0.5f;
    }
    return sum;
}

}  // namespace

Image SpriteTextures::fireParticle(int width)
{
    // One tongue of flame, twice as tall as wide: a round foot, drawn out
    // into a point, with its heat (and so its colour) falling from a
    // yellow-white core low in the middle to red at the edges and the tip.
    const int height = 2 * width;
    Image img(width, height);
    const Noise noise(23);
    for (int y = 0; y < height; ++y) {
        const float up = 1.0f - (y + 0.5f) / height;  // 0 at the bottom
        for (int x = 0; x < width; ++x) {
            const float across = 2.0f * (x + 0.5f) / width - 1.0f;
            const float lick = noise.fbm(0.5f + 0.25f * across, up, 2, 3);
            const float bend = across + 0.25f * up * lick;
            const float halfWidth = 0.9f * std::sqrt(glm::clamp(up / 0.25f, 0.0f, 1.0f)) * std::pow(1.0f - up, 0.8f);
            const float body = smooth(halfWidth, 0.0f, std::fabs(bend)) * smooth(0.0f, 0.3f, up);
            const float heat = glm::clamp(std::sqrt(body) * (1.25f - 1.0f * up + 0.15f * lick), 0.0f, 1.0f);
            // Transparent texels keep the red of the rim, so that filtering
            // at the edge never mixes in black.
            img.at(x, y) = glm::vec4(flameColour(heat), smooth(0.0f, 0.7f, body));
        }
    }
    return img;
}

Image SpriteTextures::smokePuff(int size)
{
    Image img(size, size);
    const Noise noise(61);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size;
            const float v = static_cast<float>(y) / size;
            const float billow = 0.5f + 0.5f * noise.fbm(u, v, 4, 4);
            const float r = radius(x, y, size) * (0.85f + 0.3f * billow);
            const float a = smooth(1.0f, 0.2f, r) * (0.35f + 0.45f * billow);
            const float grey = 0.35f + 0.3f * billow;
            img.at(x, y) = glm::vec4(grey, grey, grey * 1.02f, a * 0.8f);
        }
    return img;
}

Image SpriteTextures::fairyDust(int size)
{
    Image img(size, size);
    const float h = 0.5f * static_cast<float>(size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = std::fabs((x + 0.5f - h) / h);
            const float dy = std::fabs((y + 0.5f - h) / h);
            const float r = std::hypot(dx, dy);
            const float core = std::exp(-r * r * 40.0f);
            const float halo = 0.35f * std::exp(-r * r * 6.0f);
            const float rays =
                std::exp(-dx * 30.0f) * smooth(1.0f, 0.0f, dy) + std::exp(-dy * 30.0f) * smooth(1.0f, 0.0f, dx);
            const float diagonal = 0.4f * std::exp(-std::fabs(dx - dy) * 25.0f) * smooth(0.6f, 0.0f, r);
            const float a = glm::clamp(core + halo + 0.7f * rays + diagonal, 0.0f, 1.0f) * smooth(1.0f, 0.85f, r);
            // Near white all over: the particles' tint gives the colour.
            img.at(x, y) = glm::vec4(glm::mix(glm::vec3(1.0f, 0.96f, 0.9f), glm::vec3(1.0f), core), a);
        }
    return img;
}

Image SpriteTextures::white(int size)
{
    return Image(size, size, glm::vec4(1.0f));
}

Image SpriteTextures::flameFrame(int frame)
{
    const int w = kFlameFrameWidth;
    const int h = kFlameFrameHeight;
    Image img(w, h);
    const Noise noise(7);
    const float phase = static_cast<float>(frame) / kFlameFrames;
    for (int y = 0; y < h; ++y) {
        const float up = 1.0f - (y + 0.5f) / h;  // 0 at the bottom
        for (int x = 0; x < w; ++x) {
            const float across = (x + 0.5f) / w - 0.5f;
            const float sway = rising(noise, across * 0.5f + 0.25f, up * 0.8f, phase);
            const float lick = rising(noise, across * 1.5f + 0.6f, up * 1.6f, phase * 2.0f);
            const float bend = across + sway * 0.22f * up;
            // A teardrop: round at the base, drawn into a tongue towards the top.
            const float halfWidth =
                0.3f * std::sqrt(glm::clamp(up / 0.18f, 0.0f, 1.0f)) * (1.0f - smooth(0.2f, 0.95f, up) * 0.92f);
            const float body = smooth(halfWidth, halfWidth * 0.3f, std::fabs(bend)) * smooth(0.0f, 0.06f, up);
            const float heat = glm::clamp(body * (0.75f + 0.6f * lick) - 0.6f * up * up, 0.0f, 1.0f);
            const float alpha = smooth(0.02f, 0.35f, heat);
            img.at(x, y) = glm::vec4(flameColour(heat), alpha);
        }
    }
    return img;
}

Image SpriteTextures::flameStrip()
{
    Image strip(kFlameFrameWidth * kFlameFrames, kFlameFrameHeight);
    for (int f = 0; f < kFlameFrames; ++f)
        strip.blit(flameFrame(f), f * kFlameFrameWidth, 0);
    return strip;
}

}  // namespace tolvane::content
