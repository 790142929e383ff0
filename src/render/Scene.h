#pragma once

#include "scene/Object3D.h"

namespace tolvane {

// Root of a scene graph; destroying it destroys the whole graph. Its draw
// rebuilds the lighting arrays of the current SceneContext first, so every
// draw below sees this frame's light positions.
class Scene : public Object3D {
public:
    Scene();
    ~Scene() override;

    // Collects the lights, then draws the children depth-first in insertion
    // order. Nothing is sorted: blended meshes must be added after the opaque
    // ones they cover.
    void draw(Camera* camera) override;
};

}  // namespace tolvane
