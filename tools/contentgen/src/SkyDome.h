#pragma once
#include "MeshBuilder.h"
#include "SurfaceTexture.h"

namespace tolvane::content {

// The night sky: a dome round the clearing, seen from inside, with a picture
// of stars over a gradient that pales towards the horizon and glows where the
// moon stands behind the trees. The scene lights it like any other surface
// (the ambient light and, faintly, the circling lamp), so the picture holds
// the sky's colours scaled up to what that lighting brings back down.
class SkyDome {
public:
    static constexpr float kRadius = 45.0f;          // well inside the camera's far plane
    static constexpr float kLowestDegrees = -20.0f;  // below the wooded rim, so no gap shows

    // Normals point to the centre; u runs once round, v from the zenith (0)
    // to the lowest ring (1).
    static MeshBuilder build(int segments, int rings);

    // The picture for build()'s mapping: width x width / 4 texels.
    static SurfaceTexture picture(int width);

    // Elevation in degrees of the picture's row v (0..1).
    static float elevationOfRow(float v);
};

}  // namespace tolvane::content
