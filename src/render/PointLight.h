#pragma once

#include "render/Light.h"

#include <glm/vec3.hpp>

namespace tolvane {

class ODShadowMap;

// A light at the node's world position (the translation of its world matrix).
// May cast shadows through a cube shadow map. Set castsShadow and shadowMap
// before adding the light to a parent: registration reads them at that moment
// and a later change never puts the map into the shadow pass; such a light,
// and any caster after the first, is lit unshadowed (see SceneContext).
class PointLight : public Light {
public:
    // attenuation: distance fall-off factor used by the lit shaders.
    PointLight(float intensity, float attenuation);

    // Forwards to the children, then, when castsShadow, moves the shadow
    // map's six face matrices to the light's world position.
    void update(double elapsedSeconds) override;

    float attenuation;
    // Linear RGB the intensity is multiplied by: firelight is warm, moonlight
    // cool. White unless set.
    glm::vec3 color{1.0f};
    bool castsShadow = false;          // whether shadowMap is filled and used
    ODShadowMap* shadowMap = nullptr;  // not owned; meaningful with castsShadow
};

}  // namespace tolvane
