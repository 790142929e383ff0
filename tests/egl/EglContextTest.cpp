// The EGL context of the capture tool on this machine's own EGL driver
// (Mesa's software device in CI), run without any X display: GLEW and the
// context's own loader give working core-profile entry points, framebuffer 0
// is a picture of the asked size, and what EGL cannot give is refused
// without a crash.
#include "session/EglContext.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using tolvane::EglContext;

// Paints the left half of clip space in `colour` from gl_VertexID alone.
const char* const kVertexShader = R"(#version 330 core
void main() {
    vec2 corners[6] = vec2[](vec2(-1, -1), vec2(0, -1), vec2(0, 1), vec2(-1, -1), vec2(0, 1), vec2(-1, 1));
    gl_Position = vec4(corners[gl_VertexID], 0.0, 1.0);
})";
const char* const kFragmentShader = R"(#version 330 core
uniform vec4 colour;
out vec4 fragColor;
void main() { fragColor = colour; })";

GLuint compile(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    EXPECT_EQ(ok, GL_TRUE);
    return shader;
}

std::array<unsigned char, 4> pixel(int x, int y)
{
    std::array<unsigned char, 4> rgba{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

template <typename Function>
Function entryPoint(const EglContext& egl, const char* name)
{
    return reinterpret_cast<Function>(egl.procAddress(name));
}

TEST(EglContextTest, DrawsIntoFramebufferZeroOfTheAskedSizeWithoutADisplay)
{
    EglContext egl;
    std::string error;
    ASSERT_TRUE(egl.open(error)) << error;
    ASSERT_TRUE(egl.makeCurrent(48, 32));
    ASSERT_TRUE(egl.loadEntryPoints());
    glGetError();
    EXPECT_FALSE(egl.hasWindow());
    EXPECT_EQ(egl.describe().rfind("EGL ", 0), 0u) << egl.describe();

    GLint major = 0, minor = 0, profile = 0, viewport[4] = {};
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_GE(major * 10 + minor, 33);
    EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
    EXPECT_EQ(viewport[2], 48);
    EXPECT_EQ(viewport[3], 32);

    // The entry points start-up takes from the context's loader instead of GLEW's.
    for (const char* name :
         {"glGenVertexArrays", "glBindVertexArray", "glDeleteVertexArrays", "glGenerateMipmap", "glGenFramebuffers",
          "glBindFramebuffer", "glCheckFramebufferStatus", "glFramebufferTexture"})
        EXPECT_NE(egl.procAddress(name), nullptr) << name;
    const auto genVertexArrays = entryPoint<PFNGLGENVERTEXARRAYSPROC>(egl, "glGenVertexArrays");
    const auto bindVertexArray = entryPoint<PFNGLBINDVERTEXARRAYPROC>(egl, "glBindVertexArray");
    const auto bindFramebuffer = entryPoint<PFNGLBINDFRAMEBUFFERPROC>(egl, "glBindFramebuffer");
    const auto framebufferStatus = entryPoint<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(egl, "glCheckFramebufferStatus");

    const GLuint program = glCreateProgram();
    glAttachShader(program, compile(GL_VERTEX_SHADER, kVertexShader));
    glAttachShader(program, compile(GL_FRAGMENT_SHADER, kFragmentShader));
    glLinkProgram(program);
    GLuint vertexArray = 0;
    genVertexArrays(1, &vertexArray);
    ASSERT_NE(vertexArray, 0u);

    bindFramebuffer(GL_FRAMEBUFFER, 0);
    EXPECT_EQ(framebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glUseProgram(program);
    glUniform4f(glGetUniformLocation(program, "colour"), 1.0f, 0.0f, 0.0f, 1.0f);
    bindVertexArray(vertexArray);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    egl.present();
    egl.present();  // waits on the first frame's fence

    EXPECT_EQ(pixel(3, 16), (std::array<unsigned char, 4>{255, 0, 0, 255}));
    EXPECT_EQ(pixel(44, 16), (std::array<unsigned char, 4>{0, 0, 255, 255}));
    EXPECT_EQ(pixel(44, 31), (std::array<unsigned char, 4>{0, 0, 255, 255}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(EglContextTest, RefusesSizesItCannotGiveAndKeepsWorking)
{
    EglContext egl;
    std::string error;
    ASSERT_TRUE(egl.open(error)) << error;
    EXPECT_FALSE(egl.makeCurrent(0, 16));
    EXPECT_FALSE(egl.makeCurrent(1 << 20, 16));
    EXPECT_FALSE(egl.makeCurrent(16, 1 << 20));
    ASSERT_TRUE(egl.makeCurrent(20, 10));
    ASSERT_TRUE(egl.loadEntryPoints());
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(pixel(19, 9), (std::array<unsigned char, 4>{0, 255, 0, 255}));

    // Another size replaces the picture; the context stays the same.
    ASSERT_TRUE(egl.makeCurrent(64, 40));
    glClearColor(1.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(pixel(63, 39), (std::array<unsigned char, 4>{255, 255, 0, 255}));
}

TEST(EglContextTest, AMissingLibraryIsOneLineAndNoContext)
{
    EglContext egl("libEGL-not-installed.so.1");
    std::string error;
    EXPECT_FALSE(egl.open(error));
    EXPECT_NE(error.find("EGL is not available"), std::string::npos) << error;
    EXPECT_NE(error.find("libEGL-not-installed.so.1"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_FALSE(egl.makeCurrent(16, 16));
    EXPECT_EQ(egl.procAddress("glGenVertexArrays"), nullptr);
}

}  // namespace
