#pragma once
#include "SurfaceTexture.h"

namespace tolvane::content {

// Pictures of the clearing: ground, thatch, needles and stone.
class NatureTextures {
public:
    static SurfaceTexture ground(int size);
    // Trodden earth with pebbles and the odd tuft: round the fire pit and
    // along the paths.
    static SurfaceTexture bareEarth(int size);
    // Straw runs along v (down the roof), in overlapping courses.
    static SurfaceTexture thatch(int size);
    // Bands of needles of kPineHues colours, stacked along v, each band a
    // whole bough from its underside (v 0) to its top (v 1); a tree takes
    // one band, so that neighbouring trees differ in hue.
    static constexpr int kPineHues = 3;
    static SurfaceTexture pineNeedles(int size);
    // Needles hanging from the branch tips, in the same bands and colours:
    // each band runs from the tips (its first rows) down to the card's foot;
    // alpha cuts a dozen drooping sprays across u, each ending in single
    // needles. The colour runs on under the holes, so that filtering does
    // not fringe the needles with another colour.
    static SurfaceTexture pineFringe(int size);
    // Rounded stones set in earth, for the plinth, the step and the fire ring.
    static SurfaceTexture cobbles(int size);
    static SurfaceTexture granite(int size);
};

}  // namespace tolvane::content
