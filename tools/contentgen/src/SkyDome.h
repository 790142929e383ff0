#pragma once
#include "MeshBuilder.h"
#include "SurfaceTexture.h"

#include <glm/vec3.hpp>

namespace tolvane::content {

// The night sky: a dome round the clearing, seen from inside, with a picture
// of stars over a gradient that pales towards the horizon and glows where the
// moon stands behind the trees. It only shines by itself (its material's
// emission) and reflects no light, so the demo draws it, and the moon,
// without lights; the demo's fog takes on its colour at the horizon.
class SkyDome {
public:
    // A touch warmer than grey: the picture itself carries the night's blue.
    static constexpr glm::vec3 kEmission{0.4f, 0.385f, 0.37f};
    static constexpr float kRadius = 45.0f;          // well inside the camera's far plane
    static constexpr float kLowestDegrees = -20.0f;  // below the wooded rim, so no gap shows

    // The dome comes in kParts slices round the horizon, each with its own
    // picture: one picture for the whole sky would have to be wider than
    // the texture size every OpenGL 3.3 driver must take (1024), and at 1024
    // a texel spans several pixels, so stars would smear into snowflakes.
    // With four, a texel is about a pixel of a 1024x600 picture.
    static constexpr int kParts = 4;

    // Slice `part` of the dome. Normals point to the centre; u runs across
    // the slice, v from the zenith (0) to the lowest ring (1).
    static MeshBuilder build(int segments, int rings, int part);

    // The picture of slice `part` for build()'s mapping: width x width
    // texels.
    static SurfaceTexture picture(int width, int part);

    // The moon: a disc just inside the dome, facing the clearing, low over
    // the woods; drawn with kMoonEmission so that it blooms.
    static MeshBuilder moon(int segments);
    static SurfaceTexture moonPicture(int size);
    static constexpr glm::vec3 kMoonEmission{12.0f};

    // Elevation in degrees of the picture's row v (0..1).
    static float elevationOfRow(float v);
};

}  // namespace tolvane::content
