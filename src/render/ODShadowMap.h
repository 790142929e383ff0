#pragma once

#include "base/GlObject.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

namespace tolvane {

class Material;
class PerspectiveCamera;

// Omnidirectional shadow map of one point light: a depth cube map of
// 1000 x 1000 texels per face, filled in a single layered pass whose geometry
// shader sends every triangle to all six faces. Each texel holds the window
// depth of the nearest surface in its face's projection (near and far planes
// nearPlane and farPlane), which lit shaders rebuild from near_far for a
// point's distance along the face's axis. Needs a current GL context
// for its whole life; owns its camera, cube texture and framebuffer.

class ODShadowMap {
public:
    // Draws with `material`, the layered depth program (not owned; it must
    // outlive the map).
    explicit ODShadowMap(Material* material);
    virtual ~ODShadowMap();

    ODShadowMap(const ODShadowMap&) = delete;
    ODShadowMap& operator=(const ODShadowMap&) = delete;

    // shadowMatrices[i] = projection x faceRotations[i] x translate(-position);
    // `position` is the light's world position.
    void updateMatrices(const glm::vec3& position);

    // Binds `program` (the map's own material when null) and this map's
    // framebuffer, sets the 1000 x 1000 viewport and uploads l_pos, near_far
    // and shadow_mat. The caller clears depth and draws.
    void bindForWriting(Material* program = nullptr);

    // Binds the cube map with compareSampler to texture unit 2 (where every
    // program's depthMap reads) and sets near_far on `material`, which must
    // be the current program. Leaves unit 2 active.
    void bindForReading(Material* material);

    // Rotation part of the look-at view of each cube face, in OpenGL's face
    // order (+X, -X, +Y, -Y, +Z, -Z).
    static const glm::mat4 faceRotations[6];

    PerspectiveCamera* shadowCamera;  // owned; 90 degrees, aspect 1, near 0.1, far 15
    Material* material;               // shadow program, not owned
    float nearPlane = 0.1f;           // world units from the light
    float farPlane = 15.0f;           // world units; depth 1.0 in the map
    int faceSize[2] = {1000, 1000};   // texels per face, width and height
    glm::mat4 shadowMatrices[6];      // world space to each face's clip space
    glm::vec3 lightPosition{0.0f};    // world position of the last update

    GLuint cubeTexture() const { return cubeTexture_.name(); }
    GLuint framebuffer() const { return framebuffer_.name(); }
    GLuint compareSampler() const { return compareSampler_.name(); }
    // False when the driver called the layered depth framebuffer incomplete.
    bool complete() const { return complete_; }

private:
    void createCubeTexture();
    void createFramebuffer();
    void createCompareSampler();

    GlTexture cubeTexture_;      // depth cube map
    GlFramebuffer framebuffer_;  // layered depth framebuffer
    // How the lit shaders read the map: depth comparison (<=) with bilinear
    // filtering of the four results, so one fetch is a 2 x 2 PCF. A sampler
    // object, so the cube map keeps its own nearest, non-comparing state.
    GlSampler compareSampler_;
    bool complete_ = false;
};

}  // namespace tolvane
