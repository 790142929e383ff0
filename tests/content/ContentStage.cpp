#include "ContentStage.h"

#include <assimp/Exporter.hpp>
#include <assimp/Importer.hpp>
#include <glm/common.hpp>
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <algorithm>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace content_test {

std::string stageDir()
{
    const char* env = std::getenv("TOLVANE_STAGE");
    return env && *env ? env : TOLVANE_DEFAULT_STAGE;
}

std::string runDir()
{
    return stageDir() + "/Tolvane";
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool fileExists(const std::string& path)
{
    return std::ifstream(path).good();
}

namespace {

// Parsing the 20 MB ASCII model takes seconds and every test runs in its
// own process, so the first one leaves the imported scene as an Assimp
// binary dump, named after the model's size and time, for the others.
std::string cachedImportPath(const std::string& modelPath)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(modelPath, error);
    const auto time = std::filesystem::last_write_time(modelPath, error).time_since_epoch().count();
    if (error)
        return {};
    const std::string key =
        std::to_string(std::hash<std::string>()(modelPath)) + "-" + std::to_string(size) + "-" + std::to_string(time);
    return (std::filesystem::temp_directory_path() / ("tolvane-model-" + key + ".assbin")).string();
}

// Writes under a private name first: tests may run in parallel.
void storeCache(const aiScene& scene, const std::string& cache)
{
    namespace fs = std::filesystem;
    const std::string part = cache + "." + std::to_string(::getpid());
    Assimp::Exporter exporter;
    std::error_code ignored;
    if (exporter.Export(&scene, "assbin", part) == AI_SUCCESS)
        fs::rename(part, cache, ignored);
    // Dumps of earlier versions of the model are of no further use.
    for (const auto& entry : fs::directory_iterator(fs::path(cache).parent_path(), ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("tolvane-model-", 0) == 0 && entry.path() != fs::path(cache) &&
            name.find(std::to_string(std::hash<std::string>()(stageDir() + "/Models/hut_150k_scaled_w.fbx"))) !=
                std::string::npos)
            fs::remove(entry.path(), ignored);
    }
}

}  // namespace

const aiScene& model()
{
    static std::unique_ptr<Assimp::Importer> importer;
    if (!importer) {
        importer = std::make_unique<Assimp::Importer>();
        const std::string path = stageDir() + "/Models/hut_150k_scaled_w.fbx";
        const std::string cache = cachedImportPath(path);
        if (cache.empty() || !fileExists(cache) || !importer->ReadFile(cache, 0)) {
            // Tangent space, joined vertices, triangulation, pre-transformed
            // vertices, sorting by primitive type: what the demo asks for.
            const aiScene* scene = importer->ReadFile(path, 0x810B);
            if (scene && !cache.empty())
                storeCache(*scene, cache);
        }
    }
    const aiScene* scene = importer->GetScene();
    if (!scene || scene->mFlags == AI_SCENE_FLAGS_INCOMPLETE || !scene->mRootNode)
        throw std::runtime_error(std::string("model import failed: ") + importer->GetErrorString());
    return *scene;
}

std::string materialName(const aiMesh& mesh)
{
    aiString name;
    model().mMaterials[mesh.mMaterialIndex]->Get(AI_MATKEY_NAME, name);
    return name.C_Str();
}

bool isTerrain(const aiMesh& mesh)
{
    return materialName(mesh).rfind("terrain_", 0) == 0;
}

bool isSkyMaterial(const std::string& name)
{
    return name.rfind("sky_", 0) == 0 || name == "moon";
}

bool isSky(const aiMesh& mesh)
{
    return isSkyMaterial(materialName(mesh));
}

float emissionOf(const aiMesh& mesh)
{
    aiColor3D emissive(0.0f, 0.0f, 0.0f);
    model().mMaterials[mesh.mMaterialIndex]->Get(AI_MATKEY_COLOR_EMISSIVE, emissive);
    return std::max({emissive.r, emissive.g, emissive.b});
}

std::string diffusePath(const aiMesh& mesh)
{
    aiString path;
    aiGetMaterialTexture(model().mMaterials[mesh.mMaterialIndex], aiTextureType_DIFFUSE, 0, &path);
    return path.C_Str();
}

std::string normalMapPath(const std::string& diffuse)
{
    const std::size_t dot = diffuse.rfind('.');
    return dot == std::string::npos ? std::string() : diffuse.substr(0, dot) + "_nm." + diffuse.substr(dot + 1);
}

void Box::add(const glm::vec3& p)
{
    min = glm::min(min, p);
    max = glm::max(max, p);
}

bool Box::contains(const glm::vec3& p, float margin) const
{
    return p.x > min.x - margin && p.y > min.y - margin && p.z > min.z - margin && p.x < max.x + margin &&
           p.y < max.y + margin && p.z < max.z + margin;
}

Box boundsOfMeshes(const std::string& materialPrefix)
{
    Box box;
    const aiScene& scene = model();
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh& mesh = *scene.mMeshes[m];
        if (materialName(mesh).rfind(materialPrefix, 0) != 0)
            continue;
        for (unsigned v = 0; v < mesh.mNumVertices; ++v)
            box.add({mesh.mVertices[v].x, mesh.mVertices[v].y, mesh.mVertices[v].z});
    }
    return box;
}

std::vector<Triangle> trianglesOf(const std::function<bool(const aiMesh&)>& keep)
{
    std::vector<Triangle> triangles;
    const aiScene& scene = model();
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh& mesh = *scene.mMeshes[m];
        if (!keep(mesh))
            continue;
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            Triangle t;
            for (int i = 0; i < 3; ++i) {
                const aiVector3D& v = mesh.mVertices[mesh.mFaces[f].mIndices[i]];
                t[i] = {v.x, v.y, v.z};
            }
            triangles.push_back(t);
        }
    }
    return triangles;
}

namespace {

std::vector<PathElement> readPath(const std::string& file, bool reverse)
{
    std::vector<PathElement> elements;
    tinyxml2::XMLDocument doc;
    if (doc.LoadFile(file.c_str()) != tinyxml2::XML_SUCCESS)
        return elements;
    const auto* editor = doc.FirstChildElement("spline_editor");
    const auto* spline = editor ? editor->FirstChildElement("spline") : nullptr;
    const auto* array = spline ? spline->FirstChildElement("spline_point_array") : nullptr;
    for (const auto* e = array ? array->FirstChildElement() : nullptr; e; e = e->NextSiblingElement()) {
        PathElement element{e->Name(), glm::vec3(0.0f)};
        if (element.name == "spline_position")
            element.position = {e->FloatAttribute("x"), e->FloatAttribute("y"), e->FloatAttribute("z")};
        elements.push_back(element);
    }
    // The demo hands records out from the back of its list; with reverse
    // set the list is reversed first, so the file plays front to back.
    if (!reverse)
        std::reverse(elements.begin(), elements.end());
    return elements;
}

}  // namespace

const std::vector<std::vector<PathElement>>& playedPaths()
{
    static const std::vector<std::vector<PathElement>> paths = {
        readPath(runDir() + "/campath1.xml", true), readPath(runDir() + "/campath2.xml", true),
        readPath(runDir() + "/campath3.xml", true), readPath(runDir() + "/campath4.xml", false)};
    return paths;
}

std::size_t flightSteps()
{
    std::size_t steps = 0;
    for (const auto& path : playedPaths())
        steps += path.size() + 1;
    return steps;
}

}  // namespace content_test
