#include "render/SceneContext.h"

#include "render/AmbientLight.h"
#include "render/Material.h"
#include "render/PointLight.h"
#include "render/ShaderFiles.h"

namespace tolvane {

namespace {
// The shadow bitmask is an int uniform: lights beyond its width never cast.
constexpr std::size_t kMaxShadowBits = 32;
}  // namespace

SceneContext* SceneContext::current_ = nullptr;

SceneContext::SceneContext()
    : SceneContext(new Material(ShaderFiles::kColorVertex, ShaderFiles::kColorFragment, ""))
{
    boundingBoxMaterial->color = glm::vec3(0.0f, 1.0f, 0.0f);
}

SceneContext::SceneContext(Material* boundingBoxMaterial)
    : boundingBoxMaterial(boundingBoxMaterial)
{
    current_ = this;
}

SceneContext::SceneContext(NoCreateT) : SceneContext(static_cast<Material*>(nullptr)) {}

SceneContext::~SceneContext()
{
    if (current_ == this) {
        current_ = nullptr;
    }
    delete boundingBoxMaterial;
}

SceneContext* SceneContext::current()
{
    return current_;
}

void SceneContext::registerLight(Object3D* node)
{
    if (auto* pointLight = dynamic_cast<PointLight*>(node)) {
        pointLights.push_back(pointLight);
        if (pointLight->castsShadow) {
            shadowMaps.push_back(pointLight->shadowMap);
        }
    } else if (auto* ambient = dynamic_cast<AmbientLight*>(node)) {
        ambientLight = ambient;
    }
}

void SceneContext::collectLights()
{
    shadowBitmask = 0;
    lightPositions.clear();
    lightIntensities.clear();
    lightAttenuations.clear();
    for (std::size_t i = 0; i < pointLights.size(); ++i) {
        PointLight* light = pointLights[i];
        const glm::vec3 position = light->getWorldPosition();
        lightPositions.insert(lightPositions.end(), {position.x, position.y, position.z});
        lightIntensities.push_back(light->intensity);
        lightAttenuations.push_back(light->attenuation);
        if (light->castsShadow && i < kMaxShadowBits) {
            shadowBitmask |= static_cast<int>(1u << i);
        }
    }
}

}  // namespace tolvane
