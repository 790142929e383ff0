#pragma once

namespace tolvane::content {

class MeshBuilder;
class SceneModel;

// The log hut: stone plinth, log walls with a door and two windows, log
// gables and a thatched roof whose ridge runs front to back.
class HutBuilder {
public:
    void build(SceneModel& model) const;

    // Height of the roof's underside above the point x (anywhere under it).
    static float roofUnderside(float x);
    static float roofSlope();
    static float centreX();

private:
    void walls(MeshBuilder& mesh) const;
    void frontWall(MeshBuilder& mesh) const;
    void sideWall(MeshBuilder& mesh, float x, bool withWindow) const;
    void gables(MeshBuilder& mesh) const;
    void roof(MeshBuilder& mesh) const;
    void gableBoards(MeshBuilder& mesh) const;
    void roofSlab(MeshBuilder& mesh) const;
    void door(MeshBuilder& mesh) const;
    void windows(MeshBuilder& panes, MeshBuilder& sills) const;
    void plinth(MeshBuilder& mesh) const;
};

}  // namespace tolvane::content
