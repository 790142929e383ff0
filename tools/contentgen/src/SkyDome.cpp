#include "SkyDome.h"

#include "Noise.h"
#include "Rng.h"

#include <glm/common.hpp>
#include <glm/geometric.hpp>
#include <glm/trigonometric.hpp>

#include <algorithm>
#include <cmath>

namespace tolvane::content {
namespace {

constexpr float kPi = 3.14159265f;
// The moon stands low behind the woods, to the right of the hut as the
// flight first sees it.
constexpr float kMoonAzimuth = 0.88f;    // as u
constexpr float kMoonElevation = 14.0f;  // degrees

// Sky colour (as stored, sRGB) at an elevation, before stars and glow.
glm::vec3 gradient(float elevation)
{
    const glm::vec3 below(0.10f, 0.12f, 0.17f);
    const glm::vec3 horizon(0.30f, 0.34f, 0.46f);
    const glm::vec3 middle(0.13f, 0.17f, 0.32f);
    const glm::vec3 zenith(0.06f, 0.08f, 0.20f);
    if (elevation < 0.0f)
        return glm::mix(horizon, below, glm::smoothstep(0.0f, -8.0f, elevation));
    if (elevation < 30.0f)
        return glm::mix(horizon, middle, glm::smoothstep(0.0f, 30.0f, elevation));
    return glm::mix(middle, zenith, glm::smoothstep(30.0f, 90.0f, elevation));
}

void addStar(Image& image, float cx, float cy, float brightness, float radius)
{
    const int r = static_cast<int>(std::ceil(radius * 2.0f));
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            const int x = (static_cast<int>(cx) + dx + image.width()) % image.width();
            const int y = static_cast<int>(cy) + dy;
            if (y < 0 || y >= image.height())
                continue;
            const float ex = static_cast<float>(static_cast<int>(cx) + dx) + 0.5f - cx;
            const float ey = static_cast<float>(y) + 0.5f - cy;
            const float w = brightness * std::exp(-(ex * ex + ey * ey) / (2.0f * radius * radius));
            glm::vec4& texel = image.at(x, y);
            texel = glm::vec4(glm::min(glm::vec3(texel) + glm::vec3(w * 0.92f, w * 0.95f, w), glm::vec3(1.0f)), 1.0f);
        }
}

}  // namespace

float SkyDome::elevationOfRow(float v)
{
    return 90.0f - v * (90.0f - kLowestDegrees);
}

MeshBuilder SkyDome::build(int segments, int rings)
{
    MeshBuilder mesh;
    for (int j = 0; j <= rings; ++j) {
        const float v = static_cast<float>(j) / rings;
        const float elevation = glm::radians(elevationOfRow(v));
        for (int i = 0; i <= segments; ++i) {
            const float u = static_cast<float>(i) / segments;
            const float azimuth = 2.0f * kPi * u;
            const glm::vec3 direction(std::cos(elevation) * std::cos(azimuth), std::sin(elevation),
                                      std::cos(elevation) * std::sin(azimuth));
            mesh.addVertex(direction * kRadius, -direction, glm::vec2(u, 1.0f - v));
        }
    }
    const int row = segments + 1;
    for (int j = 0; j < rings; ++j)
        for (int i = 0; i < segments; ++i) {
            const auto a = static_cast<std::uint32_t>(j * row + i);
            // Counter-clockwise seen from the centre.
            mesh.addQuad(a, a + row, a + row + 1, a + 1);
        }
    return mesh;
}

SurfaceTexture SkyDome::picture(int width)
{
    const int height = width / 4;
    SurfaceTexture sky(width, height);
    const Noise noise(21);
    for (int y = 0; y < height; ++y) {
        // Row 0, the top of the picture, is the zenith (the mesh's t = 1).
        const float v = (static_cast<float>(y) + 0.5f) / height;
        const float elevation = elevationOfRow(v);
        for (int x = 0; x < width; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / width;
            glm::vec3 c = gradient(elevation);
            // Thin veils of cloud, brighter near the moon.
            const float veil = glm::smoothstep(0.1f, 0.6f, noise.fbm(u, v, 8, 4) * 0.5f + 0.5f);
            float du = std::fabs(u - kMoonAzimuth);
            du = std::min(du, 1.0f - du) * 360.0f * std::cos(glm::radians(std::clamp(elevation, 0.0f, 80.0f)));
            const float dv = elevation - kMoonElevation;
            const float fromMoon = std::sqrt(du * du + dv * dv);  // degrees, roughly
            const float glow = std::exp(-fromMoon / 22.0f) * glm::smoothstep(-6.0f, 2.0f, elevation);
            c += glow * glm::vec3(0.38f, 0.40f, 0.42f) + veil * (0.03f + 0.12f * glow) * glm::vec3(0.8f, 0.85f, 1.0f);
            sky.set(x, y, glm::min(c, glm::vec3(1.0f)), 0.0f);
        }
    }
    // Stars, evenly spread over the sphere (fewer per row towards the zenith,
    // where a row of texels covers less sky), dimmed by haze near the horizon.
    Rng rng(22);
    for (int y = 0; y < height; ++y) {
        const float elevation = elevationOfRow((static_cast<float>(y) + 0.5f) / height);
        if (elevation < 2.0f)
            continue;
        const float perRow = 0.03f * width * std::cos(glm::radians(elevation));
        const float haze = glm::smoothstep(2.0f, 20.0f, elevation);
        for (int s = 0; s < static_cast<int>(perRow + static_cast<float>(rng.unit())); ++s) {
            const float magnitude = static_cast<float>(rng.unit());
            const float brightness = haze * (0.15f + 0.85f * std::pow(magnitude, 4.0f));
            const float radius = 0.35f + 0.35f * magnitude * magnitude;
            addStar(sky.colour, static_cast<float>(rng.unit()) * width,
                    static_cast<float>(y) + static_cast<float>(rng.unit()), brightness, radius);
        }
    }
    sky.bumpStrength = 0.0f;
    return sky;
}

}  // namespace tolvane::content
