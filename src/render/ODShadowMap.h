#pragma once

#include "base/GlObject.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

namespace tolvane {

class BoundingBox;
class Material;
class PerspectiveCamera;

// Omnidirectional shadow map of one point light: a depth cube map of
// 1000 x 1000 texels per face, filled face by face, each face drawing only
// the meshes whose bounds reach it and skipped whole when nothing a camera
// sees can read it. Each texel holds the window depth of the nearest surface
// in its face's projection (near and far planes nearPlane and farPlane),
// which lit shaders rebuild from near_far for a point's distance along the
// face's axis. Needs a current GL context for its whole life; owns its
// camera, cube texture and framebuffers.
class ODShadowMap {
public:
    // Draws with `material`, the depth program (not owned; it must outlive
    // the map), which projects by shadow_mat[face].
    explicit ODShadowMap(Material* material);
    virtual ~ODShadowMap();

    ODShadowMap(const ODShadowMap&) = delete;
    ODShadowMap& operator=(const ODShadowMap&) = delete;

    // shadowMatrices[i] = projection x faceRotations[i] x translate(-position);
    // `position` is the light's world position.
    void updateMatrices(const glm::vec3& position);

    // Binds `program` (the map's own material when null), sets the
    // 1000 x 1000 viewport and uploads l_pos, near_far and shadow_mat. Then
    // bindFace() picks the face to draw; the program stays writer() until
    // the next call.
    void bindForWriting(Material* program = nullptr);
    // Binds face `face`'s framebuffer (0 to 5, OpenGL's face order) and
    // tells the writer: the caller clears depth and draws that face.
    void bindFace(int face);
    // The program drawing into the map since the last bindForWriting.
    Material* writer() const { return writer_; }
    // Makes `program` current in the writer's place for a draw into the
    // face bound, with what the writer was given for it (the face matrices
    // and number, the light's place and planes): the writer's
    // alphaTestedVariant for an alpha-tested mesh. Values the program holds
    // already are not sent again. The caller makes the writer current again.
    void bindInPlaceOfWriter(Material& program) const;
    // The face bound by the last bindFace.
    int face() const { return face_; }

    // The faces no part of `box` (placed in the world by `model`) can reach:
    // bit f when all its corners lie beyond one and the same clip plane of
    // face f (behind the light's near plane, past its far plane, or off to a
    // side), where the face's clipping would drop every triangle.
    int unreachedFaces(const BoundingBox& box, const glm::mat4& model) const;
    // Whether some part of `box` may reach face `face`: its bit is clear in
    // unreachedFaces. What a face pass asks of each mesh, one face at a time.
    bool reaches(const BoundingBox& box, const glm::mat4& model, int face) const;
    // The faces no point `viewer` can see reads: bit f when its whole
    // frustum, cut off where every point lies beyond farPlane from the
    // light, is outside face f's pyramid widened by the lookups' reach (the
    // filtered taps of a soft shadow stray a little over a face's edge).
    int facesUnseenBy(const PerspectiveCamera& viewer) const;

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
    // The framebuffer of one face, the face's depth its attachment.
    GLuint framebuffer(int face) const { return faceFramebuffers_[face].name(); }
    GLuint compareSampler() const { return compareSampler_.name(); }
    // False when the driver called a face's framebuffer incomplete.
    bool complete() const { return complete_; }

private:
    void createCubeTexture();
    void createFramebuffer();
    void createCompareSampler();
    // Uploads what a program drawing the faces needs but the face number.
    void uploadPassUniforms(Material& program) const;

    GlTexture cubeTexture_;              // depth cube map
    GlFramebuffer faceFramebuffers_[6];  // one a face
    // How the lit shaders read the map: depth comparison (<=) with bilinear
    // filtering of the four results, so one fetch is a 2 x 2 PCF. A sampler
    // object, so the cube map keeps its own nearest, non-comparing state.
    GlSampler compareSampler_;
    bool complete_ = false;
    Material* writer_ = nullptr;  // not owned
    int face_ = 0;
};

}  // namespace tolvane
