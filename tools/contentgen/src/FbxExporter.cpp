#include "FbxExporter.h"

#include "SceneModel.h"

#include <assimp/Exporter.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>

#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace tolvane::content {
namespace {

aiMesh* toMesh(const ModelPart& part, unsigned materialIndex)
{
    const auto& vertices = part.mesh.vertices();
    const auto& indices = part.mesh.indices();
    auto* mesh = new aiMesh();
    mesh->mName = part.name;
    mesh->mMaterialIndex = materialIndex;
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    mesh->mNumVertices = static_cast<unsigned>(vertices.size());
    mesh->mVertices = new aiVector3D[vertices.size()];
    mesh->mNormals = new aiVector3D[vertices.size()];
    mesh->mTextureCoords[0] = new aiVector3D[vertices.size()];
    mesh->mNumUVComponents[0] = 2;
    const bool tinted = part.mesh.isTinted();
    if (tinted)
        mesh->mColors[0] = new aiColor4D[vertices.size()];
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const Vertex& v = vertices[i];
        mesh->mVertices[i] = aiVector3D(v.position.x, v.position.y, v.position.z);
        mesh->mNormals[i] = aiVector3D(v.normal.x, v.normal.y, v.normal.z);
        mesh->mTextureCoords[0][i] = aiVector3D(v.uv.x, v.uv.y, 0.0f);
        if (tinted)
            mesh->mColors[0][i] = aiColor4D(v.tint.r, v.tint.g, v.tint.b, 1.0f);
    }
    mesh->mNumFaces = static_cast<unsigned>(indices.size() / 3);
    mesh->mFaces = new aiFace[mesh->mNumFaces];
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        aiFace& face = mesh->mFaces[f];
        face.mNumIndices = 3;
        face.mIndices = new unsigned[3]{indices[3 * f], indices[3 * f + 1], indices[3 * f + 2]};
    }
    return mesh;
}

aiMaterial* toMaterial(const ModelPart& part, const std::string& textureDir)
{
    auto* material = new aiMaterial();
    const aiString name(part.name);
    material->AddProperty(&name, AI_MATKEY_NAME);
    const aiColor3D diffuse = part.selfLit ? aiColor3D(0.0f, 0.0f, 0.0f) : aiColor3D(1.0f, 1.0f, 1.0f);
    material->AddProperty(&diffuse, 1, AI_MATKEY_COLOR_DIFFUSE);
    const aiString file(textureDir + part.texture + ".png");
    material->AddProperty(&file, AI_MATKEY_TEXTURE_DIFFUSE(0));
    if (part.emission != glm::vec3(0.0f)) {
        const aiColor3D emissive(part.emission.r, part.emission.g, part.emission.b);
        material->AddProperty(&emissive, 1, AI_MATKEY_COLOR_EMISSIVE);
    }
    return material;
}

std::unique_ptr<aiScene> toScene(const SceneModel& model, const std::string& textureDir)
{
    auto scene = std::make_unique<aiScene>();
    const auto& parts = model.parts();
    const auto count = static_cast<unsigned>(parts.size());
    scene->mRootNode = new aiNode("tolvane_clearing");
    scene->mNumMeshes = scene->mNumMaterials = count;
    scene->mMeshes = new aiMesh*[count];
    scene->mMaterials = new aiMaterial*[count];
    scene->mRootNode->mNumChildren = count;
    scene->mRootNode->mChildren = new aiNode*[count];
    for (unsigned i = 0; i < count; ++i) {
        scene->mMeshes[i] = toMesh(parts[i], i);
        scene->mMaterials[i] = toMaterial(parts[i], textureDir);
        auto* node = new aiNode(parts[i].name);
        node->mParent = scene->mRootNode;
        node->mNumMeshes = 1;
        node->mMeshes = new unsigned[1]{i};
        scene->mRootNode->mChildren[i] = node;
    }
    return scene;
}

// The text with what `added` returns for each line (whole lines, each ending
// in a newline, or nothing) inserted right after it.
std::string withLinesAdded(const std::string& text, const std::function<std::string(const std::string&)>& added)
{
    std::istringstream in(text);
    std::string out;
    out.reserve(text.size());
    std::string line;
    while (std::getline(in, line)) {
        out += line;
        out += '\n';
        out += added(line);
    }
    if (!text.empty() && text.back() != '\n')
        out.pop_back();
    return out;
}

}  // namespace

std::string FbxExporter::withFixedTimestamps(const std::string& fbxText)
{
    // The stamp is one block near the top of the header:
    //   CreationTimeStamp:  { Version: 1000  Year: 2024  Month: 5 ... }
    const std::size_t start = fbxText.find("CreationTimeStamp:");
    if (start == std::string::npos)
        return fbxText;
    const std::size_t end = fbxText.find('}', start);
    std::istringstream block(fbxText.substr(start, end - start));
    std::ostringstream fixed;
    std::string line;
    bool first = true;
    while (std::getline(block, line)) {
        const std::size_t colon = line.find(':');
        const std::string key = line.substr(0, colon);
        const bool isDate =
            key.find("Version") == std::string::npos && key.find("CreationTimeStamp") == std::string::npos;
        if (!first)
            fixed << '\n';
        fixed << (isDate && colon != std::string::npos
                      ? key + ": " + (key.find("Year") != std::string::npos ? "2000" : "1")
                      : line);
        first = false;
    }
    return fbxText.substr(0, start) + fixed.str() + fbxText.substr(end);
}

std::string FbxExporter::withEmissiveColors(const std::string& fbxText)
{
    const std::string legacy = "P: \"Emissive\", \"Vector3D\", \"Vector\", \"\", ";
    return withLinesAdded(fbxText, [&](const std::string& line) {
        const std::size_t at = line.find(legacy);
        if (at == std::string::npos)
            return std::string();
        const std::string rgb = line.substr(at + legacy.size());
        return rgb == "0, 0, 0" ? std::string()
                                : line.substr(0, at) + "P: \"EmissiveColor\", \"Color\", \"\", \"A\", " + rgb + '\n';
    });
}

std::string FbxExporter::withSpecularColors(const std::string& fbxText, const std::map<std::string, float>& greys)
{
    const float* grey = nullptr;  // of the material whose block is open
    return withLinesAdded(fbxText, [&](const std::string& line) {
        const std::size_t at = line.find("\"Material::");
        if (line.find("Material: ") != std::string::npos && at != std::string::npos) {
            const std::size_t start = at + 11;
            const auto named = greys.find(line.substr(start, line.find('"', start) - start));
            grey = named == greys.end() ? nullptr : &named->second;
        } else if (grey != nullptr && line.find("Properties70:") != std::string::npos) {
            const std::string indent = line.substr(0, line.find_first_not_of('\t')) + '\t';
            const std::string g = std::to_string(*grey);
            grey = nullptr;
            return indent + "P: \"SpecularColor\", \"Color\", \"\", \"A\", " + g + ", " + g + ", " + g + '\n';
        }
        return std::string();
    });
}

void FbxExporter::write(const SceneModel& model, const std::string& path, const std::string& textureDir)
{
    const std::unique_ptr<aiScene> scene = toScene(model, textureDir);
    Assimp::Exporter exporter;
    const aiExportDataBlob* blob = exporter.ExportToBlob(scene.get(), "fbxa");
    if (!blob)
        throw std::runtime_error(std::string("FBX export failed: ") + exporter.GetErrorString());
    const std::string text(static_cast<const char*>(blob->data), blob->size);
    std::ofstream out(path, std::ios::binary);
    std::map<std::string, float> greys;
    for (const ModelPart& part : model.parts())
        if (part.highlight < 1.0f)
            greys[part.name] = part.highlight;
    out << withSpecularColors(withEmissiveColors(withFixedTimestamps(text)), greys);
    if (!out)
        throw std::runtime_error("could not write " + path);
}

}  // namespace tolvane::content
