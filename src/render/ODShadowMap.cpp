#include "render/ODShadowMap.h"

#include "base/Diagnostics.h"
#include "render/FramebufferStatus.h"
#include "render/Material.h"
#include "scene/PerspectiveCamera.h"

#include <glm/gtc/matrix_transform.hpp>

namespace tolvane {

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
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_.name());
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, cubeTexture_.name(), 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    complete_ = framebufferReady();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
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
    Material& writer = program != nullptr ? *program : *material;
    writer.bind();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_.name());
    glViewport(0, 0, faceSize[0], faceSize[1]);
    writer.setUniform("l_pos", glm::vec4(lightPosition, 1.0f));
    writer.setUniform("near_far", glm::vec2(nearPlane, farPlane));
    writer.setUniform("shadow_mat", shadowMatrices, 6);
}

void ODShadowMap::bindForReading(Material* lit)
{
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeTexture_.name());
    glBindSampler(2, compareSampler_.name());
    lit->setUniform("near_far", glm::vec2(nearPlane, farPlane));
}

}  // namespace tolvane
