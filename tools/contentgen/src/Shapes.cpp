#include "Shapes.h"

#include "Noise.h"
#include "WoodTextures.h"

#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <array>
#include <cmath>
#include <map>
#include <utility>

namespace tolvane::content {
namespace {

constexpr float kTwoPi = glm::two_pi<float>();

void logSide(MeshBuilder& mesh, float length, float radius, const Shapes::LogStyle& s, const Noise& noise)
{
    const auto first = static_cast<std::uint32_t>(mesh.vertices().size());
    for (int i = 0; i <= s.rings; ++i) {
        const float y = length * static_cast<float>(i) / s.rings;
        for (int k = 0; k <= s.segments; ++k) {
            const float a = kTwoPi * static_cast<float>(k) / s.segments;
            const float r = radius * (1.0f + s.wobble * noise.gradient(4.0f * k / s.segments, y * 1.3f, 4, 4096));
            const glm::vec3 n(std::cos(a), 0.0f, std::sin(a));
            const float v = WoodTextures::kSideBandStart + (1.0f - WoodTextures::kSideBandStart) * k / s.segments;
            mesh.addVertex(glm::vec3(n.x * r, y, n.z * r), n, glm::vec2(y / s.uvLength, v));
        }
    }
    const int row = s.segments + 1;
    for (int i = 0; i < s.rings; ++i)
        for (int k = 0; k < s.segments; ++k) {
            const std::uint32_t a = first + i * row + k;
            mesh.addQuad(a, a + row, a + row + 1, a + 1);
        }
}

void logCap(MeshBuilder& mesh, float y, float radius, int segments, int disc, bool top)
{
    const glm::vec3 n(0.0f, top ? 1.0f : -1.0f, 0.0f);
    const glm::vec2 centre(0.125f + 0.25f * disc, 0.125f);
    const float uvRadius = WoodTextures::kEndDiscRadius * 0.95f;
    const std::uint32_t c = mesh.addVertex(glm::vec3(0.0f, y, 0.0f), n, centre);
    const auto first = static_cast<std::uint32_t>(mesh.vertices().size());
    for (int k = 0; k < segments; ++k) {
        const float a = kTwoPi * static_cast<float>(k) / segments;
        const glm::vec2 dir(std::cos(a), std::sin(a));
        mesh.addVertex(glm::vec3(dir.x * radius, y, dir.y * radius), n, centre + dir * uvRadius);
    }
    for (int k = 0; k < segments; ++k) {
        const std::uint32_t p0 = first + k;
        const std::uint32_t p1 = first + (k + 1) % segments;
        if (top)
            mesh.addTriangle(c, p1, p0);
        else
            mesh.addTriangle(c, p0, p1);
    }
}

glm::vec2 profileNormal(const std::vector<glm::vec2>& p, std::size_t i)
{
    auto segmentNormal = [&](std::size_t a, std::size_t b) {
        const glm::vec2 d = p[b] - p[a];
        return glm::length(d) > 1e-6f ? glm::normalize(glm::vec2(d.y, -d.x)) : glm::vec2(0.0f);
    };
    glm::vec2 n(0.0f);
    const bool creaseBefore = i > 0 && glm::length(p[i] - p[i - 1]) < 1e-6f;
    const bool creaseAfter = i + 1 < p.size() && glm::length(p[i + 1] - p[i]) < 1e-6f;
    if (i > 0 && !creaseBefore)
        n += segmentNormal(i - 1, i);
    if (i + 1 < p.size() && !creaseAfter)
        n += segmentNormal(i, i + 1);
    return glm::length(n) > 1e-6f ? glm::normalize(n) : glm::vec2(0.0f, 1.0f);
}

std::uint32_t midpoint(std::map<std::pair<std::uint32_t, std::uint32_t>, std::uint32_t>& cache,
                       std::vector<glm::vec3>& points, std::uint32_t a, std::uint32_t b)
{
    const auto key = std::make_pair(std::min(a, b), std::max(a, b));
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    points.push_back(glm::normalize(points[a] + points[b]));
    const auto index = static_cast<std::uint32_t>(points.size() - 1);
    cache.emplace(key, index);
    return index;
}

void icosphere(int subdivisions, std::vector<glm::vec3>& points, std::vector<std::array<std::uint32_t, 3>>& faces)
{
    const float t = (1.0f + std::sqrt(5.0f)) / 2.0f;
    points = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
              {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    for (auto& p : points)
        p = glm::normalize(p);
    faces = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
             {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
             {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (int s = 0; s < subdivisions; ++s) {
        std::map<std::pair<std::uint32_t, std::uint32_t>, std::uint32_t> cache;
        std::vector<std::array<std::uint32_t, 3>> next;
        for (const auto& f : faces) {
            const std::uint32_t ab = midpoint(cache, points, f[0], f[1]);
            const std::uint32_t bc = midpoint(cache, points, f[1], f[2]);
            const std::uint32_t ca = midpoint(cache, points, f[2], f[0]);
            next.push_back({f[0], ab, ca});
            next.push_back({f[1], bc, ab});
            next.push_back({f[2], ca, bc});
            next.push_back({ab, bc, ca});
        }
        faces.swap(next);
    }
}

// Projects on the plane across the dominant axis of the face normal.
glm::vec2 planarUv(const glm::vec3& p, const glm::vec3& faceNormal)
{
    const glm::vec3 a = glm::abs(faceNormal);
    if (a.y >= a.x && a.y >= a.z)
        return glm::vec2(p.x, p.z) * 0.5f;
    if (a.x >= a.z)
        return glm::vec2(p.z, p.y) * 0.5f;
    return glm::vec2(p.x, p.y) * 0.5f;
}

}  // namespace

MeshBuilder Shapes::log(float length, float radius, const LogStyle& style)
{
    MeshBuilder mesh;
    const Noise noise(style.seed);
    logSide(mesh, length, radius, style, noise);
    logCap(mesh, 0.0f, radius * 0.97f, style.segments, static_cast<int>(style.seed % 4), false);
    logCap(mesh, length, radius * 0.97f, style.segments, static_cast<int>((style.seed + 1) % 4), true);
    return mesh;
}

MeshBuilder Shapes::box(const glm::vec3& size, float uvScale)
{
    MeshBuilder mesh;
    const glm::vec3 h = size * 0.5f;
    const std::array<glm::vec3, 6> normals = {glm::vec3(1, 0, 0),  glm::vec3(-1, 0, 0), glm::vec3(0, 1, 0),
                                              glm::vec3(0, -1, 0), glm::vec3(0, 0, 1),  glm::vec3(0, 0, -1)};
    for (const glm::vec3& n : normals) {
        const glm::vec3 up = std::fabs(n.y) > 0.5f ? glm::vec3(0, 0, -n.y) : glm::vec3(0, 1, 0);
        const glm::vec3 right = glm::cross(up, n);
        const glm::vec3 centre = n * h;
        const glm::vec3 du = right * glm::dot(glm::abs(right), h);
        const glm::vec3 dv = up * glm::dot(glm::abs(up), h);
        std::uint32_t idx[4];
        const float su[4] = {-1, 1, 1, -1};
        const float sv[4] = {-1, -1, 1, 1};
        for (int i = 0; i < 4; ++i) {
            const glm::vec3 p = centre + du * su[i] + dv * sv[i];
            const glm::vec2 uv = uvScale > 0.0f ? glm::vec2(glm::dot(p, right), glm::dot(p, up)) / uvScale
                                                : glm::vec2(su[i], sv[i]) * 0.5f + 0.5f;
            idx[i] = mesh.addVertex(p, n, uv);
        }
        mesh.addQuad(idx[0], idx[1], idx[2], idx[3]);
    }
    return mesh;
}

MeshBuilder Shapes::lathe(const std::vector<glm::vec2>& profile, int segments, float uRepeat, float vScale,
                          float jitter, std::uint32_t seed)
{
    MeshBuilder mesh;
    const Noise noise(seed);
    float arc = 0.0f;
    for (std::size_t i = 0; i < profile.size(); ++i) {
        if (i > 0)
            arc += glm::length(profile[i] - profile[i - 1]);
        const glm::vec2 n2 = profileNormal(profile, i);
        for (int k = 0; k <= segments; ++k) {
            const float a = kTwoPi * static_cast<float>(k) / segments;
            const float wobble = 1.0f + jitter * noise.gradient(6.0f * k / segments, 0.7f * i, 6, 4096);
            const float r = profile[i].x * wobble;
            const glm::vec3 n(n2.x * std::cos(a), n2.y, n2.x * std::sin(a));
            mesh.addVertex(glm::vec3(r * std::cos(a), profile[i].y, r * std::sin(a)), n,
                           glm::vec2(uRepeat * k / segments, arc / vScale));
        }
    }
    const auto row = static_cast<std::uint32_t>(segments + 1);
    for (std::uint32_t i = 0; i + 1 < profile.size(); ++i) {
        if (glm::length(profile[i + 1] - profile[i]) < 1e-6f)
            continue;
        // At an apex (radius 0) one triangle of each quad has no area.
        const bool apexBelow = profile[i].x < 1e-6f;
        const bool apexAbove = profile[i + 1].x < 1e-6f;
        for (std::uint32_t k = 0; k < static_cast<std::uint32_t>(segments); ++k) {
            const std::uint32_t a = i * row + k;
            if (!apexAbove)
                mesh.addTriangle(a, a + row, a + row + 1);
            if (!apexBelow)
                mesh.addTriangle(a, a + row + 1, a + 1);
        }
    }
    return mesh;
}

namespace {

// Rim point `k` of a pine tier (even k a branch tip, odd k a notch) and the
// level direction out from the trunk there.
struct RimPoint {
    glm::vec3 position;
    glm::vec3 out;
};

RimPoint pineRimPoint(const Noise& noise, int k, int branches, float radius, float height, float droop)
{
    const int rim = 2 * branches;
    const int at = k % rim;
    const bool tip = at % 2 == 0;
    const float vary = noise.gradient(static_cast<float>(at) * 0.37f, 0.5f, 64, 64);
    const float a = kTwoPi * (static_cast<float>(k) + 0.35f * vary) / static_cast<float>(rim);
    const float r = radius * (tip ? 1.0f + 0.25f * vary : 0.55f);
    const float y = tip ? -droop * (1.0f + 0.4f * vary) : 0.1f * height;
    const glm::vec3 out(std::cos(a), 0.0f, std::sin(a));
    return {glm::vec3(r * out.x, y, r * out.z), out};
}

}  // namespace

MeshBuilder Shapes::pineTier(int branches, float radius, float height, float droop, std::uint32_t seed)
{
    MeshBuilder mesh;
    const Noise noise(seed);
    const int rim = 2 * branches;  // a tip, a notch, a tip, ...
    const std::uint32_t apex = mesh.addVertex({0.0f, height, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.5f, 0.0f});
    const std::uint32_t hub = mesh.addVertex({0.0f, 0.15f * height, 0.0f}, {0.0f, -1.0f, 0.0f}, {0.5f, 1.0f});
    std::vector<std::uint32_t> top(static_cast<std::size_t>(rim) + 1);
    std::vector<std::uint32_t> under(static_cast<std::size_t>(rim) + 1);
    for (int k = 0; k <= rim; ++k) {
        const RimPoint point = pineRimPoint(noise, k, branches, radius, height, droop);
        const glm::vec3& p = point.position;
        // The upper side faces outwards and up along the cone's slope.
        const float r = glm::length(glm::vec2(p.x, p.z));
        const glm::vec3 up = glm::normalize(point.out * (height - p.y) + glm::vec3(0.0f, r, 0.0f));
        const float u = static_cast<float>(k) / static_cast<float>(rim) * static_cast<float>(branches) * 0.5f;
        top[static_cast<std::size_t>(k)] = mesh.addVertex(p, up, {u, 1.0f});
        under[static_cast<std::size_t>(k)] =
            mesh.addVertex(p, glm::normalize(glm::vec3(0.0f, -1.0f, 0.0f) + 0.3f * point.out), {u, 0.0f});
    }
    for (std::size_t k = 0; k < static_cast<std::size_t>(rim); ++k) {
        mesh.addTriangle(apex, top[k + 1], top[k]);
        mesh.addTriangle(hub, under[k], under[k + 1]);
    }
    return mesh;
}

MeshBuilder Shapes::pineFringe(int branches, float radius, float height, float droop, float length, std::uint32_t seed)
{
    MeshBuilder mesh;
    const Noise noise(seed);
    for (int b = 0; b < branches; ++b) {
        const RimPoint from = pineRimPoint(noise, 2 * b, branches, radius, height, droop);
        const RimPoint to = pineRimPoint(noise, 2 * b + 2, branches, radius, height, droop);
        // Tucked a little into the bough above, so no gap opens at the top,
        // and hanging down and slightly out, as needles on a drooping bough.
        auto corners = [&](const RimPoint& p, float u) {
            const glm::vec3 top = p.position + glm::vec3(0.0f, 0.15f * length, 0.0f) - 0.1f * length * p.out;
            const glm::vec3 foot = top + glm::vec3(0.0f, -length, 0.0f) + 0.3f * length * p.out;
            // Hanging needles face out and a little down: they catch less of
            // the light from above than the bough's upper side does.
            const glm::vec3 normal = glm::normalize(p.out + glm::vec3(0.0f, -0.2f, 0.0f));
            return std::make_pair(mesh.addVertex(top, normal, {u, 1.0f}), mesh.addVertex(foot, normal, {u, 0.0f}));
        };
        const auto [topA, footA] = corners(from, 0.0f);
        const auto [topB, footB] = corners(to, 0.5f);
        // Counter-clockwise seen from outside the tree.
        mesh.addQuad(topA, topB, footB, footA);
    }
    return mesh;
}

MeshBuilder Shapes::rock(int subdivisions, std::uint32_t seed)
{
    std::vector<glm::vec3> points;
    std::vector<std::array<std::uint32_t, 3>> faces;
    icosphere(subdivisions, points, faces);
    const Noise noise(seed);
    for (glm::vec3& p : points) {
        const float bump = noise.gradient(p.x * 1.5f + 9.0f, p.y * 1.5f + 9.0f, 64, 64) * 0.22f +
                           noise.gradient(p.y * 3.0f + 3.0f, p.z * 3.0f + 3.0f, 64, 64) * 0.12f +
                           noise.gradient(p.z * 6.0f + 5.0f, p.x * 6.0f + 5.0f, 64, 64) * 0.05f;
        p *= 1.0f + bump;
        p.y = std::max(p.y, -0.35f);  // sits flat, partly sunk into the ground
    }
    std::vector<glm::vec3> normals(points.size(), glm::vec3(0.0f));
    for (const auto& f : faces) {
        const glm::vec3 n = glm::cross(points[f[1]] - points[f[0]], points[f[2]] - points[f[0]]);
        for (std::uint32_t i : f)
            normals[i] += n;
    }
    MeshBuilder mesh;
    for (const auto& f : faces) {
        const glm::vec3 fn = glm::cross(points[f[1]] - points[f[0]], points[f[2]] - points[f[0]]);
        std::uint32_t idx[3];
        for (int i = 0; i < 3; ++i)
            idx[i] = mesh.addVertex(points[f[i]], normals[f[i]], planarUv(points[f[i]], fn));
        mesh.addTriangle(idx[0], idx[1], idx[2]);
    }
    return mesh;
}

glm::mat4 Shapes::alongSegment(const glm::vec3& a, const glm::vec3& b)
{
    const glm::vec3 axis = glm::normalize(b - a);
    const glm::vec3 y(0.0f, 1.0f, 0.0f);
    glm::mat4 m = glm::translate(glm::mat4(1.0f), a);
    const float c = glm::dot(y, axis);
    if (c < -0.9999f)
        return glm::rotate(m, glm::pi<float>(), glm::vec3(1, 0, 0));
    if (c > 0.9999f)
        return m;
    const glm::vec3 r = glm::normalize(glm::cross(y, axis));
    return glm::rotate(m, std::acos(c), r);
}

}  // namespace tolvane::content
