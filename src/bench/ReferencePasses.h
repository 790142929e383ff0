#pragma once

#include "render/Material.h"

#include <vector>

namespace tolvane {

class Mesh;
class Object3D;
class Renderer;
struct View;

// The cheapest forms of the film's heavy passes, drawn by the bench on the
// renderer's own targets right after a frame, so that every pass of ours can
// be quoted as a ratio to what the same work costs done simply, in the same
// run on the same machine:
// - the ten blur passes with the common 9-tap Gaussian (5 bilinear fetches),
// - the ten blur passes with a one-fetch copy: the blur's floor,
// - the scene with every mesh drawn by a one-fetch unlit program: its floor,
// - the shadow pass with an empty fragment stage: its floor.
// Each is timed through the active GpuProfiler under its own GpuPass. They
// overwrite the frame's targets, so they run after the frame is kept and
// presented; the next frame redraws everything. Needs the demo's scene and
// renderer and a current GL context.
class ReferencePasses {
public:
    // Compiles the reference programs; fatal on failure, like every program.
    ReferencePasses();

    ReferencePasses(const ReferencePasses&) = delete;
    ReferencePasses& operator=(const ReferencePasses&) = delete;

    // Draws and times the four references of `view` with `renderer`. The
    // scene is only read: every mesh and shadow map keeps its own program.
    void draw(Renderer& renderer, const View& view);

private:
    void drawBlurs(Renderer& renderer);
    void drawSceneFloor(Renderer& renderer, const View& view);
    void drawShadowFloor(Renderer& renderer, const View& view);
    void collectMeshes(Object3D& node);

    Material gaussianBlur;
    Material copyBlur;
    Material unlit;
    Material emptyShadow;
    std::vector<Mesh*> meshes;  // of the scene, gathered per draw; not owned
};

}  // namespace tolvane
