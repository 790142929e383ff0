#pragma once
#include <glm/vec3.hpp>

#include <utility>
#include <vector>

namespace tolvane::content {

class MeshBuilder;
class SceneModel;

// Everything around the hut: woodpile, torches, the fire pit with its
// benches, a fence, boulders and the pines at the edge of the clearing.
class PropsBuilder {
public:
    // Trees make way for the camera: none grows where it would swallow
    // one of `cameraPositions`.
    explicit PropsBuilder(std::vector<glm::vec3> cameraPositions) : camera_(std::move(cameraPositions)) {}

    void build(SceneModel& model) const;

    // Where the pines stand (x, z) and how wide their lowest boughs reach
    // (in y).
    std::vector<glm::vec3> treeSites() const;

private:
    void woodpile(MeshBuilder& mesh) const;
    void firePitStones(MeshBuilder& mesh) const;
    void firePitLogs(MeshBuilder& mesh) const;
    void benches(MeshBuilder& mesh) const;
    void wallTorch(MeshBuilder& mesh) const;
    void poleTorch(MeshBuilder& mesh) const;
    void trunks(MeshBuilder& mesh) const;
    void crowns(MeshBuilder& mesh) const;
    void fence(MeshBuilder& mesh) const;
    void rocks(MeshBuilder& mesh) const;
    bool crowdsCamera(const glm::vec3& site) const;

    std::vector<glm::vec3> camera_;
};

}  // namespace tolvane::content
