// The lighting context's bounding-box material and the colour shaders it is
// built from, on a real GL context.
#include "GlTestContext.h"
#include "base/GlObject.h"
#include "render/Material.h"
#include "render/SceneContext.h"

#include <GL/glew.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

namespace tolvane {
namespace {

TEST(SceneContextGl, BuildsAGreenColourMaterialAndBecomesCurrent)
{
    GLuint program = 0;
    {
        SceneContext context;
        EXPECT_EQ(&context, SceneContext::current());
        ASSERT_NE(nullptr, context.boundingBoxMaterial);
        Material& material = *context.boundingBoxMaterial;
        program = material.program();

        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(GL_TRUE, linked);
        EXPECT_EQ(glm::vec3(0.0f, 1.0f, 0.0f), material.color);
        for (const char* name : {"model", "view", "projection", "materialColor"}) {
            EXPECT_NE(-1, material.uniformLocation(name)) << name;
        }
        EXPECT_NE(-1, glGetAttribLocation(program, "position"));
        EXPECT_EQ(0, glGetFragDataLocation(program, "fragColor"));
        EXPECT_EQ(1, glGetFragDataLocation(program, "brightColor"));
    }
    EXPECT_EQ(nullptr, SceneContext::current());
    EXPECT_EQ(GL_FALSE, glIsProgram(program)) << "the material goes with its context";
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
}

// Draws one triangle that covers a 4 x 4 float target with two colour
// attachments, like the HDR framebuffer, and reads both back.
class ColourShaderOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_.name());
        for (int i = 0; i < 2; ++i) {
            glBindTexture(GL_TEXTURE_2D, targets_[i].name());
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, kSize, kSize, 0, GL_RGBA, GL_FLOAT, nullptr);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D, targets_[i].name(), 0);
        }
        const GLenum buffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
        glDrawBuffers(2, buffers);
        ASSERT_EQ(static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE), glCheckFramebufferStatus(GL_FRAMEBUFFER));
        glViewport(0, 0, kSize, kSize);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
    }

    void TearDown() override { glBindFramebuffer(GL_FRAMEBUFFER, 0); }

    void drawCovering(Material& material)
    {
        material.bind();
        const glm::mat4 identity(1.0f);
        for (const char* name : {"model", "view", "projection"}) {
            glUniformMatrix4fv(material.uniformLocation(name), 1, GL_FALSE, &identity[0][0]);
        }
        const float corners[9] = {-1.0f, -1.0f, 0.0f, 3.0f, -1.0f, 0.0f, -1.0f, 3.0f, 0.0f};
        GlVertexArray vertexArray;
        GlBuffer buffer;
        glBindVertexArray(vertexArray.name());
        glBindBuffer(GL_ARRAY_BUFFER, buffer.name());
        glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
        const GLint position = glGetAttribLocation(material.program(), "position");
        glEnableVertexAttribArray(position);
        glVertexAttribPointer(position, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        glBindVertexArray(0);
        glUseProgram(0);
    }

    glm::vec4 centrePixel(int attachment)
    {
        glm::vec4 pixel(-1.0f);
        glReadBuffer(GL_COLOR_ATTACHMENT0 + attachment);
        glReadPixels(kSize / 2, kSize / 2, 1, 1, GL_RGBA, GL_FLOAT, &pixel[0]);
        return pixel;
    }

    static constexpr int kSize = 4;
    GlFramebuffer framebuffer_;
    GlTexture targets_[2];
};

TEST_F(ColourShaderOutput, WritesTheColourAndOnlyBrightPartsToTheSecondTarget)
{
    SceneContext context;
    Material& material = *context.boundingBoxMaterial;

    drawCovering(material);
    EXPECT_EQ(glm::vec4(0.0f, 1.0f, 0.0f, 1.0f), centrePixel(0));
    EXPECT_EQ(glm::vec3(0.0f), glm::vec3(centrePixel(1))) << "plain green does not bloom";

    material.color = glm::vec3(4.0f, 2.0f, 1.0f);
    drawCovering(material);
    EXPECT_EQ(glm::vec4(4.0f, 2.0f, 1.0f, 1.0f), centrePixel(0));
    EXPECT_EQ(glm::vec3(4.0f, 2.0f, 1.0f), glm::vec3(centrePixel(1)));
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
}

}  // namespace
}  // namespace tolvane
