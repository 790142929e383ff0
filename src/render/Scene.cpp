#include "render/Scene.h"

#include "render/SceneContext.h"

namespace tolvane {

Scene::Scene() = default;

Scene::~Scene() = default;

void Scene::draw(Camera* camera)
{
    if (SceneContext* context = SceneContext::current()) {
        context->collectLights();
    }
    Object3D::draw(camera);
}

}  // namespace tolvane
