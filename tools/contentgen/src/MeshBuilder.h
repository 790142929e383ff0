#pragma once
#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <cstdint>
#include <vector>

namespace tolvane::content {

struct Vertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;
    glm::vec3 tint{1.0f};  // linear factor on the picture's colour
};

struct Bounds {
    glm::vec3 min{1e30f};
    glm::vec3 max{-1e30f};
    void add(const glm::vec3& p);
};

// Collects an indexed triangle list. Triangles wind counter-clockwise seen
// from the side their normals point to, as the renderer culls back faces.
class MeshBuilder {
public:
    std::uint32_t addVertex(const glm::vec3& position, const glm::vec3& normal, const glm::vec2& uv,
                            const glm::vec3& tint = glm::vec3(1.0f));
    void addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c);
    // a, b, c, d counter-clockwise.
    void addQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d);

    // Adds `other` moved by `transform` (normals by its inverse transpose).
    void append(const MeshBuilder& other, const glm::mat4& transform = glm::mat4(1.0f));

    // Moves the texture coordinates into u range [u0, u1], for parts that
    // use one region of a shared picture (their u must lie in [0, 1]).
    void squeezeU(float u0, float u1);
    // The same along v, for parts whose v lies in [0, 1] while u repeats.
    void squeezeV(float v0, float v1);

    const std::vector<Vertex>& vertices() const { return vertices_; }
    // Whether any vertex tints its picture (the file then carries colours).
    bool isTinted() const;
    const std::vector<std::uint32_t>& indices() const { return indices_; }
    std::size_t triangleCount() const { return indices_.size() / 3; }
    Bounds bounds() const;

private:
    std::vector<Vertex> vertices_;
    std::vector<std::uint32_t> indices_;
};

}  // namespace tolvane::content
