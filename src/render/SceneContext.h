#pragma once

#include "base/NoCreate.h"
#include "scene/NodeRegistry.h"

#include <vector>

namespace tolvane {

class AmbientLight;
class Material;
class ODShadowMap;
class Object3D;
class PointLight;

// The process-wide lighting context: knows the lights of the scene and the
// material of the bounding boxes. Exactly one exists while the scene does;
// it makes itself current when constructed and reachable through current().
// The scene assembly creates it before the first mesh and the first light
// and deletes it after the scene; nodes added while none exists (overlays
// built at start-up) are simply not registered.
class SceneContext : public NodeRegistry {
public:
    // Builds the green bounding-box material from the colour shaders.
    // Needs a current GL context.
    SceneContext();
    // Takes ownership of the given bounding-box material.
    explicit SceneContext(Material* boundingBoxMaterial);
    // No bounding-box material: light registration and collection alone,
    // which need no GL (meshes cannot be made under such a context).
    explicit SceneContext(NoCreateT);
    // Stops being current and destroys the bounding-box material.
    ~SceneContext() override;

    SceneContext(const SceneContext&) = delete;
    SceneContext& operator=(const SceneContext&) = delete;

    // The most recently constructed context; null once that one is destroyed.
    static SceneContext* current();

    // Registers the node's light, if it is one.
    void nodeAdded(Object3D* node) override { registerLight(node); }

    // Called by Object3D::addChild for every node added to any parent.
    // Point lights are appended (with their shadow map, when they cast
    // shadows at this moment); an ambient light replaces the previous one;
    // anything else is ignored. Lights are never unregistered.
    void registerLight(Object3D* node);

    // Rebuilds the flat light arrays and the shadow bitmask from the
    // registered point lights' current world positions and values. Called
    // at the start of every Scene::draw. Lit draws see only the first shadow
    // map, so only the light that registered it gets its bit (while it still
    // casts through that map); every other light is lit unshadowed.
    void collectLights();

    Material* boundingBoxMaterial;         // owned; null without GL
    AmbientLight* ambientLight = nullptr;  // not owned; latest added
    std::vector<PointLight*> pointLights;  // not owned; registration order
    std::vector<float> lightPositions;     // world x, y, z per point light
    std::vector<float> lightIntensities;   // one per point light
    std::vector<float> lightColors;        // linear r, g, b per point light
    std::vector<float> lightAttenuations;  // one per point light
    int shadowBitmask = 0;                 // bit i: point light i is shadowed
                                           // through the bound cube map
    std::vector<ODShadowMap*> shadowMaps;  // not owned; of the casters, in order

private:
    bool readsBoundShadowMap(const PointLight* light) const;

    PointLight* shadowedLight = nullptr;  // the light whose map is shadowMaps.front()
};

}  // namespace tolvane
