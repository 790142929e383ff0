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
// The moon stands low over the woods, up and to the right of the hut in
// the flight's opening shot (from the camera's start, the opening shot's
// vertical half-angle of 30 degrees leaves room for it at 21 degrees up).
constexpr float kMoonAzimuth = 0.725f;   // as u
constexpr float kMoonElevation = 21.0f;  // degrees
constexpr float kMoonRadiusDegrees = 1.4f;
constexpr float kMoonDistance = 42.0f;  // just inside the dome

glm::vec3 directionOf(float u, float elevationDegrees)
{
    const float azimuth = 2.0f * kPi * u;
    const float elevation = glm::radians(elevationDegrees);
    return {std::cos(elevation) * std::cos(azimuth), std::sin(elevation), std::cos(elevation) * std::sin(azimuth)};
}

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

// A star centred at (cx, cy) in texels; what falls outside the image is
// left out (the neighbouring part of the sky draws it).
void addStar(Image& image, float cx, float cy, float brightness, float radius)
{
    const int r = static_cast<int>(std::ceil(radius * 2.0f));
    const int column = static_cast<int>(std::floor(cx));
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            const int x = column + dx;
            const int y = static_cast<int>(cy) + dy;
            if (x < 0 || x >= image.width() || y < 0 || y >= image.height())
                continue;
            const float ex = static_cast<float>(x) + 0.5f - cx;
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

MeshBuilder SkyDome::build(int segments, int rings, int part)
{
    MeshBuilder mesh;
    for (int j = 0; j <= rings; ++j) {
        const float v = static_cast<float>(j) / rings;
        const float elevation = elevationOfRow(v);
        for (int i = 0; i <= segments; ++i) {
            const float s = static_cast<float>(i) / segments;
            const glm::vec3 direction = directionOf((static_cast<float>(part) + s) / kParts, elevation);
            mesh.addVertex(direction * kRadius, -direction, glm::vec2(s, 1.0f - v));
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

MeshBuilder SkyDome::moon(int segments)
{
    const glm::vec3 toMoon = directionOf(kMoonAzimuth, kMoonElevation);
    const glm::vec3 right = glm::normalize(glm::cross(toMoon, glm::vec3(0.0f, 1.0f, 0.0f)));
    const glm::vec3 up = glm::cross(right, toMoon);
    const float radius = kMoonDistance * std::tan(glm::radians(kMoonRadiusDegrees));
    const glm::vec3 centre = toMoon * kMoonDistance;
    MeshBuilder mesh;
    const std::uint32_t middle = mesh.addVertex(centre, -toMoon, glm::vec2(0.5f));
    for (int i = 0; i <= segments; ++i) {
        const float a = 2.0f * kPi * static_cast<float>(i) / segments;
        const glm::vec2 unit(std::cos(a), std::sin(a));
        mesh.addVertex(centre + radius * (unit.x * right + unit.y * up), -toMoon, 0.5f + 0.5f * unit);
    }
    // Counter-clockwise seen from the clearing.
    for (int i = 0; i < segments; ++i)
        mesh.addTriangle(middle, middle + 1 + static_cast<std::uint32_t>(i),
                         middle + 2 + static_cast<std::uint32_t>(i));
    return mesh;
}

SurfaceTexture SkyDome::moonPicture(int size)
{
    SurfaceTexture moon(size, size);
    const Noise noise(23);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / size;
            const float v = (static_cast<float>(y) + 0.5f) / size;
            // Grey seas on a pale disc, darkening a little towards the limb.
            const float seas = glm::smoothstep(0.55f, 0.75f, noise.fbm(u, v, 3, 3) * 0.5f + 0.5f);
            const float limb = 1.0f - 0.25f * glm::length(glm::vec2(u, v) * 2.0f - 1.0f);
            moon.set(x, y, glm::vec3(0.95f, 0.93f, 0.86f) * (1.0f - 0.3f * seas) * limb, 0.0f);
        }
    moon.bumpStrength = 0.0f;
    return moon;
}

SurfaceTexture SkyDome::picture(int width, int part)
{
    const int height = width;
    const int panorama = width * kParts;  // texels once round
    SurfaceTexture sky(width, height);
    const Noise noise(21);
    for (int y = 0; y < height; ++y) {
        // Row 0, the top of the picture, is the zenith (the mesh's t = 1).
        const float v = (static_cast<float>(y) + 0.5f) / height;
        const float elevation = elevationOfRow(v);
        for (int x = 0; x < width; ++x) {
            const float u = (static_cast<float>(part * width + x) + 0.5f) / static_cast<float>(panorama);
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
    // A texel is about a pixel and a half on screen, so a star is a point of
    // one or two pixels; most are faint, a few bright.
    Rng rng(22);
    // Round the whole circle, per degree of elevation at the horizon: about
    // 5,500 stars in all, whatever the picture's size.
    constexpr float kStarsPerDegree = 100.0f;
    const float degreesPerRow = (90.0f - kLowestDegrees) / static_cast<float>(height);
    for (int y = 0; y < height; ++y) {
        const float elevation = elevationOfRow((static_cast<float>(y) + 0.5f) / height);
        if (elevation < 2.0f)
            continue;
        const float perRow = kStarsPerDegree * degreesPerRow * std::cos(glm::radians(elevation));
        const float haze = glm::smoothstep(2.0f, 20.0f, elevation);
        for (int s = 0; s < static_cast<int>(perRow + static_cast<float>(rng.unit())); ++s) {
            const float magnitude = static_cast<float>(rng.unit());
            const float brightness = haze * (0.55f + 0.45f * std::pow(magnitude, 2.0f));
            const float radius = 0.33f + 0.12f * magnitude;
            const float across = static_cast<float>(rng.unit()) * static_cast<float>(panorama);
            const float down = static_cast<float>(y) + static_cast<float>(rng.unit());
            // Stars near the panorama's seam reach into the part on its
            // other side too.
            for (const int turn : {-panorama, 0, panorama})
                addStar(sky.colour, across + static_cast<float>(turn - part * width), down, brightness, radius);
        }
    }
    sky.bumpStrength = 0.0f;
    return sky;
}

}  // namespace tolvane::content
