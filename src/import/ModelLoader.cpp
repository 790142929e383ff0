#include "import/ModelLoader.h"

#include "base/Diagnostics.h"
#include "import/DisplayProgressHandler.h"
#include "import/ModelGeometry.h"
#include "render/Material.h"
#include "render/Mesh.h"
#include "render/ShaderFiles.h"
#include "render/Texture.h"
#include "render/TexturePrefetch.h"

#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>

namespace tolvane {

namespace {

// What a mesh lacks for normal-mapped drawing, or null when it has it all.
// Points and lines (kept apart from triangles by the import) cannot be drawn
// as a triangle list.
const char* missingAttribute(const aiMesh* mesh)
{
    if ((mesh->mPrimitiveTypes & aiPrimitiveType_TRIANGLE) == 0)
        return "triangles";
    if (!mesh->HasNormals())
        return "normals";
    if (!mesh->HasTextureCoords(0))
        return "texture coordinates";
    if (!mesh->HasTangentsAndBitangents())
        return "tangents";
    return nullptr;
}

void appendVector(std::vector<float>& values, const aiVector3D& v)
{
    values.push_back(v.x);
    values.push_back(v.y);
    values.push_back(v.z);
}

// The mesh's first vertex colours as albedo factors, or none. A file may hold
// anything there: what is not a finite number leaves the albedo as it is,
// and the rest is kept between black and four times as bright.
std::vector<float> tintsOf(const aiMesh* mesh)
{
    std::vector<float> tints;
    if (!mesh->HasVertexColors(0))
        return tints;
    tints.reserve(static_cast<size_t>(mesh->mNumVertices) * 3);
    for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
        const aiColor4D& c = mesh->mColors[0][v];
        for (float channel : {c.r, c.g, c.b})
            tints.push_back(std::isfinite(channel) ? std::clamp(channel, 0.0f, 4.0f) : 1.0f);
    }
    return tints;
}

// Whether `key` names a colour of the material that is exactly black; one
// that is missing, or not a number, is not.
bool isBlack(const aiMaterial* material, const char* key, unsigned type, unsigned index)
{
    aiColor3D color(1.0f, 1.0f, 1.0f);
    return material->Get(key, type, index, color) == AI_SUCCESS && color.r == 0.0f && color.g == 0.0f &&
           color.b == 0.0f;
}

}  // namespace

std::string diffuseTextureNamedBy(const aiMaterial* material)
{
    // A fresh buffer per material: one without a diffuse texture must not
    // inherit another material's path.
    aiString buffer;
    aiGetMaterialTexture(material, aiTextureType_DIFFUSE, 0, &buffer, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr);
    return buffer.C_Str();
}

std::string colourTextureOf(const aiMaterial* material)
{
    const std::string named = diffuseTextureNamedBy(material);
    return named.empty() ? ModelLoader::kNeutralTexture : named;
}

// The material's emissive colour as a multiple of its albedo. A file may
// hold anything there: what is not a finite, non-negative amount lights
// nothing, and a huge one is capped where it would still only glow.
glm::vec3 emissionOf(const aiMaterial* material)
{
    constexpr float kBrightest = 64.0f;
    aiColor3D color(0.0f, 0.0f, 0.0f);
    if (material->Get(AI_MATKEY_COLOR_EMISSIVE, color) != AI_SUCCESS)
        return glm::vec3(0.0f);
    glm::vec3 emission(color.r, color.g, color.b);
    for (int c = 0; c < 3; ++c)
        emission[c] = std::isfinite(emission[c]) ? std::clamp(emission[c], 0.0f, kBrightest) : 0.0f;
    return emission;
}

// How much of the standard highlight the material gives, 0 (matte, such as
// needles) to 1: its specular colour's brightest channel. A material that
// names none gets the whole highlight, and so does one whose colour is not
// a number.
float highlightOf(const aiMaterial* material)
{
    aiColor3D color(1.0f, 1.0f, 1.0f);
    if (material->Get(AI_MATKEY_COLOR_SPECULAR, color) != AI_SUCCESS)
        return 1.0f;
    const float brightest = std::max({color.r, color.g, color.b});
    return std::isfinite(brightest) ? std::clamp(brightest, 0.0f, 1.0f) : 1.0f;
}

bool onlyGlows(const aiMaterial* material)
{
    return emissionOf(material) != glm::vec3(0.0f) && isBlack(material, AI_MATKEY_COLOR_DIFFUSE) &&
           isBlack(material, AI_MATKEY_COLOR_SPECULAR);
}

bool isComplete(const aiScene* scene)
{
    return scene != nullptr && (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) == 0 && scene->mRootNode != nullptr;
}

std::string normalMapPathFor(const std::string& diffusePath)
{
    const size_t dot = diffusePath.rfind('.');
    if (dot == std::string::npos)
        return normalMapPathFor(ModelLoader::kNeutralTexture);
    return diffusePath.substr(0, dot) + "_nm." + diffusePath.substr(dot + 1);
}

ModelLoader::ModelLoader() : progressHandler(new DisplayProgressHandler()) {}

ModelLoader::~ModelLoader()
{
    delete normalMapMaterial;
    delete alphaTestedMaterial;
    delete selfLitMaterial;
    delete selfLitAlphaTestedMaterial;
    for (ModelGeometry* geometry : geometries)
        delete geometry;
}

std::vector<Mesh*> ModelLoader::load(const std::string& path)
{
    meshCounter = 0;
    logMessage("Loading file '%s'...", path.c_str());
    postLoadingMessage("Loading Scene...");
    importFile(path);
    logMessage("OK, successfully loaded %i models and %i textures.\n", static_cast<int>(geometries.size()),
               static_cast<int>(texturePaths.size()));

    createMaterial();

    logMessage("Proccessing meshes, textures and normal maps...");
    postLoadingMessage("Initializing...");
    const int setCount = static_cast<int>(geometries.size());
    std::vector<Mesh*> meshes;
    meshes.reserve(static_cast<size_t>(setCount));
    for (int set = 0; set < setCount; ++set)
        meshes.push_back(makeMesh(set, setCount));
    texturePaths.clear();
    normalMapPaths.clear();
    emissions.clear();
    highlights.clear();
    glowsOnly.clear();
    loadedTextures.clear();

    logMessage("OK, done with all %i sets.\n", setCount);
    meshCounter = 0;
    return meshes;
}

// Meshes of an earlier load keep drawing with the material, so a later load
// shares it instead of replacing it.
void ModelLoader::createMaterial()
{
    if (normalMapMaterial != nullptr)
        return;
    normalMapMaterial = new Material(ShaderFiles::kNormalMapVertex, ShaderFiles::kNormalMapFragment, "");
    normalMapMaterial->color = glm::vec3(0.3f, 0.3f, 0.3f);
    normalMapMaterial->shininess = 5.0f;
}

// Each set takes the last remaining geometry together with the textures of
// the material that geometry was imported with.
Mesh* ModelLoader::makeMesh(int set, int setCount)
{
    logMessage("\tset #%i ...", set + 1);
    postLoadingMessage("Initializing... (%i/%i)", set, setCount);
    const unsigned materialIndex = geometryMaterials.back();
    const bool known = materialIndex < texturePaths.size();
    Texture* texture = sharedTexture(known ? texturePaths[materialIndex] : kNeutralTexture, 0);
    Texture* normalMap = sharedTexture(known ? normalMapPaths[materialIndex] : normalMapPathFor(kNeutralTexture), 1);
    ModelGeometry* geometry = geometries.back();
    madeGeometries.emplace_back(geometry);
    Mesh* mesh = new Mesh(geometry, materialFor(*texture, known && glowsOnly[materialIndex]));
    geometries.pop_back();
    geometryMaterials.pop_back();
    mesh->alphaTested = texture->hasCutout;
    mesh->texture = texture;
    mesh->normalMap = normalMap;
    if (known)
        mesh->emission = emissions[materialIndex];
    mesh->highlight = highlights[materialIndex];
    return mesh;
}

// A colour texture with holes needs the program that discards them, a
// material that only glows the one without lights. Each variant is built
// for the first mesh that needs it, so a model without one compiles nothing
// more, and it draws like the shared material in every other respect.
Material* ModelLoader::materialFor(const Texture& colourTexture, bool selfLit)
{
    const bool holed = colourTexture.hasCutout;
    if (!holed && !selfLit)
        return normalMapMaterial;
    Material*& variant = selfLit ? (holed ? selfLitAlphaTestedMaterial : selfLitMaterial) : alphaTestedMaterial;
    if (variant == nullptr) {
        std::vector<std::string> defines;
        if (holed)
            defines.emplace_back(ShaderFiles::kAlphaTested);
        if (selfLit)
            defines.emplace_back(ShaderFiles::kSelfLit);
        variant = new Material(ShaderFiles::kNormalMapVertex, ShaderFiles::kNormalMapFragment, "", defines);
        variant->color = normalMapMaterial->color;
        variant->shininess = normalMapMaterial->shininess;
    }
    return variant;
}

// Several materials of a model often name the same image: it is decoded and
// uploaded once and shared by their meshes, which never release textures.
Texture* ModelLoader::sharedTexture(const std::string& path, int unit)
{
    Texture*& texture = loadedTextures[path + (unit == 1 ? "#normal" : "#colour")];
    if (texture == nullptr) {
        texture = new Texture(path, unit, prefetch);
        madeTextures.emplace_back(texture);
    }
    return texture;
}

// The file is read first and post-processed second, the same import as
// one ReadFile with the flags: in between, the materials already name every
// texture, and the prefetch decodes them while the tangents are computed.
void ModelLoader::importFile(const std::string& path)
{
    importer.SetProgressHandler(progressHandler);
    const aiScene* scene = importer.ReadFile(path.c_str(), 0);
    if (scene != nullptr && prefetch != nullptr)
        prefetchTextures(scene);
    if (scene != nullptr)
        scene = importer.ApplyPostProcessing(kImportFlags);
    if (!isComplete(scene)) {
        logMessage("Assimp: %s", importer.GetErrorString());
        return;
    }
    processNode(scene->mRootNode, scene);
    loadTextures(scene);
}

// Textures of the materials that meshes use, in the order makeMesh will
// take them (it takes the last mesh first).
void ModelLoader::prefetchTextures(const aiScene* scene)
{
    for (unsigned i = scene->mNumMeshes; i-- > 0;) {
        const unsigned material = scene->mMeshes[i]->mMaterialIndex;
        const std::string diffusePath =
            material < scene->mNumMaterials ? colourTextureOf(scene->mMaterials[material]) : kNeutralTexture;
        prefetch->request(diffusePath, 0);
        prefetch->request(normalMapPathFor(diffusePath), 1);
    }
}

void ModelLoader::processNode(const aiNode* node, const aiScene* scene)
{
    for (unsigned i = 0; i < node->mNumMeshes; ++i) {
        const aiMesh* mesh = scene->mMeshes[node->mMeshes[i]];
        ModelGeometry* geometry = processMesh(mesh);
        if (geometry == nullptr)
            continue;
        geometries.push_back(geometry);
        geometryMaterials.push_back(mesh->mMaterialIndex);
    }
    for (unsigned i = 0; i < node->mNumChildren; ++i) {
        postLoadingMessage("Processing Scene... (%i/%i)", static_cast<int>(i), static_cast<int>(node->mNumChildren));
        processNode(node->mChildren[i], scene);
    }
}

ModelGeometry* ModelLoader::processMesh(const aiMesh* mesh)
{
    ++meshCounter;
    logMessage("\tLoading mesh #%i ...", meshCounter);
    if (const char* missing = missingAttribute(mesh)) {
        logMessage("\tSkipping mesh #%i '%s': it has no %s", meshCounter, mesh->mName.C_Str(), missing);
        return nullptr;
    }
    std::vector<float> positions, normals, tangents, biTangents, uvs;
    const size_t vertexCount = mesh->mNumVertices;
    positions.reserve(vertexCount * 3);
    normals.reserve(vertexCount * 3);
    tangents.reserve(vertexCount * 3);
    biTangents.reserve(vertexCount * 3);
    uvs.reserve(vertexCount * 2);
    for (size_t v = 0; v < vertexCount; ++v) {
        appendVector(positions, mesh->mVertices[v]);
        appendVector(normals, mesh->mNormals[v]);
        appendVector(tangents, mesh->mTangents[v]);
        appendVector(biTangents, mesh->mBitangents[v]);
        uvs.push_back(mesh->mTextureCoords[0][v].x);
        uvs.push_back(mesh->mTextureCoords[0][v].y);
    }
    std::vector<uint32_t> indices;
    indices.reserve(static_cast<size_t>(mesh->mNumFaces) * 3);
    // The mesh is drawn as a triangle list: a stray point or line among the
    // triangles would shift every later triangle's corners.
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        if (face.mNumIndices == 3)
            indices.insert(indices.end(), face.mIndices, face.mIndices + 3);
    }
    return new ModelGeometry(std::move(positions), std::move(indices), std::move(normals), std::move(tangents),
                             std::move(biTangents), std::move(uvs), tintsOf(mesh));
}

void ModelLoader::loadTextures(const aiScene* scene)
{
    postLoadingMessage("Loading Textures...");
    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        const std::string named = diffuseTextureNamedBy(scene->mMaterials[i]);
        logMessage("\tLoading Texture #%i '%s'", static_cast<int>(i) + 1, named.c_str());
        postLoadingMessage("Loading Textures... (%i/%i)", static_cast<int>(i), static_cast<int>(scene->mNumMaterials));
        const std::string diffusePath = named.empty() ? kNeutralTexture : named;
        texturePaths.push_back(diffusePath);
        normalMapPaths.push_back(normalMapPathFor(diffusePath));
        emissions.push_back(emissionOf(scene->mMaterials[i]));
        highlights.push_back(highlightOf(scene->mMaterials[i]));
        glowsOnly.push_back(onlyGlows(scene->mMaterials[i]));
    }
}

}  // namespace tolvane
