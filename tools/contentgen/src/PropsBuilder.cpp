#include "PropsBuilder.h"

#include "Layout.h"
#include "NatureTextures.h"
#include "Noise.h"
#include "Rng.h"
#include "SceneModel.h"
#include "Shapes.h"
#include "Terrain.h"

#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>

namespace tolvane::content {
namespace {

using namespace layout;

glm::mat4 at(const glm::vec3& p)
{
    return glm::translate(glm::mat4(1.0f), p);
}

glm::vec3 onGround(float x, float z, float lift = 0.0f)
{
    return {x, Terrain::height(x, z) + lift, z};
}

void addLog(MeshBuilder& mesh, glm::vec3 a, glm::vec3 b, float radius, std::uint32_t seed, int segments = 12)
{
    Shapes::LogStyle style;
    style.seed = seed;
    style.segments = segments;
    style.rings = std::max(1, static_cast<int>(glm::length(b - a) / 0.3f));
    style.uvLength = 1.0f;
    mesh.append(Shapes::log(glm::length(b - a), radius, style), Shapes::alongSegment(a, b));
}

// Part of the torch picture: iron, cloth or wood (see WoodTextures::torch).
enum class TorchRegion { Iron, Cloth, Wood };

void addTorchPart(MeshBuilder& mesh, MeshBuilder part, TorchRegion region, const glm::mat4& where)
{
    const float u0 = static_cast<float>(static_cast<int>(region)) / 3.0f;
    part.squeezeU(u0 + 0.01f, u0 + 0.32f);
    mesh.append(part, where);
}

MeshBuilder torchHead(float stickRadius, float top)
{
    return Shapes::lathe({{stickRadius, top - 0.075f},
                          {0.03f, top - 0.06f},
                          {0.033f, top - 0.025f},
                          {0.026f, top - 0.004f},
                          {0.0f, top}},
                         12, 1.0f, 0.1f, 0.08f, 3);
}

}  // namespace

void PropsBuilder::build(SceneModel& model) const
{
    woodpile(model.part("woodpile", "firewood"));
    firePitStones(model.part("firepit_stones", "rock"));
    firePitLogs(model.part("firepit_logs", "charred"));
    // Embers under the logs glow faintly even before the fire is lit.
    firePitEmbers(model.part("firepit_embers", "charred", glm::vec3(2.5f, 1.0f, 0.3f)));
    trodden(model.part("trodden_earth", "bare_earth"));
    benches(model.part("fireside_benches", "firewood"));
    wallTorch(model.part("torch_wall", "torch"));
    poleTorch(model.part("torch_pole", "torch"));
    SectorParts trunkParts(model, "tree_trunks", "bark");
    trunks(trunkParts);
    SectorParts crownParts(model, "tree_crowns", "pine", 0.5f);
    SectorParts fringeParts(model, "tree_fringes", "pine_fringe", 0.25f);
    crowns(crownParts, fringeParts);
    fence(model.part("fence", "fence"));
    SectorParts rockParts(model, "rocks", "rock");
    rocks(rockParts);
}

int PropsBuilder::sectorOf(float x, float z)
{
    const float turn = (std::atan2(z, x) + glm::pi<float>()) / glm::two_pi<float>();
    return std::clamp(static_cast<int>(turn * kSectors), 0, kSectors - 1);
}

PropsBuilder::SectorParts::SectorParts(SceneModel& model, std::string name, std::string texture, float highlight) :
    model_(model),
    name_(std::move(name)),
    texture_(std::move(texture)),
    highlight_(highlight)
{
}

MeshBuilder& PropsBuilder::SectorParts::at(float x, float z)
{
    const int sector = sectorOf(x, z);
    if (parts_[sector] == nullptr) {
        const std::string name = name_ + "_" + std::to_string(sector);
        parts_[sector] = &model_.part(name, texture_);
        model_.setHighlight(name, highlight_);
    }
    return *parts_[sector];
}

void PropsBuilder::woodpile(MeshBuilder& mesh) const
{
    Rng rng(404);
    const float x0 = kWallEast + kLogRadius + 0.07f;
    const float z0 = -1.25f;
    const float z1 = 0.85f;
    const float r = 0.075f;
    for (int row = 0; row < 4; ++row) {
        const float y = r + row * r * 1.72f;
        for (float z = z0 + r + (row % 2) * r; z + r <= z1; z += 2.0f * r) {
            const float len = static_cast<float>(rng.range(0.42f, 0.5f));
            const float shift = static_cast<float>(rng.range(-0.03f, 0.03f));
            const float radius = r * static_cast<float>(rng.range(0.85f, 1.0f));
            addLog(mesh, {x0 + shift, y, z}, {x0 + shift + len, y, z}, radius, rng.nextU64() % 1000, 10);
        }
    }
    for (float z : {z0 - 0.03f, z1 + 0.03f})
        for (float x : {x0 + 0.03f, x0 + 0.45f})
            mesh.append(Shapes::box({0.05f, 0.7f, 0.05f}, 0.5f), at({x, 0.33f, z}));
    // A chopping block in front of the pile.
    Shapes::LogStyle stump;
    stump.segments = 16;
    stump.seed = 9;
    mesh.append(Shapes::log(0.42f, 0.2f, stump), at({2.15f, -0.02f, 1.05f}));
}

void PropsBuilder::firePitStones(MeshBuilder& mesh) const
{
    Rng rng(505);
    const int count = 13;
    for (int i = 0; i < count; ++i) {
        const float a = glm::two_pi<float>() * (i + static_cast<float>(rng.range(-0.15, 0.15))) / count;
        const glm::vec3 p = kFirePit + glm::vec3(std::cos(a), 0.0f, std::sin(a)) * 0.72f;
        const glm::vec3 size(rng.range(0.13, 0.18), rng.range(0.1, 0.15), rng.range(0.12, 0.17));
        const glm::mat4 m = glm::scale(glm::rotate(at(p), -a, glm::vec3(0, 1, 0)), size);
        mesh.append(Shapes::rock(2, 600 + i), m);
    }
}

void PropsBuilder::firePitLogs(MeshBuilder& mesh) const
{
    // The tripod's top reaches into the base of the flames.
    const glm::vec3 top = kFirePit + glm::vec3(0.0f, 0.52f, 0.0f);
    for (int i = 0; i < 6; ++i) {
        const float a = glm::two_pi<float>() * (i + 0.3f) / 6.0f;
        const glm::vec3 foot = kFirePit + glm::vec3(std::cos(a) * 0.4f, 0.02f, std::sin(a) * 0.4f);
        addLog(mesh, foot, glm::mix(foot, top, 1.05f), 0.04f, 700 + i, 10);
    }
    addLog(mesh, kFirePit + glm::vec3(-0.45f, 0.05f, -0.12f), kFirePit + glm::vec3(0.42f, 0.05f, 0.2f), 0.05f, 710);
    addLog(mesh, kFirePit + glm::vec3(-0.1f, 0.05f, 0.42f), kFirePit + glm::vec3(0.18f, 0.05f, -0.4f), 0.045f, 711);
}

void PropsBuilder::firePitEmbers(MeshBuilder& mesh) const
{
    // Ash and embers on the ground inside the ring.
    mesh.append(Shapes::lathe({{0.62f, 0.004f}, {0.45f, 0.012f}, {0.0f, 0.016f}}, 24, 2.0f, 0.3f, 0.1f, 12),
                at(kFirePit));
}

namespace {

// A vertex of trodden earth lying just over the terrain, its picture
// repeating every 1.5 m in world space so that patches join without seams.
std::uint32_t earthVertex(MeshBuilder& mesh, float x, float z, float lift)
{
    return mesh.addVertex(onGround(x, z, lift), glm::vec3(0.0f, 1.0f, 0.0f), glm::vec2(x, -z) / 1.5f);
}

}  // namespace

std::vector<glm::vec2> PropsBuilder::walkedPath()
{
    const float doorX = 0.5f * (kDoorLeft + kDoorRight);
    return {{doorX, kWallSouth + 0.75f},
            {kWallWest - 0.8f, kWallSouth + 0.4f},
            {kTorchFlameB.x + 0.8f, kTorchFlameB.z + 0.4f},
            {kFirePit.x + 1.2f, kFirePit.z + 1.2f}};
}

// Bare earth where people walk: a ragged ring round the fire pit (from
// under the stones out to where the ground starts to roll) and a worn path
// from the door round the hut, past the torch pole, to the fire.
void PropsBuilder::trodden(MeshBuilder& mesh) const
{
    const Noise noise(77);
    constexpr int kRim = 48;
    std::vector<std::uint32_t> inner;
    std::vector<std::uint32_t> outer;
    for (int i = 0; i <= kRim; ++i) {
        const float a = glm::two_pi<float>() * static_cast<float>(i % kRim) / kRim;
        const float ragged = 1.5f + 0.25f * noise.gradient(static_cast<float>(i % kRim) * 0.25f, 0.5f, 12, 12);
        const glm::vec2 d(std::cos(a), std::sin(a));
        inner.push_back(earthVertex(mesh, kFirePit.x + 0.6f * d.x, kFirePit.z + 0.6f * d.y, 0.025f));
        outer.push_back(earthVertex(mesh, kFirePit.x + ragged * d.x, kFirePit.z + ragged * d.y, 0.025f));
    }
    for (std::size_t i = 0; i < kRim; ++i)
        mesh.addQuad(inner[i], inner[i + 1], outer[i + 1], outer[i]);

    const std::vector<glm::vec2> path = walkedPath();
    std::vector<std::uint32_t> left;
    std::vector<std::uint32_t> right;
    float walked = 0.0f;
    for (std::size_t leg = 0; leg + 1 < path.size(); ++leg) {
        const glm::vec2 a = path[leg];
        const glm::vec2 b = path[leg + 1];
        const glm::vec2 along = glm::normalize(b - a);
        const glm::vec2 across(-along.y, along.x);
        const int steps = static_cast<int>(std::ceil(glm::length(b - a) / 0.3f));
        for (int s = leg == 0 ? 0 : 1; s <= steps; ++s) {
            const glm::vec2 p = glm::mix(a, b, static_cast<float>(s) / steps);
            const float half = 0.45f * (1.0f + 0.3f * noise.gradient(walked, 3.5f, 64, 64));
            const float drift = 0.12f * noise.gradient(walked * 0.5f, 7.5f, 64, 64);
            left.push_back(earthVertex(mesh, p.x + across.x * (drift + half), p.y + across.y * (drift + half), 0.015f));
            right.push_back(
                earthVertex(mesh, p.x + across.x * (drift - half), p.y + across.y * (drift - half), 0.015f));
            walked += 0.3f;
        }
    }
    for (std::size_t i = 0; i + 1 < left.size(); ++i)
        mesh.addQuad(left[i], left[i + 1], right[i + 1], right[i]);
}

void PropsBuilder::benches(MeshBuilder& mesh) const
{
    // Lying logs either side of the line from the fire towards the hut.
    const glm::vec3 toHut = glm::normalize(glm::vec3(-2.8f, 0.0f, -2.0f) - kFirePit);
    const glm::vec3 side(-toHut.z, 0.0f, toHut.x);
    int seed = 800;
    for (float s : {-1.0f, 1.0f}) {
        const glm::vec3 centre = kFirePit + side * (1.75f * s) + glm::vec3(0.0f, 0.15f, 0.0f);
        addLog(mesh, centre - toHut * 0.75f, centre + toHut * 0.75f, 0.17f, seed++, 16);
    }
}

void PropsBuilder::wallTorch(MeshBuilder& mesh) const
{
    const glm::vec3 flame = kTorchFlameA;
    const float wall = kWallWest - kLogRadius;
    const float holderY = flame.y - 0.22f;
    const glm::vec3 holder(flame.x, holderY, flame.z);
    addTorchPart(mesh, Shapes::box({0.02f, 0.18f, 0.09f}, 0.0f), TorchRegion::Iron,
                 at({wall - 0.005f, holderY, flame.z}));
    addTorchPart(mesh, Shapes::box({wall - flame.x, 0.022f, 0.022f}, 0.0f), TorchRegion::Iron,
                 at({0.5f * (wall + flame.x), holderY, flame.z}));
    addTorchPart(mesh,
                 Shapes::lathe({{0.026f, -0.02f}, {0.03f, -0.02f}, {0.03f, 0.02f}, {0.026f, 0.02f}}, 12, 1.0f, 0.1f),
                 TorchRegion::Iron, at(holder));
    const float top = flame.y - 0.045f;
    addTorchPart(mesh, Shapes::lathe({{0.0f, top - 0.4f}, {0.017f, top - 0.4f}, {0.02f, top - 0.07f}}, 10, 1.0f, 0.3f),
                 TorchRegion::Wood, at({flame.x, 0.0f, flame.z}));
    addTorchPart(mesh, torchHead(0.02f, top), TorchRegion::Cloth, at({flame.x, 0.0f, flame.z}));
}

void PropsBuilder::poleTorch(MeshBuilder& mesh) const
{
    const glm::vec3 flame = kTorchFlameB;
    const float top = flame.y - 0.045f;
    const glm::vec3 foot(flame.x, 0.0f, flame.z);
    addTorchPart(
        mesh,
        Shapes::lathe({{0.0f, -0.1f}, {0.045f, -0.1f}, {0.04f, 1.2f}, {0.032f, top - 0.1f}}, 12, 1.0f, 0.6f, 0.06f, 21),
        TorchRegion::Wood, at(foot));
    addTorchPart(
        mesh,
        Shapes::lathe({{0.03f, top - 0.14f}, {0.04f, top - 0.12f}, {0.045f, top - 0.07f}, {0.04f, top - 0.07f}}, 12,
                      1.0f, 0.1f),
        TorchRegion::Iron, at(foot));
    addTorchPart(mesh, torchHead(0.032f, top), TorchRegion::Cloth, at(foot));
}

bool PropsBuilder::crowdsCamera(const glm::vec3& site) const
{
    const float top = treeHeight(site) + 1.0f;
    for (const glm::vec3& c : camera_)
        if (c.y < top && std::hypot(c.x - site.x, c.z - site.z) < site.y + 1.0f)
            return true;
    return false;
}

std::vector<glm::vec3> PropsBuilder::treeSites() const
{
    // Three rings, each further out a little taller and more crowded, so
    // that together they close the skyline.
    struct Ring {
        int trees;
        float inner, depth;       // metres from the hut
        float smallest, largest;  // spread of the lowest boughs
    };
    const Ring rings[] = {{44, kTreeRingInner, 4.5f, 1.3f, 2.0f},
                          {56, kTreeRingInner + 5.0f, 4.0f, 1.4f, 2.3f},
                          {68, kTreeRingInner + 9.5f, 3.5f, 1.5f, 2.5f}};
    std::vector<glm::vec3> sites;
    Rng rng(909);
    for (const Ring& ring : rings)
        for (int i = 0; i < ring.trees; ++i) {
            const float a = glm::two_pi<float>() * (i + static_cast<float>(rng.range(-0.3, 0.3))) / ring.trees;
            const float r = ring.inner + static_cast<float>(rng.range(0.0, ring.depth));
            sites.emplace_back(r * std::cos(a), static_cast<float>(rng.range(ring.smallest, ring.largest)),
                               r * std::sin(a));
        }
    // A few pines stand inside the clearing.
    sites.emplace_back(6.2f, 1.5f, -6.0f);
    sites.emplace_back(-9.6f, 1.7f, 3.4f);
    sites.emplace_back(4.6f, 1.3f, 8.6f);
    for (glm::vec3& site : sites) {
        const glm::vec3 outwards = glm::normalize(glm::vec3(site.x, 0.0f, site.z)) * 0.5f;
        for (int tries = 0; tries < 12 && crowdsCamera(site); ++tries)
            site += outwards;
    }
    return sites;
}

void PropsBuilder::trunks(SectorParts& parts) const
{
    std::uint32_t seed = 1000;
    for (const glm::vec3& s : treeSites()) {
        // The trunk ends inside the crown's top tier, short of its tip.
        const float top = 0.85f * treeHeight(s);
        const int sides = isFar(s) ? 6 : 9;
        parts.at(s.x, s.z).append(
            Shapes::lathe({{0.0f, -0.3f}, {0.16f * s.y, -0.3f}, {0.12f * s.y, 1.0f}, {0.05f, top}, {0.0f, top + 0.2f}},
                          sides, 2.0f, 1.5f, 0.08f, seed++),
            at(onGround(s.x, s.z)));
    }
}

namespace {

// How a crown's tiers are laid out: `overlap` is a tier's height over the
// spacing between tiers; `droop`, how far its branch tips hang, over its
// reach.
struct CrownStyle {
    int tiers;
    int branches;
    float overlap;
    float droop;
};
// The first ring and the clearing: full, layered pines that hold the
// hanging needles. The far rings: more, thinner tiers with deep notches
// between them, so the skyline is a row of ragged spires.
constexpr CrownStyle kNearCrown{8, 11, 1.1f, 0.4f};
constexpr CrownStyle kFarCrown{9, 6, 0.85f, 0.65f};

// A tier's reach over the tree's spread at height fraction `t`: far pines
// are slender spires above and spread wide at the foot, so the skyline dips
// deep between their tips while their lowest boughs close the gaps beneath.
float tierReach(bool far, float t)
{
    const float taper = 1.0f - 0.8f * t;
    return far ? taper * (0.38f + 0.55f * (1.0f - t) * (1.0f - t) * (1.0f - t)) : 0.85f * taper;
}

}  // namespace

// Tiers of drooping, ragged boughs, overlapping so that no trunk shows
// between them; coarser on the far rings, where a bough is a few pixels
// wide.
void PropsBuilder::crowns(SectorParts& parts, SectorParts& fringes) const
{
    constexpr int kHues = NatureTextures::kPineHues;
    Rng rng(1111);
    Rng hues(1212);
    std::uint32_t seed = 2000;
    for (const glm::vec3& s : treeSites()) {
        const float height = treeHeight(s);
        const bool far = isFar(s);
        const CrownStyle& style = far ? kFarCrown : kNearCrown;
        const int tiers = style.tiers;
        const int hue = static_cast<int>(hues.nextU64() % kHues);
        for (int k = 0; k < tiers; ++k) {
            const float t = static_cast<float>(k) / tiers;
            const float bottom = 0.9f + t * (height - 1.6f);
            const float radius =
                s.y * tierReach(far, t) * static_cast<float>(far ? rng.range(0.8, 1.25) : rng.range(0.85, 1.15));
            // A far pine's top tier runs up into a spire.
            const float tierHeight =
                far && k == tiers - 1 ? height + 0.4f - bottom : (height - 0.6f) / tiers * style.overlap;
            const glm::mat4 place = glm::rotate(glm::translate(at(onGround(s.x, s.z)), glm::vec3(0.0f, bottom, 0.0f)),
                                                static_cast<float>(rng.range(0.0, 6.28)), glm::vec3(0, 1, 0));
            // A margin keeps mipmaps from mixing a neighbouring band into the
            // rims and the apex.
            const float v0 = (hue + 0.04f) / kHues;
            const float v1 = (hue + 0.96f) / kHues;
            MeshBuilder tier = Shapes::pineTier(style.branches, radius, tierHeight, style.droop * radius, seed);
            tier.squeezeV(v0, v1);
            parts.at(s.x, s.z).append(tier, place);
            // Beyond the first ring the needles would be a pixel or two,
            // paid for in every pass.
            if (!far) {
                MeshBuilder fringe =
                    Shapes::pineFringe(style.branches, radius, tierHeight, style.droop * radius, 0.25f * radius, seed);
                fringe.squeezeV(v0, v1);
                fringes.at(s.x, s.z).append(fringe, place);
            }
            ++seed;
        }
    }
}

float PropsBuilder::treeHeight(const glm::vec3& site)
{
    // Beyond the first ring heights vary widely, so that the skyline dips
    // deep between the tips instead of running along one level.
    if (!isFar(site))
        return site.y * 4.2f;
    const float spread = 0.5f + 0.5f * std::sin(site.x * 12.9898f + site.z * 78.233f);
    return site.y * 4.2f * (0.5f + 1.3f * spread);
}

bool PropsBuilder::isFar(const glm::vec3& site)
{
    return std::hypot(site.x, site.z) > kTreeRingInner + 4.75f;
}

void PropsBuilder::fence(MeshBuilder& mesh) const
{
    const float radius = 5.6f;
    const int posts = 7;
    const float a0 = glm::radians(12.0f);
    const float a1 = glm::radians(72.0f);
    std::vector<glm::vec3> feet;
    for (int i = 0; i < posts; ++i) {
        const float a = a0 + (a1 - a0) * i / (posts - 1);
        feet.push_back(onGround(radius * std::cos(a), radius * std::sin(a), -0.1f));
        addLog(mesh, feet.back(), feet.back() + glm::vec3(0.0f, 1.1f, 0.0f), 0.055f, 1500 + i, 10);
    }
    for (int i = 0; i + 1 < posts; ++i)
        for (float h : {0.5f, 0.9f})
            addLog(mesh, feet[i] + glm::vec3(0.0f, h, 0.0f), feet[i + 1] + glm::vec3(0.0f, h + 0.03f, 0.0f), 0.04f,
                   1600 + i, 10);
}

void PropsBuilder::rocks(SectorParts& parts) const
{
    struct Boulder {
        float x, z, size, squash;
    };
    const Boulder boulders[] = {{3.7f, -3.4f, 0.45f, 0.7f},  {-4.6f, 3.4f, 0.35f, 0.6f},  {7.2f, 1.6f, 0.6f, 0.7f},
                                {-7.9f, -2.2f, 0.5f, 0.65f}, {1.8f, -7.8f, 0.55f, 0.6f},  {-2.8f, -9.2f, 0.4f, 0.7f},
                                {8.6f, -6.6f, 0.7f, 0.6f},   {-9.8f, -5.8f, 0.45f, 0.7f}, {-6.2f, 7.6f, 0.6f, 0.6f},
                                {2.6f, 3.4f, 0.22f, 0.6f},   {-2.3f, 2.3f, 0.18f, 0.7f},  {9.6f, 4.8f, 0.5f, 0.7f}};
    std::uint32_t seed = 3000;
    for (const Boulder& b : boulders) {
        const glm::mat4 m = glm::scale(glm::rotate(at(onGround(b.x, b.z)), b.x * 1.7f, glm::vec3(0, 1, 0)),
                                       glm::vec3(b.size * 1.2f, b.size * b.squash, b.size));
        parts.at(b.x, b.z).append(Shapes::rock(3, seed++), m);
    }
    // Stones wedged around the foot of the torch pole.
    for (int i = 0; i < 4; ++i) {
        const float a = 1.6f * i;
        const glm::vec3 p(kTorchFlameB.x + 0.13f * std::cos(a), 0.0f, kTorchFlameB.z + 0.13f * std::sin(a));
        parts.at(p.x, p.z).append(Shapes::rock(2, seed++), glm::scale(at(p), glm::vec3(0.09f, 0.07f, 0.08f)));
    }
}

}  // namespace tolvane::content
