#include "bench/ReferencePasses.h"

#include "base/GpuProfiler.h"
#include "render/Mesh.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "render/ShaderFiles.h"
#include "render/Texture.h"
#include "scene/BoundingBox.h"
#include "scene/Camera.h"
#include "scene/Frustum.h"
#include "scene/Geometry.h"
#include "scene/PerspectiveCamera.h"

namespace tolvane {

namespace {

const char* const kGaussianFragment = "Shader/Reference/gaussian9.frag";
const char* const kCopyFragment = "Shader/Reference/copy.frag";
const char* const kUnlitVertex = "Shader/Reference/unlit.vert";
const char* const kUnlitFragment = "Shader/Reference/unlit.frag";
const char* const kEmptyDepthFragment = "Shader/Reference/emptyDepth.frag";

}  // namespace

ReferencePasses::ReferencePasses() :
    gaussianBlur(ShaderFiles::kBlurVertex, kGaussianFragment, ""),
    copyBlur(ShaderFiles::kBlurVertex, kCopyFragment, ""),
    unlit(kUnlitVertex, kUnlitFragment, ""),
    emptyShadow(ShaderFiles::kShadowVertex, kEmptyDepthFragment, "")
{
}

void ReferencePasses::draw(Renderer& renderer, const View& view)
{
    drawShadowFloor(renderer, view);
    drawSceneFloor(renderer, view);
    drawBlurs(renderer);
}

void ReferencePasses::drawBlurs(Renderer& renderer)
{
    if (!renderer.postProcessing)
        return;
    {
        GpuProfiler::Scope timing(GpuPass::GaussianBlur);
        renderer.blurWith(gaussianBlur, renderer.brightTexture());
    }
    GpuProfiler::Scope timing(GpuPass::BlurFloor);
    renderer.blurWith(copyBlur, renderer.brightTexture());
}

// Every mesh, whatever its own program, is drawn once with the unlit one:
// the same triangles, culling, colour texture and targets, with the least
// fragment work and no depth pre-pass. Every program of ours reads the
// position at location 0, so each mesh's vertex array serves this one too.
void ReferencePasses::drawSceneFloor(Renderer& renderer, const View& view)
{
    if (view.scene == nullptr || view.camera == nullptr)
        return;
    meshes.clear();
    collectMeshes(*view.scene);
    GpuProfiler::Scope timing(GpuPass::SceneFloor);
    renderer.bindSceneTarget();
    unlit.bind();
    view.camera->updateWorldMatrix();
    unlit.setUniform("view", view.camera->worldMatrix);
    unlit.setUniform("projection", view.camera->projection);
    glActiveTexture(GL_TEXTURE0);
    for (Mesh* mesh : meshes) {
        mesh->updateWorldMatrix();
        if (view.camera->frustum->testBox(*mesh->boundingBox, mesh->worldMatrix) == Frustum::kOutside)
            continue;
        if (mesh->texture != nullptr)
            mesh->texture->bind();
        unlit.setUniform("model", mesh->worldMatrix);
        glBindVertexArray(mesh->vertexArray());
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh->geometry->indexCount), GL_UNSIGNED_INT, nullptr);
    }
    glBindVertexArray(0);
}

void ReferencePasses::drawShadowFloor(Renderer& renderer, const View& view)
{
    GpuProfiler::Scope timing(GpuPass::ShadowFloor);
    renderer.drawShadowMaps(view.scene, dynamic_cast<const PerspectiveCamera*>(view.camera), &emptyShadow);
}

void ReferencePasses::collectMeshes(Object3D& node)
{
    if (auto* mesh = dynamic_cast<Mesh*>(&node))
        meshes.push_back(mesh);
    for (Object3D* child : node.children)
        collectMeshes(*child);
}

}  // namespace tolvane
