#pragma once

#include "scene/Object3D.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <string>

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
    // Deletes the quad's buffer and vertex array, then the children.
    ~Text() override;

    // Draws the string with `camera`'s projection (nothing else of the
    // camera is used), then nothing more: children are not drawn. A byte
    // the font has no glyph for gets an empty glyph, which shows nothing
    // and does not move the pen.
    void draw(Camera* camera) override;

    std::string text;                   // bytes drawn, reassigned freely
    glm::vec3 color{0.0f, 1.0f, 0.0f};  // RGB, 0 to 1
    float scale = 1.0f;                 // glyph size factor
    Font* font;                         // not owned
    Material* material;                 // not owned
    GLuint vertexBuffer = 0;            // one glyph quad: 6 vertices x (x, y, u, v)
    GLuint vertexArray = 0;

private:
    void initBuffers();
    void uploadUniforms(Camera* camera);
    // Draws one byte at the pen and returns how far the pen moves, pixels.
    float drawGlyph(char ch, float x, float y);
};

}  // namespace tolvane
