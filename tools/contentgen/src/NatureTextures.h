#pragma once
#include "SurfaceTexture.h"

namespace tolvane::content {

// Pictures of the clearing: ground, thatch, needles and stone.
class NatureTextures {
public:
    static SurfaceTexture ground(int size);
    // Straw runs along v (down the roof), in overlapping courses.
    static SurfaceTexture thatch(int size);
    static SurfaceTexture pineNeedles(int size);
    // Rounded stones set in earth, for the plinth, the step and the fire ring.
    static SurfaceTexture cobbles(int size);
    static SurfaceTexture granite(int size);
};

}  // namespace tolvane::content
