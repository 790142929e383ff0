#pragma once
#include "MeshBuilder.h"

#include <deque>
#include <string>

namespace tolvane::content {

// One mesh of the exported model with its own material. `texture` is the
// base name of the colour picture under ../Textures/ (several materials may
// name the same picture); its normal map is <texture>_nm.png.
struct ModelPart {
    std::string name;
    std::string texture;
    MeshBuilder mesh;
};

class SceneModel {
public:
    MeshBuilder& part(const std::string& name, const std::string& texture);
    const std::deque<ModelPart>& parts() const { return parts_; }
    std::size_t triangleCount() const;

private:
    std::deque<ModelPart> parts_;  // deque: part() hands out references that must stay valid
};

}  // namespace tolvane::content
