#include "render/Text.h"

#include "base/Diagnostics.h"
#include "render/Material.h"
#include "scene/Camera.h"
#include "scene/Font.h"

#include <utility>

namespace tolvane {

namespace {
constexpr int kVerticesPerGlyph = 6;
constexpr int kFloatsPerGlyph = kVerticesPerGlyph * 4;
}  // namespace

Text::Text(Font* face, Material* program, std::string line) : text(std::move(line)), font(face), material(program)
{
    initBuffers();
}

Text::~Text() = default;

void Text::initBuffers()
{
    glBindVertexArray(vertexArray_.name());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_.name());
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
    glBindVertexArray(vertexArray_.name());
    const glm::vec3 pen = getWorldPosition();
    if (text != uploadedText_ || pen != uploadedPen_ || scale != uploadedScale_)
        uploadQuads(pen);
    for (size_t i = 0; i < text.size(); ++i) {
        glBindTexture(GL_TEXTURE_2D, font->glyphs[text[i]].texture.name());
        glDrawArrays(GL_TRIANGLES, static_cast<GLint>(i) * kVerticesPerGlyph, kVerticesPerGlyph);
    }
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void Text::uploadUniforms(Camera* camera)
{
    material->setUniform("projection", camera->projection);
    material->setUniform("color", color);
    material->setUniform("opacity", opacity);
}

void Text::uploadQuads(const glm::vec3& pen)
{
    quads_.clear();
    float x = pen.x;
    for (char ch : text)
        x += layOutGlyph(ch, x, pen.y);
    const auto bytes = static_cast<GLsizeiptr>(quads_.size() * sizeof(float));
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_.name());
    if (bytes > bufferBytes_) {
        glBufferData(GL_ARRAY_BUFFER, bytes, quads_.data(), GL_DYNAMIC_DRAW);
        bufferBytes_ = bytes;
    } else if (bytes > 0) {
        glBufferSubData(GL_ARRAY_BUFFER, 0, bytes, quads_.data());
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    uploadedText_ = text;
    uploadedPen_ = pen;
    uploadedScale_ = scale;
}

float Text::layOutGlyph(char ch, float x, float y)
{
    const Glyph& g = font->glyphs[ch];
    const float xpos = x + static_cast<float>(g.left) * scale;
    const float ypos = y - static_cast<float>(g.rows - g.top) * scale;
    const float w = static_cast<float>(g.width) * scale;
    const float h = static_cast<float>(g.rows) * scale;
    // Two triangles; the bitmap's first row is its top, hence v = 0 on top.
    // clang-format off
    const float vertices[kFloatsPerGlyph] = {
        xpos,     ypos + h, 0.0f, 0.0f,
        xpos,     ypos,     0.0f, 1.0f,
        xpos + w, ypos,     1.0f, 1.0f,
        xpos,     ypos + h, 0.0f, 0.0f,
        xpos + w, ypos,     1.0f, 1.0f,
        xpos + w, ypos + h, 1.0f, 0.0f,
    };
    // clang-format on
    quads_.insert(quads_.end(), std::begin(vertices), std::end(vertices));
    // Whole pixels first, then the scale: 1663/64 advances like 1600/64.
    return static_cast<float>(g.advance >> 6) * scale;
}

}  // namespace tolvane
