#pragma once

#include "base/NoCreate.h"

#include <GL/glew.h>

#include <utility>

namespace tolvane {

// The kinds of GL object the owners below make, each counted on its own.
enum class GlKind {
    Buffer,
    VertexArray,
    Texture,
    Framebuffer,
    Renderbuffer,
    Query,
    Sampler,
    TransformFeedback,
    Program,
    Shader
};
constexpr int kGlKindCount = static_cast<int>(GlKind::Shader) + 1;

// The name of a kind as a census table heads its column: "vertex_arrays".
const char* glKindName(GlKind kind);

// Every name the owners have made and deleted since the program started,
// per kind. The owners are the only way names are made, so `live` is the
// number of objects the program holds, whatever the driver's names: a leak
// shows as a live count that grows, a second delete as one that falls below
// what was made.
struct GlObjectCounts {
    int made[kGlKindCount] = {};
    int deleted[kGlKindCount] = {};

    int live(GlKind kind) const { return made[static_cast<int>(kind)] - deleted[static_cast<int>(kind)]; }
    int totalLive() const;
};

// A snapshot of the counters. They are relaxed atomics, kept as the owners
// make and delete names on the GL thread, so another thread may read them;
// a snapshot taken while names change is exact per counter, not across them.
GlObjectCounts glObjectCounts() noexcept;

// Called by the owners only, once for each name made or deleted.
void countGlObjectMade(GlKind kind) noexcept;
void countGlObjectDeleted(GlKind kind) noexcept;

// Owns one name of a GL object kind: made when the owner is built, deleted
// when it is destroyed, moved but never copied, so that no name is deleted
// twice or left behind. `GlObject<Kind>(NoCreate)` holds no name until one is
// moved in; an owner without a name deletes nothing. A current GL context is
// needed wherever a name is made or deleted.
//
// Kind supplies `static GLuint create()`, `static void destroy(GLuint)` and
// `static constexpr GlKind kind`, the counter its names go to.
template <typename Kind>
class GlObject {
public:
    GlObject() : name_(Kind::create())
    {
        if (name_ != 0)
            countGlObjectMade(Kind::kind);
    }
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
        if (name != 0)
            countGlObjectMade(Kind::kind);
        return object;
    }

    // The GL name; 0 when the owner holds none.
    GLuint name() const noexcept { return name_; }
    explicit operator bool() const noexcept { return name_ != 0; }

    // Deletes the name now; the owner holds none afterwards.
    void reset() noexcept
    {
        if (name_ != 0) {
            Kind::destroy(name_);
            countGlObjectDeleted(Kind::kind);
        }
        name_ = 0;
    }

private:
    GLuint name_ = 0;
};

// The kinds of object the program makes. Each makes one name and deletes one.
struct GlBufferKind {
    static constexpr GlKind kind = GlKind::Buffer;
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlVertexArrayKind {
    static constexpr GlKind kind = GlKind::VertexArray;
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlTextureKind {
    static constexpr GlKind kind = GlKind::Texture;
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlFramebufferKind {
    static constexpr GlKind kind = GlKind::Framebuffer;
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlRenderbufferKind {
    static constexpr GlKind kind = GlKind::Renderbuffer;
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlQueryKind {
    static constexpr GlKind kind = GlKind::Query;
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlSamplerKind {
    static constexpr GlKind kind = GlKind::Sampler;
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlTransformFeedbackKind {
    static constexpr GlKind kind = GlKind::TransformFeedback;
    static GLuint create();
    static void destroy(GLuint name);
};
struct GlProgramKind {
    static constexpr GlKind kind = GlKind::Program;
    static GLuint create();
    static void destroy(GLuint name);
};
// Shaders are made for a stage: adopt the result of glCreateShader(stage).
struct GlShaderKind {
    static constexpr GlKind kind = GlKind::Shader;
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
