#pragma once
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <string>
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
    // The worn path's centre line (x, z), from the door round the hut and
    // past the torch pole to the fire.
    static std::vector<glm::vec2> walkedPath();
    // Whether a site lies beyond the first ring, where trees are made coarser.
    static bool isFar(const glm::vec3& site);
    // How tall the pine at `site` grows, in metres.
    static float treeHeight(const glm::vec3& site);

    // The pines and the boulders are spread round the clearing: each goes to
    // the mesh of its sector (seen from the hut), so that a renderer can
    // leave out the sectors a view or a light cannot reach.
    static constexpr int kSectors = 12;
    static int sectorOf(float x, float z);

private:
    // The mesh of each sector, made on first use under `name`_<sector>.
    class SectorParts {
    public:
        // `highlight`: the parts' share of the specular highlight (needles
        // scatter the light more than they reflect it).
        SectorParts(SceneModel& model, std::string name, std::string texture, float highlight = 1.0f);
        MeshBuilder& at(float x, float z);

    private:
        SceneModel& model_;
        std::string name_;
        std::string texture_;
        float highlight_;
        MeshBuilder* parts_[kSectors] = {};
    };

    void woodpile(MeshBuilder& mesh) const;
    void firePitEmbers(MeshBuilder& mesh) const;
    void trodden(MeshBuilder& mesh) const;
    void firePitStones(MeshBuilder& mesh) const;
    void firePitLogs(MeshBuilder& mesh) const;
    void benches(MeshBuilder& mesh) const;
    void wallTorch(MeshBuilder& mesh) const;
    void poleTorch(MeshBuilder& mesh) const;
    void trunks(SectorParts& parts) const;
    void crowns(SectorParts& parts, SectorParts& fringes) const;
    void fence(MeshBuilder& mesh) const;
    void rocks(SectorParts& parts) const;
    bool crowdsCamera(const glm::vec3& site) const;

    std::vector<glm::vec3> camera_;
};

}  // namespace tolvane::content
