#include "ModelFiles.h"

#include <FreeImage.h>
#include <assimp/Exporter.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>

namespace tolvane::test {

namespace {

aiMesh* makeSquare(const TestMesh& description)
{
    aiMesh* mesh = new aiMesh();
    mesh->mName = aiString(description.name);
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    mesh->mMaterialIndex = description.materialIndex;
    mesh->mNumVertices = 4;
    mesh->mVertices = new aiVector3D[4];
    mesh->mNormals = new aiVector3D[4];
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    if (description.withTextureCoordinates) {
        mesh->mTextureCoords[0] = new aiVector3D[4];
        mesh->mNumUVComponents[0] = 2;
    }
    for (unsigned v = 0; v < 4; ++v) {
        mesh->mVertices[v] = aiVector3D(corners[v][0], description.y + corners[v][1], 0.0f);
        mesh->mNormals[v] = aiVector3D(0.0f, 0.0f, 1.0f);
        if (description.withTextureCoordinates)
            mesh->mTextureCoords[0][v] = aiVector3D(corners[v][0], corners[v][1], 0.0f);
    }
    if (description.outlineOnly) {
        mesh->mPrimitiveTypes = aiPrimitiveType_LINE;
        mesh->mNumFaces = 4;
        mesh->mFaces = new aiFace[4];
        for (unsigned f = 0; f < 4; ++f) {
            mesh->mFaces[f].mNumIndices = 2;
            mesh->mFaces[f].mIndices = new unsigned[2]{f, (f + 1) % 4};
        }
        return mesh;
    }
    mesh->mNumFaces = 2;
    mesh->mFaces = new aiFace[2];
    const unsigned triangles[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (unsigned f = 0; f < 2; ++f) {
        mesh->mFaces[f].mNumIndices = 3;
        mesh->mFaces[f].mIndices = new unsigned[3]{triangles[f][0], triangles[f][1], triangles[f][2]};
    }
    return mesh;
}

aiMaterial* makeMaterial(const std::string& diffusePath, unsigned index)
{
    aiMaterial* material = new aiMaterial();
    aiString name("material" + std::to_string(index));
    material->AddProperty(&name, AI_MATKEY_NAME);
    if (!diffusePath.empty()) {
        aiString path(diffusePath);
        material->AddProperty(&path, AI_MATKEY_TEXTURE_DIFFUSE(0));
    }
    return material;
}

}  // namespace

bool writeTestModel(const std::string& path, const std::vector<TestMesh>& meshes,
                    const std::vector<std::string>& diffusePaths)
{
    aiScene scene;
    scene.mRootNode = new aiNode("root");
    scene.mNumMeshes = static_cast<unsigned>(meshes.size());
    scene.mMeshes = new aiMesh*[meshes.size()];
    scene.mRootNode->mNumChildren = scene.mNumMeshes;
    scene.mRootNode->mChildren = new aiNode*[meshes.size()];
    for (unsigned i = 0; i < scene.mNumMeshes; ++i) {
        scene.mMeshes[i] = makeSquare(meshes[i]);
        aiNode* node = new aiNode(meshes[i].name);
        node->mParent = scene.mRootNode;
        node->mNumMeshes = 1;
        node->mMeshes = new unsigned[1]{i};
        scene.mRootNode->mChildren[i] = node;
    }
    scene.mNumMaterials = static_cast<unsigned>(diffusePaths.size());
    scene.mMaterials = new aiMaterial*[diffusePaths.size()];
    for (unsigned i = 0; i < scene.mNumMaterials; ++i)
        scene.mMaterials[i] = makeMaterial(diffusePaths[i], i);

    Assimp::Exporter exporter;
    return exporter.Export(&scene, "fbxa", path) == AI_SUCCESS;
}

bool writeTestPng(const std::string& path, unsigned char r, unsigned char g, unsigned char b)
{
    FIBITMAP* bitmap = FreeImage_Allocate(4, 4, 24);
    if (bitmap == nullptr)
        return false;
    RGBQUAD color{b, g, r, 0};
    for (unsigned y = 0; y < 4; ++y)
        for (unsigned x = 0; x < 4; ++x)
            FreeImage_SetPixelColor(bitmap, x, y, &color);
    const bool saved = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0) != 0;
    FreeImage_Unload(bitmap);
    return saved;
}

bool writeHalfClearPng(const std::string& path)
{
    FIBITMAP* bitmap = FreeImage_Allocate(32, 32, 32);
    if (bitmap == nullptr)
        return false;
    const RGBQUAD clear{0, 0, 255, 0};
    const RGBQUAD opaque{kCardBlue, kCardGreen, kCardRed, 255};
    for (unsigned y = 0; y < 32; ++y)
        for (unsigned x = 0; x < 32; ++x)
            FreeImage_SetPixelColor(bitmap, x, y, const_cast<RGBQUAD*>(x < 16 ? &clear : &opaque));
    const bool saved = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0) != 0;
    FreeImage_Unload(bitmap);
    return saved;
}

}  // namespace tolvane::test
