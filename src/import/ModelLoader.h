#pragma once

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <glm/vec3.hpp>

#include <map>
#include <memory>
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
// texture and normal map, all drawn with one shared normal-mapping material,
// or its shared variants: alpha-tested where the colour texture has holes,
// self-lit where the material only glows (onlyGlows).
// The loading screen shows the import's progress. The loader keeps the parsed
// scene and the shared material alive for the meshes it made.
class ModelLoader {
public:
    ModelLoader();
    // Releases the material, the geometries and textures of every load and
    // the importer (with the parsed scene and the progress handler). The
    // meshes it made, owned by the caller, must not be drawn afterwards.
    ~ModelLoader();

    ModelLoader(const ModelLoader&) = delete;
    ModelLoader& operator=(const ModelLoader&) = delete;

    // Imports `path` (relative to the working directory) and returns its
    // meshes, last collected first; the caller owns them, and they draw with
    // this loader's material, which every load shares. A file that cannot be
    // imported gives no meshes.
    std::vector<Mesh*> load(const std::string& path);

    // Texture used for a material that names no diffuse texture; its normal
    // map (by the "_nm." rule) is flat.
    static constexpr const char* kNeutralTexture = "../Textures/white.png";

    // Tangents for normal mapping, shared vertices, triangles only, and every
    // node transform baked into the vertices so the node walk needs no matrices.
    static constexpr unsigned kImportFlags = aiProcess_CalcTangentSpace | aiProcess_JoinIdenticalVertices |
                                             aiProcess_Triangulate | aiProcess_PreTransformVertices |
                                             aiProcess_SortByPType;

    std::vector<ModelGeometry*> geometries;          // owned; one per usable mesh not yet made, traversal order
    std::vector<unsigned> geometryMaterials;         // material index of each geometry
    std::vector<std::string> texturePaths;           // diffuse path per material
    std::vector<std::string> normalMapPaths;         // normal-map path per material
    std::vector<glm::vec3> emissions;                // emissive colour per material (Mesh::emission)
    std::vector<float> highlights;                   // specular share per material (Mesh::highlight)
    std::vector<bool> glowsOnly;                     // per material: drawn without lights (onlyGlows)
    int meshCounter = 0;                             // meshes met in the current load
    Material* normalMapMaterial = nullptr;           // owned; shared by every mesh of every load
    Material* alphaTestedMaterial = nullptr;         // owned; the same, alpha-tested; made with the first such mesh
    Material* selfLitMaterial = nullptr;             // owned; the same, self-lit; made with the first such mesh
    Material* selfLitAlphaTestedMaterial = nullptr;  // owned; self-lit and alpha-tested; likewise
    DisplayProgressHandler* progressHandler;         // owned by the importer
    // Not owned; when set, the model's textures are decoded on its worker
    // while the import post-processes, instead of one by one afterwards.
    TexturePrefetch* prefetch = nullptr;
    Assimp::Importer importer;

private:
    void createMaterial();
    void importFile(const std::string& path);
    void processNode(const aiNode* node, const aiScene* scene);
    ModelGeometry* processMesh(const aiMesh* mesh);
    void loadTextures(const aiScene* scene);
    void prefetchTextures(const aiScene* scene);
    Mesh* makeMesh(int set, int setCount);
    Texture* sharedTexture(const std::string& path, int unit);
    Material* materialFor(const Texture& colourTexture, bool selfLit);

    std::map<std::string, Texture*> loadedTextures;              // of the current load, by path and unit
    std::vector<std::unique_ptr<ModelGeometry>> madeGeometries;  // of every mesh made
    std::vector<std::unique_ptr<Texture>> madeTextures;          // of every load
};

// The file `material` names as its diffuse texture, as named (relative to
// the working directory); empty when it names none.
std::string diffuseTextureNamedBy(const aiMaterial* material);

// True when `material` only glows: it has an emissive colour and reflects
// no light, its diffuse and specular colours both exactly black. Its meshes
// draw without lights, their colour their emission times their albedo (a
// sky, the moon). A material that names no such colours, or one that is
// not a number, reflects light as every other.
bool onlyGlows(const aiMaterial* material);

// True when the import gave a whole scene: one flagged incomplete (whatever
// other flags it carries) or without a root node cannot be drawn.
bool isComplete(const aiScene* scene);

// The colour texture a mesh of `material` is drawn with: the diffuse
// texture it names, or the neutral texture.
std::string colourTextureOf(const aiMaterial* material);

// The normal-map file of a diffuse texture: its last '.' becomes "_nm.".
// A path without any '.' has no such file; the neutral flat map stands in.
std::string normalMapPathFor(const std::string& diffusePath);

}  // namespace tolvane
