#include "bench/StartupFloor.h"

#include "import/ModelLoader.h"

#include <FreeImage.h>
#include <assimp/scene.h>

#include <algorithm>
#include <chrono>

namespace tolvane {

namespace {

void decodeOnce(const std::string& path)
{
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFIFFromFilename(path.c_str());
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format))
        return;
    if (FIBITMAP* bitmap = FreeImage_Load(format, path.c_str(), 0))
        FreeImage_Unload(bitmap);
}

std::vector<std::string> diffuseTextures(const aiScene& scene)
{
    std::vector<std::string> paths;
    paths.reserve(scene.mNumMaterials);
    for (unsigned i = 0; i < scene.mNumMaterials; ++i)
        paths.push_back(colourTextureOf(scene.mMaterials[i]));
    return paths;
}

}  // namespace

std::vector<std::string> StartupFloor::imageFiles(const std::vector<std::string>& modelTextures,
                                                  const std::vector<std::string>& sceneTextures)
{
    std::vector<std::string> files;
    const auto addOnce = [&files](const std::string& path) {
        if (std::find(files.begin(), files.end(), path) == files.end())
            files.push_back(path);
    };
    for (const std::string& texture : modelTextures) {
        addOnce(texture);
        addOnce(normalMapPathFor(texture));
    }
    for (const std::string& texture : sceneTextures)
        addOnce(texture);
    return files;
}

double StartupFloor::measure(const std::string& modelFile, const std::vector<std::string>& sceneTextures)
{
    const auto begin = std::chrono::steady_clock::now();
    Assimp::Importer importer;
    std::vector<std::string> modelTextures;
    if (const aiScene* scene = importer.ReadFile(modelFile.c_str(), ModelLoader::kImportFlags))
        modelTextures = diffuseTextures(*scene);
    for (const std::string& file : imageFiles(modelTextures, sceneTextures))
        decodeOnce(file);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
}

}  // namespace tolvane
