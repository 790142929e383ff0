#include "ContentGenerator.h"

#include "CameraPathWriter.h"
#include "ContentStamp.h"
#include "FbxExporter.h"
#include "FlightPlan.h"
#include "FlightSampler.h"
#include "FontInstaller.h"
#include "GroundCover.h"
#include "HutBuilder.h"
#include "Layout.h"
#include "Mp3Writer.h"
#include "MusicSynth.h"
#include "PropsBuilder.h"
#include "SceneModel.h"
#include "SkyDome.h"
#include "Terrain.h"
#include "TextureCatalog.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <sstream>

namespace tolvane::content {
namespace {

namespace fs = std::filesystem;

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class Stopwatch {
public:
    double seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace

ContentGenerator::ContentGenerator(GeneratorOptions options) : options_(std::move(options)) {}

std::string ContentGenerator::staged(const char* runRelative)
{
    return (std::filesystem::path(kRunDir) / runRelative).lexically_normal().string();
}

std::string ContentGenerator::stage(const std::string& relative) const
{
    return options_.stageRoot + "/" + relative;
}

std::vector<std::string> ContentGenerator::outputs() const
{
    std::vector<std::string> files = {staged(kModelFile), staged(kMusicFile), std::string(kRunDir) + "/Config.ini"};
    for (const char* path : kCameraPathFiles)
        files.push_back(staged(path));
    for (const auto& font : FontInstaller::fonts())
        files.push_back(std::string(kRunDir) + "/Fonts/" + font.target);
    for (const std::string& name : TextureCatalog::materialTextures()) {
        files.push_back("Textures/" + name + ".png");
        files.push_back("Textures/" + name + "_nm.png");
    }
    for (const std::string& file : TextureCatalog::spriteFiles())
        files.push_back("Textures/" + file);
    return files;
}

std::uint64_t ContentGenerator::inputHash() const
{
    std::vector<std::string> inputs = {"/proc/self/exe", options_.dataDir + "/camera_flights.txt"};
    for (const auto& font : FontInstaller::fonts()) {
        inputs.push_back(font.source);
        inputs.push_back(font.copyright);
    }
    return ContentStamp::hashFiles(inputs);
}

bool ContentGenerator::run()
{
    const ContentStamp stamp(stage(".tolvane-content-stamp"));
    const std::uint64_t hash = inputHash();
    bool complete = true;
    for (const std::string& file : outputs())
        complete = complete && fs::exists(stage(file));
    if (!options_.force && complete && stamp.matches(hash)) {
        std::cout << "Content in " << options_.stageRoot << " is up to date.\n";
        return false;
    }
    const Stopwatch total;
    for (const char* dir : {"Tolvane/Fonts", "Models", "Textures", "Music"})
        fs::create_directories(stage(dir));
    const std::vector<glm::vec3> camera = writeFlights();
    const float flight = static_cast<float>(flightSteps_) / kSlowestStepsPerSecond;
    auto soundAndModel = std::async(std::launch::async, [this, flight, &camera] {
        writeMusic(flight + kCreditsSeconds);
        writeModel(camera);
    });
    TextureCatalog::writeAll(stage("Textures"), std::max(1u, options_.threads - 1));
    soundAndModel.get();
    writeConfig();
    FontInstaller::install(stage(std::string(kRunDir) + "/Fonts"));
    stamp.write(hash);
    std::cout << "Generated content in " << total.seconds() << " s.\n";
    return true;
}

std::vector<glm::vec3> ContentGenerator::writeFlights()
{
    const auto plans = FlightPlan::parse(readText(options_.dataDir + "/camera_flights.txt"));
    std::vector<glm::vec3> positions;
    flightSteps_ = 0;
    for (const FlightPlan& plan : plans) {
        const auto elements = FlightSampler::sample(plan);
        CameraPathWriter::write(elements, plan.playedBackward, stage(std::string(kRunDir) + "/" + plan.file));
        flightSteps_ += elements.size() + 1;  // switching to the next path takes a step
        for (const PathElement& e : elements)
            if (e.name == "spline_position")
                positions.push_back(e.position);
        std::cout << plan.file << ": " << elements.size() << " elements\n";
    }
    std::cout << "Flight: " << flightSteps_ << " steps, " << flightSteps_ / 50.0 << " s at 50 steps per second.\n";
    return positions;
}

void ContentGenerator::writeModel(const std::vector<glm::vec3>& cameraPositions) const
{
    SceneModel model;
    HutBuilder().build(model);
    const PropsBuilder props(cameraPositions);
    props.build(model);
    for (int part = 0; part < SkyDome::kParts; ++part) {
        const std::string name = "sky_" + std::to_string(part);
        model.part(name, "night_sky_" + std::to_string(part), SkyDome::kEmission)
            .append(SkyDome::build(96 / SkyDome::kParts, 22, part));
        model.setSelfLit(name);
    }
    model.part("moon", "moon", SkyDome::kMoonEmission).append(SkyDome::moon(32));
    model.setSelfLit("moon");
    // The terrain's grid takes up what the triangle budget leaves.
    const double left = static_cast<double>(kTriangleTarget) - static_cast<double>(model.triangleCount());
    const int cells = static_cast<int>(std::lround(std::sqrt(std::max(left, 2.0) / 2.0)));
    const GroundCover cover(props.treeSites(), PropsBuilder::walkedPath());
    const std::vector<MeshBuilder> tiles = Terrain::build(cells, kTerrainTiles, cover);
    std::cout << "Terrain: " << cells << " cells a side, "
              << 2.0f * layout::kTerrainHalfSize / static_cast<float>(cells) << " m each.\n";
    for (std::size_t t = 0; t < tiles.size(); ++t)
        model.part("terrain_" + std::to_string(t), "ground").append(tiles[t]);
    FbxExporter::write(model, stage(staged(kModelFile)), "../Textures/");
    std::cout << "Model: " << model.parts().size() << " meshes, " << model.triangleCount() << " triangles.\n";
}

void ContentGenerator::writeMusic(float seconds) const
{
    const StereoBuffer music = MusicSynth::compose(seconds);
    Mp3Writer::write(music, stage(staged(kMusicFile)));
    std::cout << "Music: " << static_cast<double>(music.frames()) / 44100.0 << " s.\n";
}

void ContentGenerator::writeConfig() const
{
    std::ofstream out(stage(std::string(kRunDir) + "/Config.ini"), std::ios::binary);
    out << "fullscreen=0\nwidth=1024\nheight=600\nrefresh_rate=0\nambient=0.1\nintensity=1.0\n";
    if (!out)
        throw std::runtime_error("could not write Config.ini");
}

}  // namespace tolvane::content
