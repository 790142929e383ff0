#pragma once

#include "base/GlObject.h"
#include "scene/Object3D.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace tolvane {

class Font;
class Material;

// A line of screen text: a scene node that lays `text` out glyph by glyph
// from its world position, one textured quad per byte, in pixel units. Meant
// to be drawn with the overlay's orthographic camera (y pointing up).
// Only the x and y of the world position count; rotation, scaling and z in
// the matrices are ignored and `scale` alone sizes the glyphs.
class Text : public Object3D {
public:
    // `font` and `material` (the text program) are not owned and must
    // outlive the node. Needs a current GL context.
    Text(Font* font, Material* material, std::string text);
    // Deletes the quads' buffer and vertex array, then the children.
    ~Text() override;

    // Draws the string with `camera`'s projection (nothing else of the
    // camera is used), then nothing more: children are not drawn. A byte
    // the font has no glyph for gets an empty glyph, which shows nothing
    // and does not move the pen. The quads go to the GPU in one upload, and
    // only when the text, its place or its scale changed since the last draw.
    void draw(Camera* camera) override;

    std::string text;                   // bytes drawn, reassigned freely
    glm::vec3 color{0.0f, 1.0f, 0.0f};  // RGB, 0 to 1
    float opacity = 1.0f;               // 0 invisible to 1 opaque, scales the glyphs' coverage
    float scale = 1.0f;                 // glyph size factor
    Font* font;                         // not owned
    Material* material;                 // not owned

    // The quads: 6 vertices x (x, y, u, v) per byte, one draw per byte.
    GLuint vertexArray() const { return vertexArray_.name(); }

private:
    void initBuffers();
    void uploadUniforms(Camera* camera);
    // Lays the string out from `pen` into quads_ and uploads them.
    void uploadQuads(const glm::vec3& pen);
    // Appends one byte's quad at the pen; returns how far the pen moves, pixels.
    float layOutGlyph(char ch, float x, float y);

    GlVertexArray vertexArray_;
    GlBuffer vertexBuffer_;
    GLsizeiptr bufferBytes_ = 0;  // size of vertexBuffer_'s storage
    std::vector<float> quads_;    // reused: the frame allocates nothing once it has grown
    // What the buffer holds now.
    std::string uploadedText_;
    glm::vec3 uploadedPen_{0.0f};
    float uploadedScale_ = 0.0f;
};

}  // namespace tolvane
