#include "base/GlObject.h"

namespace tolvane {

namespace {

// The gen/delete pairs of OpenGL, one name at a time.
template <typename Generate>
GLuint generated(Generate generate)
{
    GLuint name = 0;
    generate(1, &name);
    return name;
}

}  // namespace

GLuint GlBufferKind::create()
{
    return generated(glGenBuffers);
}

void GlBufferKind::destroy(GLuint name)
{
    glDeleteBuffers(1, &name);
}

GLuint GlVertexArrayKind::create()
{
    return generated(glGenVertexArrays);
}

void GlVertexArrayKind::destroy(GLuint name)
{
    glDeleteVertexArrays(1, &name);
}

GLuint GlTextureKind::create()
{
    return generated(glGenTextures);
}

void GlTextureKind::destroy(GLuint name)
{
    glDeleteTextures(1, &name);
}

GLuint GlFramebufferKind::create()
{
    return generated(glGenFramebuffers);
}

void GlFramebufferKind::destroy(GLuint name)
{
    glDeleteFramebuffers(1, &name);
}

GLuint GlRenderbufferKind::create()
{
    return generated(glGenRenderbuffers);
}

void GlRenderbufferKind::destroy(GLuint name)
{
    glDeleteRenderbuffers(1, &name);
}

GLuint GlQueryKind::create()
{
    return generated(glGenQueries);
}

void GlQueryKind::destroy(GLuint name)
{
    glDeleteQueries(1, &name);
}

GLuint GlSamplerKind::create()
{
    return generated(glGenSamplers);
}

void GlSamplerKind::destroy(GLuint name)
{
    glDeleteSamplers(1, &name);
}

GLuint GlTransformFeedbackKind::create()
{
    return generated(glGenTransformFeedbacks);
}

void GlTransformFeedbackKind::destroy(GLuint name)
{
    glDeleteTransformFeedbacks(1, &name);
}

GLuint GlProgramKind::create()
{
    return glCreateProgram();
}

void GlProgramKind::destroy(GLuint name)
{
    glDeleteProgram(name);
}

void GlShaderKind::destroy(GLuint name)
{
    glDeleteShader(name);
}

}  // namespace tolvane
