#include "scene/Text.h"

#include "base/Diagnostics.h"
#include "render/Material.h"
#include "scene/Camera.h"
#include "scene/Font.h"

#include <utility>

namespace tolvane {

namespace {
constexpr GLsizeiptr kQuadBytes = 6 * 4 * sizeof(float);
}  // namespace

Text::Text(Font* font, Material* material, std::string text) : text(std::move(text)), font(font), material(material)
{
    initBuffers();
}

Text::~Text()
{
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteVertexArrays(1, &vertexArray);
}

void Text::initBuffers()
{
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, kQuadBytes, nullptr, GL_DYNAMIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 4 * sizeof(float), nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void Text::draw(Camera* camera)
{
    material->bind();
    uploadUniforms(camera);
    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(vertexArray);
    checkGLError();

    const glm::vec3 pen = getWorldPosition();
    float x = pen.x;
    for (char ch : text)
        x += drawGlyph(ch, x, pen.y);

    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    checkGLError();
}

void Text::uploadUniforms(Camera* camera)
{
    material->setUniform("projection", camera->projection);
    material->setUniform("color", color);
}

float Text::drawGlyph(char ch, float x, float y)
{
    const Glyph& g = font->glyphs[ch];
    const float xpos = x + static_cast<float>(g.left) * scale;
    const float ypos = y - static_cast<float>(g.rows - g.top) * scale;
    const float w = static_cast<float>(g.width) * scale;
    const float h = static_cast<float>(g.rows) * scale;
    // Two triangles; the bitmap's first row is its top, hence v = 0 on top.
    // clang-format off
    const float vertices[6][4] = {
        {xpos, ypos + h, 0.0f, 0.0f}, {xpos, ypos, 0.0f, 1.0f},
        {xpos + w, ypos, 1.0f, 1.0f}, {xpos, ypos + h, 0.0f, 0.0f},
        {xpos + w, ypos, 1.0f, 1.0f}, {xpos + w, ypos + h, 1.0f, 0.0f},
    };
    // clang-format on
    glBindTexture(GL_TEXTURE_2D, g.textureName);
    checkGLError();
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    checkGLError();
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof vertices, vertices);
    checkGLError();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    checkGLError();
    glDrawArrays(GL_TRIANGLES, 0, 6);
    checkGLError();
    // Whole pixels first, then the scale: 1663/64 advances like 1600/64.
    return static_cast<float>(g.advance >> 6) * scale;
}

}  // namespace tolvane
