#pragma once
#include <map>
#include <string>

namespace tolvane::content {

class SceneModel;

// Writes the model as ASCII FBX through Assimp. (Assimp's binary FBX writer
// produces files its own reader rejects; the ASCII form reads back.)
class FbxExporter {
public:
    // Materials name their colour picture as `textureDir` + texture + ".png".
    static void write(const SceneModel& model, const std::string& path, const std::string& textureDir);

    // The exporter stamps the wall-clock time into the file; replace it with
    // a fixed date so that equal models give equal files.
    static std::string withFixedTimestamps(const std::string& fbxText);

    // The exporter writes a material's emission only as the legacy
    // "Emissive" vector, which readers (Assimp's own among them) pass over
    // for the "EmissiveColor" of FBX 7: each non-black one gains that too.
    static std::string withEmissiveColors(const std::string& fbxText);

    // Nor does it write a specular colour for its (Lambert) materials: the
    // materials named gain a grey one of the given brightness, which readers
    // take for the strength of the surface's highlight.
    static std::string withSpecularColors(const std::string& fbxText, const std::map<std::string, float>& greys);
};

}  // namespace tolvane::content
