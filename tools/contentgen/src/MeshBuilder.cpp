#include "MeshBuilder.h"

#include <glm/common.hpp>
#include <glm/geometric.hpp>
#include <glm/mat3x3.hpp>
#include <glm/matrix.hpp>

namespace tolvane::content {

void Bounds::add(const glm::vec3& p)
{
    min = glm::min(min, p);
    max = glm::max(max, p);
}

std::uint32_t MeshBuilder::addVertex(const glm::vec3& position, const glm::vec3& normal, const glm::vec2& uv,
                                     const glm::vec3& tint)
{
    vertices_.push_back({position, glm::normalize(normal), uv, tint});
    return static_cast<std::uint32_t>(vertices_.size() - 1);
}

bool MeshBuilder::isTinted() const
{
    for (const Vertex& v : vertices_)
        if (v.tint != glm::vec3(1.0f))
            return true;
    return false;
}

void MeshBuilder::addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    indices_.insert(indices_.end(), {a, b, c});
}

void MeshBuilder::addQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d)
{
    addTriangle(a, b, c);
    addTriangle(a, c, d);
}

void MeshBuilder::append(const MeshBuilder& other, const glm::mat4& transform)
{
    const auto base = static_cast<std::uint32_t>(vertices_.size());
    const glm::mat3 normalMatrix = glm::transpose(glm::inverse(glm::mat3(transform)));
    // A mirroring transform turns the winding inside out; flip it back.
    const bool mirrored = glm::determinant(glm::mat3(transform)) < 0.0f;
    for (const Vertex& v : other.vertices_) {
        const glm::vec3 p = glm::vec3(transform * glm::vec4(v.position, 1.0f));
        vertices_.push_back({p, glm::normalize(normalMatrix * v.normal), v.uv, v.tint});
    }
    for (std::size_t i = 0; i < other.indices_.size(); i += 3) {
        const std::uint32_t a = base + other.indices_[i];
        const std::uint32_t b = base + other.indices_[i + 1];
        const std::uint32_t c = base + other.indices_[i + 2];
        if (mirrored)
            addTriangle(a, c, b);
        else
            addTriangle(a, b, c);
    }
}

void MeshBuilder::squeezeU(float u0, float u1)
{
    for (Vertex& v : vertices_)
        v.uv.x = u0 + (u1 - u0) * glm::clamp(v.uv.x, 0.0f, 1.0f);
}

void MeshBuilder::squeezeV(float v0, float v1)
{
    for (Vertex& v : vertices_)
        v.uv.y = v0 + (v1 - v0) * glm::clamp(v.uv.y, 0.0f, 1.0f);
}

Bounds MeshBuilder::bounds() const
{
    Bounds b;
    for (const Vertex& v : vertices_)
        b.add(v.position);
    return b;
}

}  // namespace tolvane::content
