#include "TimelineStage.h"

#include "GlTestContext.h"
#include "app/ApplicationState.h"
#include "app/SceneAssembly.h"
#include "app/SoundEngine.h"
#include "particles/ParticleSystem.h"
#include "render/PointLight.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "scene/CameraPath.h"
#include "scene/PerspectiveCamera.h"
#include "scene/Text.h"

#include <cstdlib>

namespace tolvane::test {

TimelineStage::TimelineStage()
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    resetApplicationState();
    window = GlTestContext::window();
    renderer = new Renderer(NoCreate);
    scene = new Scene();
    camera = new PerspectiveCamera(60.0f, 1.0f, 0.1f, 100.0f);
    scene->addChild(camera);
    orbitPivot = new Object3D();
    scene->addChild(orbitPivot);
    torchLightA = new PointLight(0.5f, 1.0f);
    torchLightB = new PointLight(0.5f, 1.0f);
    campfireLight = new PointLight(0.8f, 0.05f);
    smokeSystem = new ParticleSystem(nullptr);
    fireSystem = new ParticleSystem(nullptr);
    fpsText = new Text(nullptr, nullptr, "");
    soundEngine = SoundEngine::create();
}

TimelineStage::~TimelineStage()
{
    soundEngine->drop();
    soundEngine = nullptr;
    delete fpsText;
    delete smokeSystem;
    delete fireSystem;
    delete torchLightA;
    delete torchLightB;
    delete campfireLight;
    delete scene;
    delete renderer;
    for (CameraPath*& path : cameraPaths) {
        delete path;
        path = nullptr;
    }
    resetApplicationState();
}

}  // namespace tolvane::test
