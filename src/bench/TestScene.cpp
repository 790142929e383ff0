#include "bench/TestScene.h"

#include "base/PngFile.h"

#include "render/AmbientLight.h"
#include "render/Material.h"
#include "render/Mesh.h"
#include "render/ODShadowMap.h"
#include "render/PointLight.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "render/SceneContext.h"
#include "render/ShaderFiles.h"
#include "render/Texture.h"
#include "scene/CubeGeometry.h"
#include "scene/PerspectiveCamera.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace tolvane {

namespace {

// Writes a 64 x 64 checker of 16-texel squares in two greys (or plain white)
// and returns its path.
std::string writeTexture(const std::string& name, std::uint8_t light, std::uint8_t dark)
{
    std::filesystem::path directory =
        std::filesystem::temp_directory_path() / ("tolvane-test-scene-" + std::to_string(getpid()));
    std::filesystem::create_directories(directory);
    std::string path = (directory / name).string();
    constexpr std::size_t kSide = 64;
    std::vector<std::uint8_t> pixels(kSide * kSide * 3);
    for (std::size_t y = 0; y < kSide; ++y)
        for (std::size_t x = 0; x < kSide; ++x)
            for (std::size_t channel = 0; channel < 3; ++channel)
                pixels[(y * kSide + x) * 3 + channel] = ((x / 16 + y / 16) % 2 == 0) ? light : dark;
    std::string error;
    writePng(PixelRows{pixels.data(), 64, 64, 3, true}, path, error);
    return path;
}

Mesh* makeMesh(CubeGeometry* cube, Material* material, Texture* texture)
{
    auto* mesh = new Mesh(cube, material);
    mesh->texture = texture;
    return mesh;
}

}  // namespace

TestScene::TestScene(int pictureWidth, int pictureHeight) : width_(pictureWidth), height_(pictureHeight)
{
    camera = new PerspectiveCamera(60.0f, static_cast<float>(pictureWidth) / pictureHeight, 0.1f, 100.0f);
    camera->position = glm::vec3(0.0f, 3.2f, 6.0f);
    camera->target = glm::vec3(-0.3f, 0.4f, 0.0f);
    camera->updateView();
    context = new SceneContext();
    root = new Scene();
    root->addChild(camera);

    cube = new CubeGeometry();
    floorTexture = new Texture(writeTexture("floor.png", 210, 150), 0);
    whiteTexture = new Texture(writeTexture("white.png", 255, 255), 0);
    specularMaterial = new Material(ShaderFiles::kSpecularVertex, ShaderFiles::kSpecularFragment, "");
    specularMaterial->shininess = 60.0f;
    boxMaterial = new Material(ShaderFiles::kSpecularVertex, ShaderFiles::kSpecularFragment, "");
    boxMaterial->color = glm::vec3(0.85f, 0.42f, 0.25f);
    boxMaterial->shininess = 120.0f;
    lampMaterial = new Material(ShaderFiles::kLightVertex, ShaderFiles::kLightFragment, "");
    lampMaterial->blending = true;
    shadowProgram = new Material(ShaderFiles::kShadowVertex, ShaderFiles::kShadowFragment, "");

    floor = makeMesh(cube, specularMaterial, floorTexture);
    floor->translate(0.0f, -0.1f, 0.0f);
    floor->localMatrix = glm::scale(floor->localMatrix, glm::vec3(8.0f, 0.2f, 8.0f));
    root->addChild(floor);
    box = makeMesh(cube, boxMaterial, whiteTexture);
    box->translate(0.0f, 0.5f, 0.0f);
    root->addChild(box);

    root->addChild(new AmbientLight(0.1f));
    shadowMap = new ODShadowMap(shadowProgram);
    keyLight = new PointLight(1.6f, 0.01f);
    keyLight->translate(1.6f, 2.2f, 0.8f);
    keyLight->castsShadow = true;
    keyLight->shadowMap = shadowMap;
    root->addChild(keyLight);
    lamp = makeMesh(cube, lampMaterial, nullptr);
    lamp->castsShadow = false;
    lamp->localMatrix = glm::scale(lamp->localMatrix, glm::vec3(0.1f));
    keyLight->addChild(lamp);
    fillLight = new PointLight(0.25f, 0.1f);
    fillLight->translate(-3.0f, 2.0f, 3.0f);
    root->addChild(fillLight);

    renderer = new Renderer();
    renderer->init(pictureWidth, pictureHeight);
}

TestScene::~TestScene()
{
    delete renderer;
    delete root;
    delete shadowMap;
    delete shadowProgram;
    delete lampMaterial;
    delete boxMaterial;
    delete specularMaterial;
    delete whiteTexture;
    delete floorTexture;
    delete cube;
    delete context;
}

void TestScene::renderFrame(float fade)
{
    renderer->fade = fade;
    root->update(0.0);
    renderer->render(View{root, camera});
}

glm::ivec2 TestScene::pixelOf(const glm::vec3& world) const
{
    const glm::vec4 clip = camera->projection * camera->getWorldMatrix() * glm::vec4(world, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return {(ndc.x * 0.5f + 0.5f) * static_cast<float>(width_), (ndc.y * 0.5f + 0.5f) * static_cast<float>(height_)};
}

}  // namespace tolvane
