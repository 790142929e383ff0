#pragma once

#include "scene/Object3D.h"

namespace tolvane {

// Common part of the lights. A light draws nothing itself: adding it to a
// parent registers it with the SceneContext, which turns the lights into the
// uniforms of every lit draw.
class Light : public Object3D {
public:
    explicit Light(float intensity = 0.0f);
    ~Light() override;

    // Brightness factor; the timeline may change it at any time.
    float intensity;
};

}  // namespace tolvane
