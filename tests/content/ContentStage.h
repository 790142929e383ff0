#pragma once
#include <assimp/scene.h>
#include <glm/vec3.hpp>

#include <array>
#include <functional>
#include <string>
#include <vector>

// Access to the generated stage shared by the content tests.
namespace content_test {

std::string stageDir();
std::string runDir();  // the demo's working directory inside the stage
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);

// The model as the demo imports it (same post-processing flags), parsed once.
const aiScene& model();
std::string materialName(const aiMesh& mesh);
// The ground comes in tiles, one mesh each.
bool isTerrain(const aiMesh& mesh);
// The sky's slices and the moon in front of them.
bool isSky(const aiMesh& mesh);
bool isSkyMaterial(const std::string& name);
// The brightest channel of a mesh's emissive colour, 0 when it has none.
float emissionOf(const aiMesh& mesh);
std::string diffusePath(const aiMesh& mesh);  // as stored, relative to runDir()
std::string normalMapPath(const std::string& diffuse);

struct Box {
    glm::vec3 min{1e30f};
    glm::vec3 max{-1e30f};
    void add(const glm::vec3& p);
    bool contains(const glm::vec3& p, float margin) const;
};
Box boundsOfMeshes(const std::string& materialPrefix);

// The triangles of every mesh that `keep` accepts, as the model stores them.
using Triangle = std::array<glm::vec3, 3>;
std::vector<Triangle> trianglesOf(const std::function<bool(const aiMesh&)>& keep);

// A camera-path element as the demo reads it.
struct PathElement {
    std::string name;
    glm::vec3 position{0.0f};
};

// The four camera paths in playing order: the first three from their first
// element, the fourth from its last, as the demo loads them.
const std::vector<std::vector<PathElement>>& playedPaths();

// Steps the whole flight takes: one per element, one per path switch.
std::size_t flightSteps();

// Where the demo puts its flames and the camp fire.
constexpr glm::vec3 kTorchFlameA(-1.384822f, 1.367798f, 0.000135755f);
constexpr glm::vec3 kTorchFlameB(-3.157109f, 2.458664f, -1.869101f);
constexpr glm::vec3 kFireEmitter(-6.469789f, 0.5f, -6.481397f);

}  // namespace content_test
