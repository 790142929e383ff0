#pragma once
#include <glm/vec3.hpp>

#include <vector>

namespace tolvane::content {

class MeshBuilder;
class SceneModel;

// Everything around the hut: woodpile, torches, the fire pit with its
// benches, a fence, boulders and the pines at the edge of the clearing.
class PropsBuilder {
public:
    void build(SceneModel& model) const;

    // Where the pines stand (x, z) and how wide their lowest boughs reach
    // (in y); camera flights keep clear of these.
    static std::vector<glm::vec3> treeSites();

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
};

} // namespace tolvane::content
