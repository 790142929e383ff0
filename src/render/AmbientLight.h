#pragma once

#include "render/Light.h"

namespace tolvane {

// One intensity for the whole scene. The last one added to the graph is the
// one every draw uses.
class AmbientLight : public Light {
public:
    // `intensity`: the strength every lit surface receives, 0 for none.
    explicit AmbientLight(float intensity);
};

}  // namespace tolvane
