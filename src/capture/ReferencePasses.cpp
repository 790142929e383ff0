#include "capture/ReferencePasses.h"

#include "base/GpuProfiler.h"
#include "render/Mesh.h"
#include "render/ODShadowMap.h"
#include "render/Renderer.h"
#include "render/SceneContext.h"
#include "render/ShaderFiles.h"

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
    emptyShadow(ShaderFiles::kShadowVertex, kEmptyDepthFragment, ShaderFiles::kShadowGeometry)
{
}

void ReferencePasses::draw(Renderer& renderer, Object3D& root)
{
    drawShadowFloor(renderer);
    drawSceneFloor(renderer, root);
    drawBlurs(renderer);
}

void ReferencePasses::drawBlurs(Renderer& renderer)
{
    if (!renderer.postProcessing)
        return;
    {
        GpuProfiler::Scope timing(GpuPass::GaussianBlur);
        renderer.blurWith(gaussianBlur, renderer.brightTexture);
    }
    GpuProfiler::Scope timing(GpuPass::BlurFloor);
    renderer.blurWith(copyBlur, renderer.brightTexture);
}

// Every mesh, whatever its own program, is drawn once with the unlit one:
// the same triangles, culling and targets, with the least fragment work and
// no depth pre-pass.
void ReferencePasses::drawSceneFloor(Renderer& renderer, Object3D& root)
{
    meshes.clear();
    collectMeshes(root);
    ownPrograms.clear();
    for (Mesh* mesh : meshes) {
        ownPrograms.push_back(mesh->material);
        mesh->material = &unlit;
    }
    {
        GpuProfiler::Scope timing(GpuPass::SceneFloor);
        renderer.drawScene(false);
    }
    for (std::size_t i = 0; i < meshes.size(); ++i)
        meshes[i]->material = ownPrograms[i];
}

void ReferencePasses::drawShadowFloor(Renderer& renderer)
{
    SceneContext* context = SceneContext::current();
    if (context == nullptr || context->shadowMaps.empty())
        return;
    ownPrograms.clear();
    for (ODShadowMap* shadowMap : context->shadowMaps) {
        ownPrograms.push_back(shadowMap->material);
        shadowMap->material = &emptyShadow;
    }
    {
        GpuProfiler::Scope timing(GpuPass::ShadowFloor);
        renderer.drawShadowMaps();
    }
    for (std::size_t i = 0; i < context->shadowMaps.size(); ++i)
        context->shadowMaps[i]->material = ownPrograms[i];
}

void ReferencePasses::collectMeshes(Object3D& node)
{
    if (auto* mesh = dynamic_cast<Mesh*>(&node))
        meshes.push_back(mesh);
    for (Object3D* child : node.children)
        collectMeshes(*child);
}

}  // namespace tolvane
