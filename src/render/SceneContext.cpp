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

SceneContext::SceneContext() : SceneContext(new Material(ShaderFiles::kColorVertex, ShaderFiles::kColorFragment, ""))
{
    boundingBoxMaterial->color = glm::vec3(0.0f, 1.0f, 0.0f);
}

SceneContext::SceneContext(Material* boxProgram) : boundingBoxMaterial(boxProgram) {}

SceneContext::SceneContext(NoCreateT) : SceneContext(static_cast<Material*>(nullptr)) {}

SceneContext::~SceneContext()
{
    delete boundingBoxMaterial;
}

SceneContext* SceneContext::current()
{
    return dynamic_cast<SceneContext*>(NodeRegistry::current());
}

void SceneContext::registerLight(Object3D* node)
{
    if (auto* pointLight = dynamic_cast<PointLight*>(node)) {
        pointLights.push_back(pointLight);
        // A caster without a map has nothing for the shadow pass to fill.
        if (pointLight->castsShadow && pointLight->shadowMap != nullptr) {
            if (shadowMaps.empty())
                shadowedLight = pointLight;
            shadowMaps.push_back(pointLight->shadowMap);
        }
    } else if (auto* ambient = dynamic_cast<AmbientLight*>(node)) {
        ambientLight = ambient;
    }
}

// Lit draws see one cube map, the first in the shadow pass (Mesh binds it).
// Only the light that put it there reads it: a light flagged later has no
// map in the pass, and a second caster's depths are not the bound ones, so
// either would be shadowed by another light's depths. They are lit
// unshadowed instead.
bool SceneContext::readsBoundShadowMap(const PointLight* light) const
{
    return light == shadowedLight && light->castsShadow && light->shadowMap != nullptr &&
           light->shadowMap == shadowMaps.front();
}

void SceneContext::collectLights()
{
    shadowBitmask = 0;
    lightPositions.clear();
    lightIntensities.clear();
    lightColors.clear();
    lightAttenuations.clear();
    for (std::size_t i = 0; i < pointLights.size(); ++i) {
        PointLight* light = pointLights[i];
        const glm::vec3 position = light->getWorldPosition();
        lightPositions.insert(lightPositions.end(), {position.x, position.y, position.z});
        lightIntensities.push_back(light->intensity);
        lightColors.insert(lightColors.end(), {light->color.r, light->color.g, light->color.b});
        lightAttenuations.push_back(light->attenuation);
        if (readsBoundShadowMap(light) && i < kMaxShadowBits) {
            shadowBitmask |= static_cast<int>(1u << i);
        }
    }
}

}  // namespace tolvane
