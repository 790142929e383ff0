#pragma once

#include "base/GlObject.h"
#include "scene/Object3D.h"

#include <glm/vec3.hpp>

#include <GL/glew.h>

namespace tolvane {

class BoundingBox;
class Geometry;
class Material;
class Texture;

// The buffers of a mesh's vertex attributes and triangles.
struct VertexBuffers {
    GlBuffer position;
    GlBuffer normal;
    GlBuffer index;
    GlBuffer uv;
    GlBuffer tangent{NoCreate};    // none without tangents
    GlBuffer biTangent{NoCreate};  // none without tangents
    // The geometry's colours, or one white read for every vertex; none when
    // the program reads no colour.
    GlBuffer color{NoCreate};
};

// The drawable scene node: GPU buffers made from a Geometry, drawn with a
// Material, optionally with a colour texture or sprite sheet and a normal
// map. A draw culls the mesh (and with it its whole subtree) against the
// camera's frustum and uploads the complete per-draw uniform contract:
// camera, model matrix, ambient and point lights, textures and the first
// shadow cube map. Needs a current GL context and a SceneContext for its
// whole life; owns its buffers, vertex array and bounding box.
class Mesh : public Object3D {
public:
    // Uploads `geometry` and records the attributes that `material`'s program
    // uses (position, normal, uv, and tangent, biTangent when the geometry has
    // them; color from the geometry's colours, white without them);
    // attributes the program lacks are skipped. Both pointers are kept,
    // not owned; the mesh must keep this material, whose attribute locations
    // its vertex array holds.
    Mesh(Geometry* geometry, Material* material);
    // Releases the buffers, the vertex array and the bounding box, then the
    // children. Geometry, material and textures are left alone.
    ~Mesh() override;

    // Advances a sprite-sheet texture to the frame of the absolute clock,
    // then updates the children.
    void update(double elapsedSeconds) override;
    // Draws the triangles into `shadowMap` when castsShadow (its writer()
    // is bound), to the faces its bounds can reach, then forwards to the
    // children.
    void drawShadow(Camera* camera, ODShadowMap* shadowMap) override;
    // Opaque meshes only (blended ones must not hide what lies behind
    // them); culled like draw(), children included.
    void drawDepth(Camera* camera, Material* depthProgram) override;
    // Culls, binds the material, uploads the uniforms, draws, then draws the
    // children. `camera` must have a frustum.
    void draw(Camera* camera) override;

    bool castsShadow = true;       // drawn in shadow passes
    Geometry* geometry;            // not owned
    Material* material;            // not owned
    Texture* texture = nullptr;    // colour texture or sprite sheet (unit 0); not owned
    Texture* normalMap = nullptr;  // normal map (unit 1); not owned
    // The colour texture's texels of alpha below one half are holes (see
    // Texture::hasCutout): `material` must discard them (a program built
    // with ShaderFiles::kAlphaTested), and the depth and shadow passes draw
    // the mesh with their program's alphaTestedVariant, which reads uv at
    // location 1 of the vertex array and the texture on unit 0.
    bool alphaTested = false;
    // Light the surface gives off by itself (a lit window, the night sky,
    // embers), as a multiple of its albedo per channel; never shadowed,
    // and what rises above the bloom threshold glows.
    glm::vec3 emission{0.0f};
    // Share of the lit programs' standard highlight, 0 (matte) to 1.
    float highlight = 1.0f;
    BoundingBox* boundingBox;  // owned; model space

    // The vertex array that reads the buffers with the material's attribute
    // locations, the position at location 0 in every program of ours.
    GLuint vertexArray() const { return vertexArray_.name(); }
    const VertexBuffers& buffers() const { return buffers_; }

private:
    void createBuffers();
    void enableAttributes();
    void enableColors(GLuint program);
    void uploadCamera(Camera* camera);
    void uploadLights();
    void bindTextures();
    void drawTriangles();
    Material* alphaTestedVariantOf(const Material& passProgram) const;
    void drawDepthWithHoles(const Camera& camera, Material& variant, const Material& depthProgram);
    void drawShadowWithHoles(const ODShadowMap& shadowMap, Material& variant);
    void drawWithHoles(Material& variant);

    GlVertexArray vertexArray_;
    VertexBuffers buffers_;
};

}  // namespace tolvane
