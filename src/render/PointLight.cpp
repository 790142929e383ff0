#include "render/PointLight.h"

#include "render/ODShadowMap.h"

namespace tolvane {

PointLight::PointLight(float strength, float falloff) : Light(strength), attenuation(falloff) {}

void PointLight::update(double elapsedSeconds)
{
    Object3D::update(elapsedSeconds);
    // The shadow pass of this frame renders from where the light is now,
    // after whatever moved its parents during the update.
    if (castsShadow && shadowMap != nullptr)
        shadowMap->updateMatrices(getWorldPosition());
}

}  // namespace tolvane
