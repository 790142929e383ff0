#include "base/GlObject.h"

#include <atomic>

namespace tolvane {

namespace {

// Plain counters: nothing is ordered by them, they only have to be whole
// when read from another thread.
std::atomic<int> madeCounts[kGlKindCount];
std::atomic<int> deletedCounts[kGlKindCount];

// The gen/delete pairs of OpenGL, one name at a time.
template <typename Generate>
GLuint generated(Generate generate)
{
    GLuint name = 0;
    generate(1, &name);
    return name;
}

}  // namespace

const char* glKindName(GlKind kind)
{
    static const char* const kNames[kGlKindCount] = {
        "buffers",  "vertex_arrays",       "textures", "framebuffers", "renderbuffers", "queries",
        "samplers", "transform_feedbacks", "programs", "shaders"};
    return kNames[static_cast<int>(kind)];
}

int GlObjectCounts::totalLive() const
{
    int total = 0;
    for (int kind = 0; kind < kGlKindCount; ++kind)
        total += made[kind] - deleted[kind];
    return total;
}

GlObjectCounts glObjectCounts() noexcept
{
    GlObjectCounts counts;
    for (int kind = 0; kind < kGlKindCount; ++kind) {
        counts.made[kind] = madeCounts[kind].load(std::memory_order_relaxed);
        counts.deleted[kind] = deletedCounts[kind].load(std::memory_order_relaxed);
    }
    return counts;
}

void countGlObjectMade(GlKind kind) noexcept
{
    madeCounts[static_cast<int>(kind)].fetch_add(1, std::memory_order_relaxed);
}

void countGlObjectDeleted(GlKind kind) noexcept
{
    deletedCounts[static_cast<int>(kind)].fetch_add(1, std::memory_order_relaxed);
}

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
