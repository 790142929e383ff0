#pragma once
#include "base/ContentLayout.h"

#include <glm/vec3.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace tolvane::content {

struct GeneratorOptions {
    std::string stageRoot;  // receives Tolvane/, Models/, Textures/, Music/
    std::string dataDir;    // the descriptions in tools/contentgen/data
    bool force = false;     // regenerate even when the stamp says current
    unsigned threads = 2;
};

// Produces the complete run-time content of the demo in the staged layout.
class ContentGenerator {
public:
    static constexpr const char* kRunDir = "Tolvane";
    // The demo names its files relative to its run directory: where they lie
    // relative to the stage root.
    static std::string staged(const char* runRelative);
    static constexpr std::size_t kTriangleTarget = 150000;
    // The terrain in kTerrainTiles x kTerrainTiles meshes: a light or a view
    // then draws only the tiles it reaches.
    static constexpr int kTerrainTiles = 6;
    // The music starts with the timeline and is long enough for the slowest
    // usual pace, 30 timeline steps a second (every second frame at 60 Hz),
    // with this much under the credits: they hold while it fades.
    static constexpr float kSlowestStepsPerSecond = 30.0f;
    static constexpr float kCreditsSeconds = 7.0f;

    explicit ContentGenerator(GeneratorOptions options);

    // Returns true when something was generated, false when up to date.
    bool run();

private:
    std::vector<std::string> outputs() const;
    std::uint64_t inputHash() const;
    // Writes the camera paths; returns every camera position they hold.
    std::vector<glm::vec3> writeFlights();
    void writeModel(const std::vector<glm::vec3>& cameraPositions) const;
    void writeMusic(float seconds) const;
    void writeConfig() const;
    std::string stage(const std::string& relative) const;

    GeneratorOptions options_;
    std::size_t flightSteps_ = 0;
};

}  // namespace tolvane::content
