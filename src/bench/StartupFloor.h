#pragma once

#include <string>
#include <vector>

namespace tolvane {

// The least the demo's start-up can take on this machine: the model's import
// with the flags the loader uses, then one decode of every distinct image
// file the start-up loads (the model's colour textures and normal maps, and
// `sceneTextures`), without uploads, meshes, shaders or window. Timed alone,
// in the same process as the start-up it is compared with.
class StartupFloor {
public:
    // Milliseconds; a file that cannot be read still counts its attempt.
    static double measure(const std::string& modelFile, const std::vector<std::string>& sceneTextures);

    // The distinct image files named by the model's materials (colour and
    // "_nm." normal map, the neutral texture where none is named) followed by
    // `sceneTextures`, each once, in first-seen order.
    static std::vector<std::string> imageFiles(const std::vector<std::string>& modelTextures,
                                               const std::vector<std::string>& sceneTextures);
};

}  // namespace tolvane
