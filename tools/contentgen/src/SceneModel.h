#pragma once
#include "MeshBuilder.h"

#include <glm/vec3.hpp>

#include <deque>
#include <string>

namespace tolvane::content {

// One mesh of the exported model with its own material. `texture` is the
// base name of the colour picture under ../Textures/ (several materials may
// name the same picture); its normal map is <texture>_nm.png. `emission`
// is the light the surface gives off itself, as a multiple of its picture
// (the material's emissive colour in the file). `highlight` is the share
// of the renderer's specular highlight the surface gives, 0 (matte) to 1
// (the material's grey specular colour in the file, written when below 1).
// A `selfLit` part reflects no light at all (black diffuse and specular
// colours): the renderer draws it by its emission alone, without lights.
struct ModelPart {
    std::string name;
    std::string texture;
    MeshBuilder mesh;
    glm::vec3 emission{0.0f};
    float highlight = 1.0f;
    bool selfLit = false;
};

class SceneModel {
public:
    // The part of that name, made on first use with the texture and emission.
    MeshBuilder& part(const std::string& name, const std::string& texture, const glm::vec3& emission = glm::vec3(0.0f));
    // Sets the highlight of the part of that name.
    void setHighlight(const std::string& name, float highlight);
    // Makes the part of that name reflect no light, so that only its
    // emission shows.
    void setSelfLit(const std::string& name);
    const std::deque<ModelPart>& parts() const { return parts_; }
    std::size_t triangleCount() const;

private:
    // The part of that name (names are unique), or null.
    ModelPart* find(const std::string& name);

    std::deque<ModelPart> parts_;  // deque: part() hands out references that must stay valid
};

}  // namespace tolvane::content
