#pragma once

#include "render/Light.h"

namespace tolvane {

// One intensity for the whole scene. The last one added to the graph is the
// one every draw uses.
class AmbientLight : public Light {
public:
    // Takes its intensity from the application's `ambient` setting.
    AmbientLight();
};

}  // namespace tolvane
