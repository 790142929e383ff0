#include "app/SceneAssembly.h"

#include "app/DemoState.h"
#include "app/SoundEngine.h"
#include "base/ContentLayout.h"
#include "base/CpuProfiler.h"
#include "base/Diagnostics.h"
#include "import/ModelLoader.h"
#include "import/QuadGeometry.h"
#include "particles/ParticlePresets.h"
#include "particles/ParticleSystem.h"
#include "render/AmbientLight.h"
#include "render/AxialBillboard.h"
#include "render/Material.h"
#include "render/Mesh.h"
#include "render/ODShadowMap.h"
#include "render/PointLight.h"
#include "render/Scene.h"
#include "render/SceneContext.h"
#include "render/ShaderFiles.h"
#include "render/SpriteSheet.h"
#include "render/Texture.h"
#include "render/TexturePrefetch.h"
#include "scene/CameraPath.h"
#include "scene/CubeGeometry.h"
#include "scene/PerspectiveCamera.h"

#include <glm/gtc/matrix_transform.hpp>

#include <iostream>

namespace tolvane {

namespace {

using namespace content;

// Only the final position and target count: the view is computed from both.
void createCamera()
{
    const Settings& settings = demo.settings;
    auto* camera = new PerspectiveCamera(
        60.0f, static_cast<float>(settings.width) / static_cast<float>(settings.height), 0.1f, 100.0f);
    camera->position = kCameraStart;
    camera->target = kFlightTargets[0];
    camera->updateView();
    demo.camera = camera;
}

void loadTextures(TexturePrefetch& prefetch)
{
    SceneObjects& objects = demo.objects;
    objects.fireTexture = new Texture(kFireTexture, 0, &prefetch);
    objects.fairyDustTexture = new Texture(kFairyDustTexture, 0, &prefetch);
    objects.smokeTexture = new Texture(kSmokeTexture, 0, &prefetch);
    objects.whiteTexture = new Texture(kWhiteTexture, 0, &prefetch);
    objects.flameSpriteSheet = new SpriteSheet(kFlameSpriteSheet, 112, 195, 50, 24, &prefetch);
}

void createMaterials()
{
    SceneObjects& objects = demo.objects;
    objects.lightMaterial = new Material(ShaderFiles::kLightVertex, ShaderFiles::kLightFragment, "");
    objects.lightMaterial->color = glm::vec3(1.0f, 1.0f, 1.0f);
    objects.lightMaterial->blending = true;
    objects.specularMaterial = new Material(ShaderFiles::kSpecularVertex, ShaderFiles::kSpecularFragment, "");
    objects.specularMaterial->color = glm::vec3(1.0f, 1.0f, 1.0f);
    objects.specularMaterial->shininess = 300.0f;
    objects.spriteMaterial = new Material(ShaderFiles::kSpriteVertex, ShaderFiles::kSpriteFragment, "");
    objects.spriteMaterial->blending = true;
    objects.shadowMaterial = new Material(ShaderFiles::kShadowVertex, ShaderFiles::kShadowFragment, "");
    objects.alphaTestedShadow =
        new Material(ShaderFiles::kShadowVertex, ShaderFiles::kShadowFragment, "", {ShaderFiles::kAlphaTested});
    objects.shadowMaterial->alphaTestedVariant = objects.alphaTestedShadow;
}

void importModel(TexturePrefetch& prefetch)
{
    CpuProfiler::Scope timing(CpuSection::ModelImport);
    auto* loader = new ModelLoader();
    demo.objects.modelLoader = loader;
    loader->prefetch = &prefetch;
    for (Mesh* mesh : loader->load(kModelFile)) {
        // The model's cut-out meshes are the needles hanging from the pines:
        // their shadows would be a speckle on the boughs below, at the price
        // of a texture read a fragment in each of the cube map's six faces
        // (about 4% of a frame on a software renderer).
        if (mesh->alphaTested)
            mesh->castsShadow = false;
        demo.scene->addChild(mesh);
    }
    loader->prefetch = nullptr;
}

void loadCameraPaths()
{
    for (int i = 0; i < 4; ++i) {
        auto* path = new CameraPath();
        path->fileName = kCameraPathFiles[i];
        // Playback takes a path's records from the back; loading reversed
        // makes the first three play in file order, and the fourth plays
        // from its last element to its first.
        path->load(i < 3);
        demo.objects.cameraPaths[i] = path;
    }
    std::cout << "OK, done reading XML-File with camera positions." << std::endl << std::endl;
}

// Linear RGB of the lights: flames burn orange; the circling lamp is the
// night's cool moonlight.
constexpr glm::vec3 kFirelight(1.0f, 0.5f, 0.2f);
constexpr glm::vec3 kMoonlight(0.6f, 0.75f, 1.0f);

void addLights()
{
    SceneObjects& objects = demo.objects;
    const float intensity = demo.settings.intensity;
    demo.scene->addChild(new AmbientLight(demo.settings.ambient));

    objects.shadowMap = new ODShadowMap(objects.shadowMaterial);
    objects.orbitLight = new PointLight(intensity, 0.01f);
    objects.orbitLight->translate(3.0f, 3.0f, 0.0f);
    objects.orbitLight->shadowMap = objects.shadowMap;
    objects.orbitLight->castsShadow = true;
    objects.orbitLight->color = kMoonlight;
    objects.orbitPivot->addChild(objects.orbitLight);

    objects.torchLightA = new PointLight(intensity * 0.5f, 1.0f);
    objects.torchLightB = new PointLight(intensity * 0.5f, 1.0f);
    objects.torchLightA->color = kFirelight;
    objects.torchLightB->color = kFirelight;

    objects.campfireLight = new PointLight(intensity * 0.8f, 0.05f);
    objects.campfireLight->translate(kCampfireLight.x, kCampfireLight.y, kCampfireLight.z);
    objects.campfireLight->color = kFirelight;
    demo.scene->addChild(objects.campfireLight);

    Mesh* lampCube = new Mesh(objects.cubeGeometry, objects.lightMaterial);
    lampCube->castsShadow = false;
    lampCube->localMatrix = glm::scale(lampCube->localMatrix, glm::vec3(0.1f));
    objects.orbitLight->addChild(lampCube);
}

ParticleSystem* addParticleSystem(Texture* texture, const glm::vec3& position, void (*configure)(ParticleSystem&))
{
    auto* system = new ParticleSystem(texture);
    system->translate(position.x, position.y, position.z);
    configure(*system);
    system->init();
    demo.scene->addChild(system);
    return system;
}

void addParticleSystems()
{
    SceneObjects& objects = demo.objects;
    objects.smokeSystem = addParticleSystem(objects.smokeTexture, kFirePosition, configureSmoke);
    objects.fireSystem = addParticleSystem(objects.fireTexture, kFirePosition, configureFire);
    // Drifting from the start and never switched off.
    objects.dustSystem = new ParticleSystem(objects.fairyDustTexture);
    objects.dustSystem->translate(-3.0f, 4.0f, -3.0f);
    configureFairyDust(*objects.dustSystem);
    objects.dustSystem->init();
    objects.dustSystem->setGenerating(true);
    demo.scene->addChild(objects.dustSystem);
}

void addFlame(const glm::vec3& position, PointLight* torchLight)
{
    SceneObjects& objects = demo.objects;
    auto* flame = new AxialBillboard(objects.quadGeometry, objects.spriteMaterial, demo.camera);
    flame->currentAngle = 0.0f;
    flame->texture = objects.flameSpriteSheet;
    flame->castsShadow = false;
    flame->translate(position.x, position.y, position.z);
    flame->localMatrix = glm::scale(flame->localMatrix, glm::vec3(0.1f));
    flame->addChild(torchLight);
    demo.scene->addChild(flame);
}

}  // namespace

void buildScene()
{
    SceneObjects& objects = demo.objects;
    createCamera();
    objects.sceneContext = new SceneContext();
    demo.scene = new Scene();
    demo.scene->addChild(demo.camera);
    objects.cubeGeometry = new CubeGeometry();
    objects.quadGeometry = new QuadGeometry();
    // Every image is decoded on a second thread while this one imports the
    // model: the scene's own from here on, the model's once it is read.
    TexturePrefetch prefetch;
    for (const char* file : kSceneTextureFiles)
        prefetch.request(file, 0);
    createMaterials();
    importModel(prefetch);
    loadTextures(prefetch);
    objects.orbitPivot = new Object3D();
    demo.scene->addChild(objects.orbitPivot);
    loadCameraPaths();
    demo.showFps = false;
    demo.timeline.timelineState = 0;
    demo.creditsOpacity = 0.0f;
    addLights();
    addParticleSystems();
    addFlame(kTorchFlameA, objects.torchLightA);
    addFlame(kTorchFlameB, objects.torchLightB);
    checkGLError();
    objects.soundEngine = SoundEngine::create();
    logMessage("%s", "");
}

void releaseSoundEngine()
{
    if (demo.objects.soundEngine != nullptr)
        demo.objects.soundEngine->drop();
    demo.objects.soundEngine = nullptr;
}

void releaseSceneResources()
{
    SceneObjects& objects = demo.objects;
    delete objects.modelLoader;
    objects.modelLoader = nullptr;
    for (Material** material : {&objects.lightMaterial, &objects.specularMaterial, &objects.spriteMaterial,
                                &objects.shadowMaterial, &objects.alphaTestedShadow}) {
        delete *material;
        *material = nullptr;
    }
    delete objects.cubeGeometry;
    objects.cubeGeometry = nullptr;
    delete objects.quadGeometry;
    objects.quadGeometry = nullptr;
    for (Texture** texture :
         {&objects.fireTexture, &objects.smokeTexture, &objects.fairyDustTexture, &objects.whiteTexture}) {
        delete *texture;
        *texture = nullptr;
    }
    delete objects.flameSpriteSheet;
    objects.flameSpriteSheet = nullptr;
    // The orbiting light still points to it; nothing draws any more.
    delete objects.shadowMap;
    objects.shadowMap = nullptr;
}

void releaseSceneContext()
{
    delete demo.objects.sceneContext;
    demo.objects.sceneContext = nullptr;
    for (CameraPath*& path : demo.objects.cameraPaths) {
        delete path;
        path = nullptr;
    }
}

}  // namespace tolvane
