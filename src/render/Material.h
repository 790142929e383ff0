#pragma once

#include "base/GlObject.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tolvane {

// One linked GLSL program plus the surface state every draw with it uploads.
// Building a program is all-or-nothing: any failure ends the process through
// the fatal pattern. Needs a current GL context for its whole life; owns the
// program and its shaders.
class Material {
public:
    // An empty program; a derived class compiles its stages with
    // compileShader() and then calls link().
    Material();
    // Compiles and links the program from files relative to the working
    // directory; an empty geometryPath means no geometry stage. Every stage
    // is compiled with `defines` (see readShaderSource), which make a
    // variant of the program from the same files.
    Material(const std::string& vertexPath, const std::string& fragmentPath, const std::string& geometryPath,
             const std::vector<std::string>& defines = {});
    // Virtual so that a derived program released through a Material pointer
    // still releases its own objects.
    virtual ~Material();

    Material(const Material&) = delete;
    Material& operator=(const Material&) = delete;

    // Makes the program current, uploads materialColor and shininess and sets
    // the blend state (enabled with source-alpha blending, or disabled).
    virtual void bind();
    // Makes the program current and nothing else: for a pass that draws one
    // mesh with another program and then returns to its own, whose uniforms
    // and blend state are still in place.
    void useProgram() const { glUseProgram(program_.name()); }

    // Location of a uniform, -1 when the program has no such active uniform.
    // Every active uniform is cached when the program links (an array under
    // its plain name), so a lookup never asks the driver. Takes a C string
    // so per-draw lookups allocate nothing.
    int uniformLocation(const char* name) const;

    // Uploads to this program, which must be the current one. A location of
    // -1 (no such active uniform) is skipped here, so no caller tests for it;
    // the by-name form looks the location up first. A value equal to the one
    // last uploaded is not sent again: the lights, camera and model matrix
    // every mesh sets are mostly what the mesh before it set.
    void setUniform(GLint location, int value);
    void setUniform(GLint location, float value);
    void setUniform(GLint location, const glm::vec2& value);
    void setUniform(GLint location, const glm::vec3& value);
    void setUniform(GLint location, const glm::vec4& value);
    void setUniform(GLint location, const glm::mat4& value);
    // `count` matrices, e.g. an array of six shadow matrices.
    void setUniform(GLint location, const glm::mat4* values, int count);
    // An array of `count` float (components 1) or vec3 (components 3) values
    // stored flat in `values`.
    void setUniform(GLint location, const float* values, int count, int components);
    template <typename... Values>
    void setUniform(const char* name, const Values&... values)
    {
        setUniform(uniformLocation(name), values...);
    }

    // Attaches the shaders, binds fragColor to colour number 0 when there is
    // a fragment stage, links, fills the location cache and points every
    // sampler at its fixed unit: colour textures and the composed scene 0,
    // normal maps and the bloom 1, the shadow cube map 2.
    void link();

    GLuint program() const { return program_.name(); }
    bool hasFragmentShader() const { return static_cast<bool>(fragmentShader_); }
    bool hasGeometryShader() const { return static_cast<bool>(geometryShader_); }
    // Every active uniform of the linked program by name, arrays without [0].
    const std::map<std::string, GLint, std::less<>>& uniformLocations() const { return uniformLocations_; }

    glm::vec3 color = glm::vec3(1.0f, 1.0f, 1.0f);  // uploaded as materialColor
    float shininess = 200.0f;                       // Blinn-Phong exponent
    bool blending = false;                          // alpha blending on bind
    // The program that draws alpha-tested meshes (Mesh::alphaTested) in this
    // program's pass: the same stages built with ShaderFiles::kAlphaTested.
    // Not owned; without one they are drawn solid.
    Material* alphaTestedVariant = nullptr;

protected:
    // Compiles one stage from a file and the files its #include lines name,
    // with `defines` (readShaderSource); fatal when a file is missing, the
    // includes loop or the source does not compile.
    static GlShader compileShader(const std::string& path, GLenum stage, const std::vector<std::string>& defines = {});

    GlProgram program_;
    GlShader vertexShader_{NoCreate};
    GlShader fragmentShader_{NoCreate};  // none in a transform-feedback program
    GlShader geometryShader_{NoCreate};

private:
    // The last value uploaded to one active uniform, kept in values_.
    struct UniformSlot {
        GLint location;
        std::size_t offset;  // into values_, in bytes
        std::size_t bytes;   // the whole uniform, every element of an array
        bool known = false;  // false until the first upload
    };

    void cacheUniformLocations();
    void assignSamplerUnits();
    // True when `bytes` of `data` differ from what `location` last received
    // (or nothing was received yet, or the uniform is not in the cache);
    // remembers them as the new value.
    bool changes(GLint location, const void* data, std::size_t bytes);

    std::map<std::string, GLint, std::less<>> uniformLocations_;
    std::vector<UniformSlot> uniformSlots_;  // by location, ascending
    std::vector<unsigned char> uniformValues_;
};

}  // namespace tolvane
