#include "TextureCatalog.h"

#include "ImageWriter.h"
#include "NatureTextures.h"
#include "NormalMapper.h"
#include "SkyDome.h"
#include "SpriteTextures.h"
#include "WoodTextures.h"

#include <atomic>
#include <functional>
#include <map>
#include <stdexcept>
#include <thread>

namespace tolvane::content {
namespace {

using Recipe = std::function<SurfaceTexture()>;

WoodPalette palette(glm::vec3 light, glm::vec3 dark, glm::vec3 bark, float barkCover, float charring,
                    std::uint32_t seed)
{
    WoodPalette p;
    p.light = light;
    p.dark = dark;
    p.bark = bark;
    p.barkCover = barkCover;
    p.charring = charring;
    p.seed = seed;
    return p;
}

const std::map<std::string, Recipe>& recipes()
{
    static const std::map<std::string, Recipe> table = {
        {"hut_wall",
         [] {
             return WoodTextures::logAtlas(
                 1024, palette({0.5f, 0.34f, 0.2f}, {0.25f, 0.15f, 0.08f}, {0.2f, 0.15f, 0.1f}, 0.15f, 0.0f, 101));
         }},
        {"firewood",
         [] {
             return WoodTextures::logAtlas(
                 512, palette({0.62f, 0.48f, 0.3f}, {0.38f, 0.26f, 0.14f}, {0.22f, 0.17f, 0.12f}, 0.8f, 0.0f, 102));
         }},
        {"charred",
         [] {
             return WoodTextures::logAtlas(
                 512, palette({0.4f, 0.28f, 0.16f}, {0.2f, 0.12f, 0.06f}, {0.15f, 0.12f, 0.09f}, 0.5f, 0.75f, 103));
         }},
        {"bark",
         [] {
             return WoodTextures::logAtlas(
                 512, palette({0.45f, 0.32f, 0.2f}, {0.25f, 0.16f, 0.1f}, {0.26f, 0.2f, 0.15f}, 1.0f, 0.0f, 104));
         }},
        {"fence",
         [] {
             return WoodTextures::logAtlas(
                 512, palette({0.3f, 0.26f, 0.21f}, {0.16f, 0.13f, 0.1f}, {0.14f, 0.11f, 0.08f}, 0.3f, 0.0f, 105));
         }},
        {"hut_door", [] { return WoodTextures::door(512); }},
        {"hut_window", [] { return WoodTextures::window(256); }},
        {"torch", [] { return WoodTextures::torch(256); }},
        {"ground", [] { return NatureTextures::ground(1024); }},
        {"bare_earth", [] { return NatureTextures::bareEarth(512); }},
        {"hut_thatch", [] { return NatureTextures::thatch(1024); }},
        {"pine", [] { return NatureTextures::pineNeedles(1024); }},
        {"pine_fringe", [] { return NatureTextures::pineFringe(512); }},
        {"stone", [] { return NatureTextures::cobbles(512); }},
        {"rock", [] { return NatureTextures::granite(512); }},
        {"night_sky_0", [] { return SkyDome::picture(1024, 0); }},
        {"night_sky_1", [] { return SkyDome::picture(1024, 1); }},
        {"night_sky_2", [] { return SkyDome::picture(1024, 2); }},
        {"night_sky_3", [] { return SkyDome::picture(1024, 3); }},
        {"moon", [] { return SkyDome::moonPicture(128); }},
    };
    return table;
}

}  // namespace

std::vector<std::string> TextureCatalog::materialTextures()
{
    std::vector<std::string> names;
    for (const auto& entry : recipes())
        names.push_back(entry.first);
    return names;
}

std::vector<std::string> TextureCatalog::spriteFiles()
{
    // white_nm.png is the flat normal map that goes with white.png: the model
    // import falls back to that pair for a material without a texture.
    return {"flame_sprite2.png", "fire-p.png", "smoke.png", "fairydust.tif", "white.png", "white_nm.png"};
}

void TextureCatalog::writeMaterial(const std::string& dir, const std::string& name)
{
    const SurfaceTexture tex = recipes().at(name)();
    ImageWriter::save(tex.colour, dir + "/" + name + ".png",
                      tex.hasHoles ? ImageWriter::Channels::Rgba : ImageWriter::Channels::Rgb);
    ImageWriter::save(NormalMapper::fromHeight(tex.height, tex.bumpStrength), dir + "/" + name + "_nm.png",
                      ImageWriter::Channels::Rgb);
}

void TextureCatalog::writeSprite(const std::string& dir, const std::string& file)
{
    const std::string path = dir + "/" + file;
    using C = ImageWriter::Channels;
    if (file == "flame_sprite2.png")
        ImageWriter::save(SpriteTextures::flameStrip(), path, C::Rgba);
    else if (file == "fire-p.png")
        ImageWriter::save(SpriteTextures::fireParticle(64), path, C::Rgba);
    else if (file == "smoke.png")
        ImageWriter::save(SpriteTextures::smokePuff(128), path, C::Rgba);
    else if (file == "fairydust.tif")
        ImageWriter::save(SpriteTextures::fairyDust(64), path, C::Rgba);
    else if (file == "white.png")
        ImageWriter::save(SpriteTextures::white(16), path, C::Rgb);
    else if (file == "white_nm.png")
        ImageWriter::save(Image(16, 16, glm::vec4(0.5f, 0.5f, 1.0f, 1.0f)), path, C::Rgb);
    else
        throw std::logic_error("no recipe for " + file);
}

void TextureCatalog::writeAll(const std::string& dir, unsigned threads)
{
    // Largest jobs first so that the threads finish at about the same time.
    std::vector<std::function<void()>> jobs;
    jobs.emplace_back([&] { writeSprite(dir, "flame_sprite2.png"); });
    for (const char* big : {"hut_wall", "ground", "hut_thatch"})
        jobs.emplace_back([&dir, big] { writeMaterial(dir, big); });
    for (const std::string& name : materialTextures())
        if (name != "hut_wall" && name != "ground" && name != "hut_thatch")
            jobs.emplace_back([&dir, name] { writeMaterial(dir, name); });
    for (const std::string& file : spriteFiles())
        if (file != "flame_sprite2.png")
            jobs.emplace_back([&dir, file] { writeSprite(dir, file); });

    std::atomic<std::size_t> next{0};
    auto worker = [&] {
        for (std::size_t i = next++; i < jobs.size(); i = next++)
            jobs[i]();
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool)
        t.join();
}

}  // namespace tolvane::content
