#pragma once

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>

#include <map>
#include <string>
#include <vector>

struct aiMaterial;
struct aiMesh;
struct aiNode;
struct aiScene;

namespace tolvane {

class DisplayProgressHandler;
class Material;
class Mesh;
class ModelGeometry;
class Texture;
class TexturePrefetch;

// Imports a model file into ready-to-draw meshes, each with its own colour
// texture and normal map, all drawn with one shared normal-mapping material.
// The loading screen shows the import's progress. One instance exists
// (modelLoader); it keeps the parsed scene and the shared material alive.
class ModelLoader {
public:
    ModelLoader();
    // Releases the material and the importer (with the parsed scene and the
    // progress handler); the meshes, geometries and textures it made live on.
    ~ModelLoader();

    ModelLoader(const ModelLoader&) = delete;
    ModelLoader& operator=(const ModelLoader&) = delete;

    // Imports `path` (relative to the working directory) through the one
    // modelLoader and returns its meshes, last collected first; the caller
    // owns them. A file that cannot be imported gives no meshes.
    static std::vector<Mesh*> load(std::string path);

    // Texture used for a material that names no diffuse texture; its normal
    // map (by the "_nm." rule) is flat.
    static constexpr const char* kNeutralTexture = "../Textures/white.png";

    // Tangents for normal mapping, shared vertices, triangles only, and every
    // node transform baked into the vertices so the node walk needs no matrices.
    static constexpr unsigned kImportFlags = aiProcess_CalcTangentSpace | aiProcess_JoinIdenticalVertices |
                                             aiProcess_Triangulate | aiProcess_PreTransformVertices |
                                             aiProcess_SortByPType;

    std::vector<ModelGeometry*> geometries;   // one per usable mesh, traversal order
    std::vector<unsigned> geometryMaterials;  // material index of each geometry
    std::vector<std::string> texturePaths;    // diffuse path per material
    std::vector<std::string> normalMapPaths;  // normal-map path per material
    int meshCounter = 0;                      // meshes met in the current load
    Material* normalMapMaterial = nullptr;    // owned; shared by every mesh
    DisplayProgressHandler* progressHandler;  // owned by the importer
    // Not owned; when set, the model's textures are decoded on its worker
    // while the import post-processes, instead of one by one afterwards.
    TexturePrefetch* prefetch = nullptr;
    Assimp::Importer importer;

private:
    std::vector<Mesh*> loadFile(const std::string& path);
    void importFile(const std::string& path);
    void processNode(const aiNode* node, const aiScene* scene);
    ModelGeometry* processMesh(const aiMesh* mesh);
    void loadTextures(const aiScene* scene);
    void prefetchTextures(const aiScene* scene);
    Mesh* makeMesh(int set, int setCount);
    Texture* sharedTexture(const std::string& path, int unit);

    std::map<std::string, Texture*> loadedTextures;  // of the current load, by path and unit
};

// The file `material` names as its diffuse texture, as named (relative to
// the working directory); empty when it names none.
std::string diffuseTextureNamedBy(const aiMaterial* material);

// The colour texture a mesh of `material` is drawn with: the diffuse
// texture it names, or the neutral texture.
std::string colourTextureOf(const aiMaterial* material);

// The normal-map file of a diffuse texture: its last '.' becomes "_nm.".
// A path without any '.' has no such file; the neutral flat map stands in.
std::string normalMapPathFor(const std::string& diffusePath);

// The one model loader of the demo; created by the scene build.
extern ModelLoader* modelLoader;

}  // namespace tolvane
