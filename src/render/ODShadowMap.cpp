#include "render/ODShadowMap.h"

#include "base/Diagnostics.h"
#include "render/FramebufferStatus.h"
#include "render/Material.h"
#include "scene/BoundingBox.h"
#include "scene/PerspectiveCamera.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace tolvane {

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
// How far past a face's edge the lookups of a point inside it may read: the
// soft shadow's taps (5 texels off), the lift off the surface (1.5 texels)
// and the filter (1 texel) come to under a degree at 1000 texels a face.
constexpr float kFaceReachDegrees = 3.0f;

}  // namespace

namespace {

// A rotation given by the three rows of its upper 3 x 3 part: the view-space
// x, y and z axes expressed in world space.
glm::mat4 rotationFromRows(glm::vec3 right, glm::vec3 up, glm::vec3 back)
{
    glm::mat4 m(1.0f);
    for (int column = 0; column < 3; ++column) {
        m[column][0] = right[column];
        m[column][1] = up[column];
        m[column][2] = back[column];
    }
    return m;
}

}  // namespace

// Looking along d with up u, a look-at view has rows s = d x u, u' = s x d
// and -d; the faces follow OpenGL's cube-map conventions.
const glm::mat4 ODShadowMap::faceRotations[6] = {
    rotationFromRows({0, 0, -1}, {0, -1, 0}, {-1, 0, 0}), rotationFromRows({0, 0, 1}, {0, -1, 0}, {1, 0, 0}),
    rotationFromRows({1, 0, 0}, {0, 0, 1}, {0, -1, 0}),   rotationFromRows({1, 0, 0}, {0, 0, -1}, {0, 1, 0}),
    rotationFromRows({1, 0, 0}, {0, -1, 0}, {0, 0, -1}),  rotationFromRows({-1, 0, 0}, {0, -1, 0}, {0, 0, 1}),
};

ODShadowMap::ODShadowMap(Material* depthProgram) :
    shadowCamera(new PerspectiveCamera(90.0f, 1.0f, 0.1f, 15.0f)),
    material(depthProgram)
{
    for (glm::mat4& matrix : shadowMatrices)
        matrix = glm::mat4(1.0f);
    createCubeTexture();
    createFramebuffer();
    createCompareSampler();
}

ODShadowMap::~ODShadowMap()
{
    delete shadowCamera;
}

void ODShadowMap::createCubeTexture()
{
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeTexture_.name());
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    for (GLenum face = 0; face < 6; ++face)
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_DEPTH_COMPONENT24, faceSize[0], faceSize[1], 0,
                     GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, nullptr);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

void ODShadowMap::createFramebuffer()
{
    complete_ = true;
    for (int face = 0; face < 6; ++face) {
        glBindFramebuffer(GL_FRAMEBUFFER, faceFramebuffers_[face].name());
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_CUBE_MAP_POSITIVE_X + face,
                               cubeTexture_.name(), 0);
        glDrawBuffer(GL_NONE);
        glReadBuffer(GL_NONE);
        complete_ = framebufferReady() && complete_;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void ODShadowMap::bindFace(int face)
{
    face_ = face;
    glBindFramebuffer(GL_FRAMEBUFFER, faceFramebuffers_[face].name());
    writer_->setUniform("face", face);
}

void ODShadowMap::createCompareSampler()
{
    const GLuint compareSampler = compareSampler_.name();
    glSamplerParameteri(compareSampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(compareSampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(compareSampler, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(compareSampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glSamplerParameteri(compareSampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glSamplerParameteri(compareSampler, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glSamplerParameteri(compareSampler, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
}

void ODShadowMap::updateMatrices(const glm::vec3& position)
{
    const glm::mat4 toLight = glm::translate(glm::mat4(1.0f), -position);
    for (int face = 0; face < 6; ++face)
        shadowMatrices[face] = shadowCamera->projection * faceRotations[face] * toLight;
    lightPosition = position;
}

void ODShadowMap::bindForWriting(Material* program)
{
    writer_ = program != nullptr ? program : material;
    writer_->bind();
    glViewport(0, 0, faceSize[0], faceSize[1]);
    uploadPassUniforms(*writer_);
}

void ODShadowMap::uploadPassUniforms(Material& program) const
{
    program.setUniform("l_pos", glm::vec4(lightPosition, 1.0f));
    program.setUniform("near_far", glm::vec2(nearPlane, farPlane));
    program.setUniform("shadow_mat", shadowMatrices, 6);
}

void ODShadowMap::bindInPlaceOfWriter(Material& program) const
{
    program.useProgram();
    uploadPassUniforms(program);
    program.setUniform("face", face_);
}

void ODShadowMap::bindForReading(Material* lit)
{
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeTexture_.name());
    glBindSampler(2, compareSampler_.name());
    lit->setUniform("near_far", glm::vec2(nearPlane, farPlane));
}

bool ODShadowMap::reaches(const BoundingBox& box, const glm::mat4& model, int face) const
{
    // Each clip plane as a linear function of a corner: out when > 0 at
    // every corner, and then out for the whole box between them.
    bool out[6] = {true, true, true, true, true, true};
    for (const glm::vec4& corner : box.corners) {
        const glm::vec4 c = shadowMatrices[face] * (model * corner);
        const float distances[6] = {c.x - c.w, -c.x - c.w, c.y - c.w, -c.y - c.w, c.z - c.w, -c.z - c.w};
        for (int plane = 0; plane < 6; ++plane)
            out[plane] = out[plane] && distances[plane] > 0.0f;
    }
    return std::none_of(std::begin(out), std::end(out), [](bool beyond) { return beyond; });
}

int ODShadowMap::unreachedFaces(const BoundingBox& box, const glm::mat4& model) const
{
    int unreached = 0;
    for (int face = 0; face < 6; ++face)
        if (!reaches(box, model, face))
            unreached |= 1 << face;
    return unreached;
}

int ODShadowMap::facesUnseenBy(const PerspectiveCamera& viewer) const
{
    // Nothing beyond farPlane from the light is looked up: the viewer's
    // frustum ends where all of it is that far.
    const float reach = glm::length(viewer.position - lightPosition) + farPlane;
    const glm::mat4 cut = glm::perspective(viewer.fov * kDegreesToRadians, viewer.aspect, viewer.near,
                                           std::max(viewer.near * 2.0f, std::min(viewer.far, reach)));
    const glm::mat4 toWorld = glm::inverse(cut * viewer.worldMatrix);
    glm::vec3 corners[8];
    for (int i = 0; i < 8; ++i) {
        const glm::vec4 ndc((i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f, 1.0f);
        const glm::vec4 world = toWorld * ndc;
        corners[i] = glm::vec3(world) / world.w - lightPosition;
    }
    // A face's pyramid, widened by kFaceReachDegrees on its four sides: a
    // point p (from the light) is inside while side . p <= slope * axis . p
    // for each side, which also puts it in front of the light, and while
    // axis . p <= farPlane. The frustum misses it when all its corners lie
    // outside one and the same of these planes. faceRotations' rows are the
    // face's right, up and back.
    const float slope = std::tan((45.0f + kFaceReachDegrees) * kDegreesToRadians);
    int unseen = 0;
    for (int face = 0; face < 6; ++face) {
        const glm::mat3 rows = glm::transpose(glm::mat3(faceRotations[face]));
        const glm::vec3 axis = -rows[2];
        // Each plane as (normal, offset): outside where normal . p > offset.
        const std::pair<glm::vec3, float> planes[6] = {{rows[0] - slope * axis, 0.0f},
                                                       {-rows[0] - slope * axis, 0.0f},
                                                       {rows[1] - slope * axis, 0.0f},
                                                       {-rows[1] - slope * axis, 0.0f},
                                                       {-axis, 0.0f},
                                                       {axis, farPlane}};
        for (const auto& [normal, offset] : planes) {
            bool allOut = true;
            for (const glm::vec3& p : corners)
                allOut = allOut && glm::dot(normal, p) > offset;
            if (allOut) {
                unseen |= 1 << face;
                break;
            }
        }
    }
    return unseen;
}

}  // namespace tolvane
