#pragma once

#include <string>
#include <vector>

namespace tolvane::test {

// One mesh of a small test model: a square in the x-y plane at height y.
struct TestMesh {
    std::string name;
    float y = 0.0f;
    unsigned materialIndex = 0;
    bool withTextureCoordinates = true;
    bool outlineOnly = false;  // its four edges as lines instead of two triangles
};

// Writes a model file with Assimp's ASCII FBX exporter. Each entry of
// `diffusePaths` becomes one material; an empty entry has no diffuse texture.
// Returns false when the export fails.
bool writeTestModel(const std::string& path, const std::vector<TestMesh>& meshes,
                    const std::vector<std::string>& diffusePaths);

// Writes a small solid-colour 24-bit PNG.
bool writeTestPng(const std::string& path, unsigned char r, unsigned char g, unsigned char b);

// The colour of the opaque half of writeHalfClearPng's picture.
inline constexpr unsigned char kCardRed = 40, kCardGreen = 90, kCardBlue = 220;

// Writes a 32 x 32 RGBA PNG of a card with holes: its left half (x < 16)
// clear, alpha 0 over red, its right half opaque kCard* blue.
bool writeHalfClearPng(const std::string& path);

}  // namespace tolvane::test
