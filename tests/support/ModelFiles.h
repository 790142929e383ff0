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

}  // namespace tolvane::test
