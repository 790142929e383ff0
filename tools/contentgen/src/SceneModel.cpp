#include "SceneModel.h"

namespace tolvane::content {

MeshBuilder& SceneModel::part(const std::string& name, const std::string& texture, const glm::vec3& emission)
{
    if (ModelPart* made = find(name))
        return made->mesh;
    parts_.push_back({name, texture, MeshBuilder(), emission});
    return parts_.back().mesh;
}

void SceneModel::setHighlight(const std::string& name, float highlight)
{
    if (ModelPart* p = find(name))
        p->highlight = highlight;
}

void SceneModel::setSelfLit(const std::string& name)
{
    if (ModelPart* p = find(name)) {
        p->selfLit = true;
        p->highlight = 0.0f;
    }
}

ModelPart* SceneModel::find(const std::string& name)
{
    for (ModelPart& p : parts_)
        if (p.name == name)
            return &p;
    return nullptr;
}

std::size_t SceneModel::triangleCount() const
{
    std::size_t n = 0;
    for (const ModelPart& p : parts_)
        n += p.mesh.triangleCount();
    return n;
}

}  // namespace tolvane::content
