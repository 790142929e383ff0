#include "render/PointLight.h"

namespace tolvane {

PointLight::PointLight(float intensity, float attenuation)
    : Light(intensity), attenuation(attenuation)
{
}

void PointLight::update(double elapsedSeconds)
{
    Object3D::update(elapsedSeconds);
}

}  // namespace tolvane
