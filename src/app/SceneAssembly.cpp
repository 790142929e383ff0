#include "app/SceneAssembly.h"

#include "app/Application.h"
#include "app/Diagnostics.h"
#include "app/SoundEngine.h"
#include "app/TimelineState.h"
#include "base/CpuProfiler.h"
#include "import/ModelLoader.h"
#include "import/QuadGeometry.h"
#include "particles/ParticlePresets.h"
#include "particles/ParticleSystem.h"
#include "render/AmbientLight.h"
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
#include "scene/AxialBillboard.h"
#include "scene/CameraPath.h"
#include "scene/CubeGeometry.h"
#include "scene/PerspectiveCamera.h"

#include <glm/gtc/matrix_transform.hpp>

#include <iostream>

namespace tolvane {

CubeGeometry* cubeGeometry = nullptr;
QuadGeometry* quadGeometry = nullptr;
Texture* fireTexture = nullptr;
Texture* fairyDustTexture = nullptr;
Texture* smokeTexture = nullptr;
Texture* whiteTexture = nullptr;
SpriteSheet* flameSpriteSheet = nullptr;
Material* lightMaterial = nullptr;
Material* specularMaterial = nullptr;
Material* spriteMaterial = nullptr;
Object3D* orbitPivot = nullptr;
PointLight* orbitLight = nullptr;
PointLight* torchLightA = nullptr;
PointLight* torchLightB = nullptr;
PointLight* campfireLight = nullptr;
ParticleSystem* smokeSystem = nullptr;
ParticleSystem* fireSystem = nullptr;
ParticleSystem* dustSystem = nullptr;
CameraPath* cameraPaths[4] = {};
SoundEngine* soundEngine = nullptr;

namespace {

SceneContext* sceneContext = nullptr;

const char* const kCameraPathFiles[4] = {"campath1.xml", "campath2.xml", "campath3.xml", "campath4.xml"};

void createCamera()
{
    camera = new PerspectiveCamera(60.0f, static_cast<float>(width) / static_cast<float>(height), 0.1f, 100.0f);
    camera->position = glm::vec3(-1.0f, 1.0f, 6.0f);
    camera->updateView();
    camera->target = glm::vec3(-0.5f, 1.0f, 0.1f);
    camera->updateView();
}

void loadTextures(TexturePrefetch& prefetch)
{
    fireTexture = new Texture(kSceneTextureFiles[0], 0, &prefetch);
    fairyDustTexture = new Texture(kSceneTextureFiles[1], 0, &prefetch);
    smokeTexture = new Texture(kSceneTextureFiles[2], 0, &prefetch);
    whiteTexture = new Texture(kSceneTextureFiles[3], 0, &prefetch);
    flameSpriteSheet = new SpriteSheet(kSceneTextureFiles[4], 112, 195, 50, 24, &prefetch);
}

void createMaterials()
{
    lightMaterial = new Material(ShaderFiles::kLightVertex, ShaderFiles::kLightFragment, "");
    lightMaterial->color = glm::vec3(1.0f, 1.0f, 1.0f);
    lightMaterial->blending = true;
    specularMaterial = new Material(ShaderFiles::kSpecularVertex, ShaderFiles::kSpecularFragment, "");
    specularMaterial->color = glm::vec3(1.0f, 1.0f, 1.0f);
    specularMaterial->shininess = 300.0f;
    spriteMaterial = new Material(ShaderFiles::kSpriteVertex, ShaderFiles::kSpriteFragment, "");
    spriteMaterial->blending = true;
    shadowMaterial =
        new Material(ShaderFiles::kShadowVertex, ShaderFiles::kShadowFragment, ShaderFiles::kShadowGeometry);
}

void importModel(TexturePrefetch& prefetch)
{
    CpuProfiler::Scope timing(CpuSection::ModelImport);
    modelLoader = new ModelLoader();
    modelLoader->prefetch = &prefetch;
    for (Mesh* mesh : ModelLoader::load(kModelFile))
        scene->addChild(mesh);
    modelLoader->prefetch = nullptr;
}

void loadCameraPaths()
{
    for (int i = 0; i < 4; ++i) {
        cameraPaths[i] = new CameraPath();
        cameraPaths[i]->fileName = kCameraPathFiles[i];
        // The first three files are stored last position first.
        cameraPaths[i]->load(i < 3);
    }
    std::cout << "OK, done reading XML-File with camera positions." << std::endl << std::endl;
}

void addLights()
{
    scene->addChild(new AmbientLight());

    ODShadowMap* shadowMap = new ODShadowMap();
    orbitLight = new PointLight(intensity, 0.01f);
    orbitLight->translate(3.0f, 3.0f, 0.0f);
    orbitLight->shadowMap = shadowMap;
    orbitLight->castsShadow = true;
    orbitPivot->addChild(orbitLight);

    torchLightA = new PointLight(intensity * 0.5f, 1.0f);
    torchLightB = new PointLight(intensity * 0.5f, 1.0f);

    campfireLight = new PointLight(intensity * 0.8f, 0.05f);
    campfireLight->translate(-2.969789f, 0.192133f, -2.981397f);
    scene->addChild(campfireLight);

    Mesh* lampCube = new Mesh(cubeGeometry, lightMaterial);
    lampCube->castsShadow = false;
    lampCube->localMatrix = glm::scale(lampCube->localMatrix, glm::vec3(0.1f));
    orbitLight->addChild(lampCube);
}

ParticleSystem* createParticleSystem(Texture* texture)
{
    ParticleSystem* system = new ParticleSystem(texture);
    system->translate(kFirePosition[0], kFirePosition[1], kFirePosition[2]);
    return system;
}

void addParticleSystems()
{
    smokeSystem = createParticleSystem(smokeTexture);
    configureSmoke(*smokeSystem);
    smokeSystem->init();
    scene->addChild(smokeSystem);

    fireSystem = createParticleSystem(fireTexture);
    configureFire(*fireSystem);
    fireSystem->init();
    scene->addChild(fireSystem);

    dustSystem = new ParticleSystem(fairyDustTexture);
    dustSystem->translate(-3.0f, 4.0f, -3.0f);
    configureFairyDust(*dustSystem);
    dustSystem->init();
    dustSystem->setGenerating(true);
    scene->addChild(dustSystem);
}

void addFlame(const glm::vec3& position, PointLight* torchLight)
{
    AxialBillboard* flame = new AxialBillboard(quadGeometry, spriteMaterial, camera);
    flame->currentAngle = 0.0f;
    flame->texture = flameSpriteSheet;
    flame->castsShadow = false;
    flame->translate(position.x, position.y, position.z);
    flame->localMatrix = glm::scale(flame->localMatrix, glm::vec3(0.1f));
    flame->addChild(torchLight);
    scene->addChild(flame);
}

}  // namespace

void buildScene()
{
    createCamera();
    sceneContext = new SceneContext();
    scene = new Scene();
    scene->addChild(camera);
    cubeGeometry = new CubeGeometry();
    quadGeometry = new QuadGeometry();
    // Every image is decoded on a second thread while this one imports the
    // model: the scene's own from here on, the model's once it is read.
    TexturePrefetch prefetch;
    for (const char* file : kSceneTextureFiles)
        prefetch.request(file, 0);
    createMaterials();
    importModel(prefetch);
    loadTextures(prefetch);
    orbitPivot = new Object3D();
    orbitPivot->translate(0.0f, 0.0f, 0.0f);
    scene->addChild(orbitPivot);
    loadCameraPaths();
    showFps = false;
    timelineState = 0;
    addLights();
    addParticleSystems();
    addFlame(glm::vec3(-1.384822f, 1.367798f, 0.000135755f), torchLightA);
    addFlame(glm::vec3(-3.157109f, 2.458664f, -1.869101f), torchLightB);
    checkGLError();
    soundEngine = SoundEngine::create();
    logMessage("%s", "");
}

void releaseSoundEngine()
{
    if (soundEngine != nullptr)
        soundEngine->drop();
    soundEngine = nullptr;
}

void releaseSceneResources()
{
    delete modelLoader;
    modelLoader = nullptr;
    for (Material** material : {&lightMaterial, &specularMaterial, &spriteMaterial, &shadowMaterial}) {
        delete *material;
        *material = nullptr;
    }
    delete cubeGeometry;
    cubeGeometry = nullptr;
    delete quadGeometry;
    quadGeometry = nullptr;
    for (Texture** texture : {&fireTexture, &smokeTexture, &fairyDustTexture, &whiteTexture}) {
        delete *texture;
        *texture = nullptr;
    }
    delete flameSpriteSheet;
    flameSpriteSheet = nullptr;
}

void releaseSceneContext()
{
    delete sceneContext;
    sceneContext = nullptr;
}

}  // namespace tolvane
