#pragma once

#include "base/NoCreate.h"

#include <GL/glew.h>

#include <utility>

namespace tolvane {

// Owns one name of a GL object kind: made when the owner is built, deleted
// when it is destroyed, moved but never copied, so that no name is deleted
// twice or left behind. `GlObject<Kind>(NoCreate)` holds no name until one is
// moved in; an owner without a name deletes nothing. A current GL context is
// needed wherever a name is made or deleted.
//
// Kind supplies `static GLuint create()` and `static void destroy(GLuint)`.
template <typename Kind>
class GlObject {
public:
    GlObject() : name_(Kind::create()) {}
    explicit GlObject(NoCreateT) noexcept {}
    ~GlObject() { reset(); }

    GlObject(GlObject&& other) noexcept : name_(std::exchange(other.name_, 0)) {}
    GlObject& operator=(GlObject&& other) noexcept
    {
        if (this != &other) {
            reset();
            name_ = std::exchange(other.name_, 0);
        }
        return *this;
    }
    GlObject(const GlObject&) = delete;
    GlObject& operator=(const GlObject&) = delete;

    // Takes over a name made elsewhere (glCreateShader(stage), say).
    static GlObject adopt(GLuint name) noexcept
    {
        GlObject object(NoCreate);
        object.name_ = name;
        return object;
    }

    // The GL name; 0 when the owner holds none.
    GLuint name() const noexcept { return name_; }
    explicit operator bool() const noexcept { return name_ != 0; }

    // Deletes the name now; the owner holds none afterwards.
    void reset() noexcept
    {
        if (name_ != 0)
            Kind::destroy(name_);
        name_ = 0;
    }

private:
    GLuint name_ = 0;
};

// The kinds of object the program makes. Each makes one name and deletes one.
struct GlBufferKind {
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlVertexArrayKind {
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlTextureKind {
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlFramebufferKind {
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlRenderbufferKind {
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlQueryKind {
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlSamplerKind {
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlTransformFeedbackKind {
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlProgramKind {
    static GLuint create();
    static void destroy(GLuint name);
};
// Shaders are made for a stage: adopt the result of glCreateShader(stage).
struct GlShaderKind {
    static GLuint create() = delete;
    static void destroy(GLuint name);
};

using GlBuffer = GlObject<GlBufferKind>;
using GlVertexArray = GlObject<GlVertexArrayKind>;
using GlTexture = GlObject<GlTextureKind>;
using GlFramebuffer = GlObject<GlFramebufferKind>;
using GlRenderbuffer = GlObject<GlRenderbufferKind>;
using GlQuery = GlObject<GlQueryKind>;
using GlSampler = GlObject<GlSamplerKind>;
using GlTransformFeedback = GlObject<GlTransformFeedbackKind>;
using GlProgram = GlObject<GlProgramKind>;
using GlShader = GlObject<GlShaderKind>;

}  // namespace tolvane
