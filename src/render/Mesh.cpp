#include "render/Mesh.h"

#include "base/Clock.h"
#include "render/AmbientLight.h"
#include "render/Material.h"
#include "render/ODShadowMap.h"
#include "render/SceneContext.h"
#include "render/SpriteSheet.h"
#include "scene/BoundingBox.h"
#include "scene/Camera.h"
#include "scene/Frustum.h"
#include "scene/Geometry.h"

#include <cmath>
#include <vector>

namespace tolvane {

namespace {

// Leaves the buffer bound to `target`.
template <typename T>
void fillBuffer(const GlBuffer& buffer, GLenum target, const std::vector<T>& data)
{
    glBindBuffer(target, buffer.name());
    glBufferData(target, static_cast<GLsizeiptr>(data.size() * sizeof(T)), data.data(), GL_STATIC_DRAW);
}

// Points the program's attribute `name`, when it has one, at `buffer`.
void enableAttribute(GLuint program, const char* name, const GlBuffer& buffer, GLint components)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer.name());
    GLint location = glGetAttribLocation(program, name);
    if (location == -1)
        return;
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0, nullptr);
}

// Points the program's attribute `name`, when it has one, at the first
// element of `buffer` for every vertex: an attribute read once per instance
// reads instance 0's element throughout a draw that is not instanced. Unlike
// a constant attribute value, which is context state, this stays with the
// vertex array.
void enableConstantAttribute(GLuint program, const char* name, const GlBuffer& buffer, GLint components)
{
    GLint location = glGetAttribLocation(program, name);
    if (location == -1)
        return;
    enableAttribute(program, name, buffer, components);
    glVertexAttribDivisor(static_cast<GLuint>(location), 1);
}

}  // namespace

Mesh::Mesh(Geometry* shape, Material* program) :
    geometry(shape),
    material(program),
    boundingBox(new BoundingBox(*shape, SceneContext::current()->boundingBoxMaterial))
{
    glBindVertexArray(vertexArray_.name());
    createBuffers();
    enableAttributes();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers_.index.name());
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

Mesh::~Mesh()
{
    delete boundingBox;
}

void Mesh::createBuffers()
{
    fillBuffer(buffers_.position, GL_ARRAY_BUFFER, geometry->positions);
    fillBuffer(buffers_.index, GL_ELEMENT_ARRAY_BUFFER, geometry->indices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    fillBuffer(buffers_.normal, GL_ARRAY_BUFFER, geometry->normals);
    fillBuffer(buffers_.uv, GL_ARRAY_BUFFER, geometry->uvs);
    if (geometry->hasTangents) {
        buffers_.tangent = GlBuffer();
        buffers_.biTangent = GlBuffer();
        fillBuffer(buffers_.tangent, GL_ARRAY_BUFFER, geometry->tangents);
        fillBuffer(buffers_.biTangent, GL_ARRAY_BUFFER, geometry->biTangents);
    }
}

void Mesh::enableAttributes()
{
    GLuint program = material->program();
    enableAttribute(program, "position", buffers_.position, 3);
    enableAttribute(program, "normal", buffers_.normal, 3);
    enableAttribute(program, "uv", buffers_.uv, 2);
    if (geometry->hasTangents) {
        enableAttribute(program, "tangent", buffers_.tangent, 3);
        enableAttribute(program, "biTangent", buffers_.biTangent, 3);
    }
    enableColors(program);
}

void Mesh::enableColors(GLuint program)
{
    if (glGetAttribLocation(program, "color") == -1)
        return;
    buffers_.color = GlBuffer();
    // Colours that do not cover every vertex are left out rather than read
    // past the end of their buffer.
    if (geometry->colors.size() == static_cast<size_t>(geometry->vertexCount) * 3) {
        fillBuffer(buffers_.color, GL_ARRAY_BUFFER, geometry->colors);
        enableAttribute(program, "color", buffers_.color, 3);
    } else {
        fillBuffer(buffers_.color, GL_ARRAY_BUFFER, std::vector<float>{1.0f, 1.0f, 1.0f});
        enableConstantAttribute(program, "color", buffers_.color, 3);
    }
}

void Mesh::update(double elapsedSeconds)
{
    if (texture != nullptr && texture->isSpriteSheet() && static_cast<SpriteSheet*>(texture)->frameCount > 0) {
        auto* sheet = static_cast<SpriteSheet*>(texture);
        double framePeriod = 1.0 / static_cast<double>(sheet->framesPerSecond);
        auto frame = static_cast<long long>(std::round(currentTime() / framePeriod));
        sheet->currentFrame = static_cast<std::uint32_t>(frame % sheet->frameCount);
    }
    Object3D::update(elapsedSeconds);
}

void Mesh::drawShadow(Camera* camera, ODShadowMap* shadowMap)
{
    if (castsShadow) {
        updateWorldMatrix();
        // A face the mesh cannot reach is left alone: clipping would drop
        // every one of its triangles.
        if (shadowMap->reaches(*boundingBox, worldMatrix, shadowMap->face())) {
            Material* writer = shadowMap->writer();
            if (Material* variant = alphaTestedVariantOf(*writer)) {
                drawShadowWithHoles(*shadowMap, *variant);
            } else {
                writer->setUniform("model", worldMatrix);
                glBindVertexArray(vertexArray_.name());
                glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(geometry->indexCount), GL_UNSIGNED_INT, nullptr);
            }
        }
    }
    Object3D::drawShadow(camera, shadowMap);
}

void Mesh::drawDepth(Camera* camera, Material* depthProgram)
{
    updateWorldMatrix();
    if (camera->frustum->testBox(*boundingBox, worldMatrix) == Frustum::kOutside)
        return;
    if (!material->blending) {
        if (Material* variant = alphaTestedVariantOf(*depthProgram)) {
            drawDepthWithHoles(*camera, *variant, *depthProgram);
        } else {
            depthProgram->setUniform("model", worldMatrix);
            glBindVertexArray(vertexArray_.name());
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(geometry->indexCount), GL_UNSIGNED_INT, nullptr);
        }
    }
    Object3D::drawDepth(camera, depthProgram);
}

void Mesh::draw(Camera* camera)
{
    updateWorldMatrix();
    if (camera->frustum->testBox(*boundingBox, worldMatrix) == Frustum::kOutside)
        return;
    material->bind();
    uploadCamera(camera);
    uploadLights();
    material->setUniform("emission", emission);
    material->setUniform("highlight", highlight);
    bindTextures();
    drawTriangles();
    Object3D::draw(camera);
}

void Mesh::uploadCamera(Camera* camera)
{
    camera->updateWorldMatrix();
    material->setUniform("view", camera->worldMatrix);
    material->setUniform("projection", camera->projection);
    updateWorldMatrix();
    material->setUniform("model", worldMatrix);
    material->setUniform("cameraPosition", camera->position);
}

void Mesh::uploadLights()
{
    SceneContext* context = SceneContext::current();
    if (context->ambientLight != nullptr)
        material->setUniform("ambientIntensity", context->ambientLight->intensity);
    const auto count = static_cast<int>(context->pointLights.size());
    if (count == 0)
        return;
    material->setUniform("pointLightCount", count);
    material->setUniform("pointLightPositions", context->lightPositions.data(), count, 3);
    material->setUniform("pointLightIntensities", context->lightIntensities.data(), count, 1);
    material->setUniform("pointLightColors", context->lightColors.data(), count, 3);
    material->setUniform("pointLightAttenuation", context->lightAttenuations.data(), count, 1);
    material->setUniform("pointLightShadowMapBitmask", context->shadowBitmask);
}

void Mesh::bindTextures()
{
    if (texture != nullptr && !texture->isNormalMap) {
        texture->bind();
        if (texture->isSpriteSheet())
            material->setUniform("spriteFrame", static_cast<SpriteSheet*>(texture)->frameRect());
    }
    if (normalMap != nullptr && normalMap->isNormalMap) {
        normalMap->bind();
    }
    SceneContext* context = SceneContext::current();
    if (!context->shadowMaps.empty())
        context->shadowMaps.front()->bindForReading(material);
}

void Mesh::drawTriangles()
{
    glBindVertexArray(vertexArray_.name());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(geometry->indexCount), GL_UNSIGNED_INT, nullptr);
    // The program, textures and vertex array stay bound: the next draw binds
    // its own, and setting them back to 0 would set each twice per draw. The
    // pass unbinds the array once at its end (Renderer::drawScene), so an
    // element buffer bound by code that makes buffers later cannot land in
    // this mesh's array.
}

// Without a colour texture there is nothing to find holes in.
Material* Mesh::alphaTestedVariantOf(const Material& passProgram) const
{
    return alphaTested && texture != nullptr ? passProgram.alphaTestedVariant : nullptr;
}

// The variant learns the camera here rather than from the pass, so that a
// frame without alpha-tested meshes never makes it current.
void Mesh::drawDepthWithHoles(const Camera& camera, Material& variant, const Material& depthProgram)
{
    variant.useProgram();
    variant.setUniform("view", camera.worldMatrix);
    variant.setUniform("projection", camera.projection);
    drawWithHoles(variant);
    depthProgram.useProgram();
}

void Mesh::drawShadowWithHoles(const ODShadowMap& shadowMap, Material& variant)
{
    shadowMap.bindInPlaceOfWriter(variant);
    drawWithHoles(variant);
    shadowMap.writer()->useProgram();
}

// `variant` is current and holds the pass's uniforms but the model matrix.
void Mesh::drawWithHoles(Material& variant)
{
    variant.setUniform("model", worldMatrix);
    texture->bind();
    glBindVertexArray(vertexArray_.name());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(geometry->indexCount), GL_UNSIGNED_INT, nullptr);
}

}  // namespace tolvane
