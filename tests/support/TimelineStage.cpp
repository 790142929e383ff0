#include "TimelineStage.h"

#include "GlTestContext.h"
#include "app/DemoState.h"
#include "app/SoundEngine.h"
#include "particles/ParticleSystem.h"
#include "render/PointLight.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "render/Text.h"
#include "scene/CameraPath.h"
#include "scene/PerspectiveCamera.h"

#include <cstdlib>

namespace tolvane::test {

TimelineStage::TimelineStage()
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    demo = DemoState();
    demo.window = GlTestContext::window();
    demo.renderer = new Renderer(NoCreate);
    demo.scene = new Scene();
    demo.camera = new PerspectiveCamera(60.0f, 1.0f, 0.1f, 100.0f);
    demo.scene->addChild(demo.camera);
    SceneObjects& objects = demo.objects;
    objects.orbitPivot = new Object3D();
    demo.scene->addChild(objects.orbitPivot);
    objects.torchLightA = new PointLight(0.5f, 1.0f);
    objects.torchLightB = new PointLight(0.5f, 1.0f);
    objects.campfireLight = new PointLight(0.8f, 0.05f);
    objects.smokeSystem = new ParticleSystem(nullptr);
    objects.fireSystem = new ParticleSystem(nullptr);
    demo.fpsText = new Text(nullptr, nullptr, "");
    objects.soundEngine = SoundEngine::create();
}

TimelineStage::~TimelineStage()
{
    SceneObjects& objects = demo.objects;
    objects.soundEngine->drop();
    delete demo.fpsText;
    delete objects.smokeSystem;
    delete objects.fireSystem;
    delete objects.torchLightA;
    delete objects.torchLightB;
    delete objects.campfireLight;
    delete demo.scene;
    delete demo.renderer;
    for (CameraPath* path : objects.cameraPaths)
        delete path;
    demo = DemoState();
}

}  // namespace tolvane::test
