#include "render/Material.h"

#include "base/Diagnostics.h"
#include "render/ShaderSource.h"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace tolvane {

namespace {

// The texture unit every sampler of our shaders reads, by its name: colour
// textures and the composed scene on 0, normal maps and the bloom on 1, the
// shadow cube map on 2. Set once when a program links, so that no draw sets
// a sampler again; and samplers of different types never share a unit, even
// unused ones, which would make every draw with the program fail.
const std::pair<const char*, GLint> kSamplerUnits[] = {
    {"textureSampler", 0}, {"gSampler", 0},         {"image", 0},        {"glyphTexture", 0},
    {"screenTexture", 0},  {"normalMapSampler", 1}, {"bloomTexture", 1}, {"depthMap", 2},
};

std::string shaderInfoLog(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
    glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return {log.data()};
}

std::string programInfoLog(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return {log.data()};
}

}  // namespace

Material::Material() = default;

Material::Material(const std::string& vertexPath, const std::string& fragmentPath, const std::string& geometryPath,
                   const std::vector<std::string>& defines)
{
    if (!program_)
        fatalError("Could not retrieve program handle!");
    vertexShader_ = compileShader(vertexPath, GL_VERTEX_SHADER, defines);
    fragmentShader_ = compileShader(fragmentPath, GL_FRAGMENT_SHADER, defines);
    if (!geometryPath.empty())
        geometryShader_ = compileShader(geometryPath, GL_GEOMETRY_SHADER, defines);
    link();
    checkGLError();
}

Material::~Material() = default;

GlShader Material::compileShader(const std::string& path, GLenum stage, const std::vector<std::string>& defines)
{
    const ShaderSource source = readShaderSource(path, defines);
    if (!source.error.empty())
        fatalError(source.error.c_str());

    GlShader shader = GlShader::adopt(glCreateShader(stage));
    if (!shader)
        fatalError("failed to create shader");
    const char* sourcePointer = source.text.c_str();
    glShaderSource(shader.name(), 1, &sourcePointer, nullptr);
    glCompileShader(shader.name());

    GLint compiled = GL_FALSE;
    glGetShaderiv(shader.name(), GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE || glIsShader(shader.name()) != GL_TRUE) {
        // The log numbers lines per source string; the key says which file
        // each number stands for.
        std::string log = shaderInfoLog(shader.name());
        const std::string key = sourceStringKey(source);
        if (!key.empty())
            log += (log.empty() || log.back() == '\n' ? "" : "\n") + key;
        fatalError("Failed to compile Shader", log.c_str());
    }
    return shader;
}

void Material::link()
{
    if (!program_)
        fatalError("Could not retrieve program handle!");
    const GLuint program = program_.name();
    for (const GlShader* shader : {&vertexShader_, &fragmentShader_, &geometryShader_}) {
        if (*shader) {
            glAttachShader(program, shader->name());
            checkGLError();
        }
    }
    if (fragmentShader_) {
        glBindFragDataLocation(program, 0, "fragColor");
        checkGLError();
    }

    glLinkProgram(program);
    checkGLError();
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    checkGLError();
    if (linked != GL_TRUE)
        fatalError("Failed to link shader program", programInfoLog(program).c_str());
    cacheUniformLocations();
    assignSamplerUnits();
}

void Material::assignSamplerUnits()
{
    glUseProgram(program_.name());
    for (const auto& [name, unit] : kSamplerUnits)
        setUniform(uniformLocation(name), unit);
    glUseProgram(0);
}

namespace {

// 32-bit words of one element of a uniform of `type`; 16, the largest (a
// mat4), for a type not listed.
std::size_t wordsOf(GLenum type)
{
    switch (type) {
    case GL_FLOAT_VEC2:
    case GL_INT_VEC2: return 2;
    case GL_FLOAT_VEC3:
    case GL_INT_VEC3: return 3;
    case GL_FLOAT_VEC4:
    case GL_INT_VEC4:
    case GL_FLOAT_MAT2: return 4;
    case GL_FLOAT_MAT3: return 9;
    case GL_FLOAT_MAT4: return 16;
    case GL_FLOAT:
    case GL_INT:
    case GL_UNSIGNED_INT:
    case GL_BOOL: return 1;
    default: return type >= GL_SAMPLER_1D && type <= GL_SAMPLER_2D_RECT_SHADOW ? 1 : 16;
    }
}

}  // namespace

// An array is reported as "name[0]" and drawn through its first element's
// location, which is what the plain name gives too.
void Material::cacheUniformLocations()
{
    const GLuint program = program_.name();
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    GLint longest = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    std::vector<char> name(static_cast<size_t>(std::max(longest, 1)));
    uniformLocations_.clear();
    uniformSlots_.clear();
    std::size_t valueBytes = 0;
    for (GLint i = 0; i < count; ++i) {
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), static_cast<GLsizei>(name.size()), &length, &size, &type,
                           name.data());
        std::string uniform(name.data(), static_cast<size_t>(length));
        const GLint location = glGetUniformLocation(program, uniform.c_str());
        if (location == -1)
            continue;  // a member of a uniform block, which this program never sets
        const size_t bracket = uniform.find('[');
        if (bracket != std::string::npos)
            uniform.resize(bracket);
        uniformLocations_[uniform] = location;
        const std::size_t bytes = wordsOf(type) * 4 * static_cast<std::size_t>(std::max(size, 1));
        uniformSlots_.push_back({location, valueBytes, bytes});
        valueBytes += bytes;
    }
    std::sort(uniformSlots_.begin(), uniformSlots_.end(),
              [](const UniformSlot& a, const UniformSlot& b) { return a.location < b.location; });
    uniformValues_.assign(valueBytes, 0);
}

bool Material::changes(GLint location, const void* data, std::size_t bytes)
{
    const auto slot = std::lower_bound(uniformSlots_.begin(), uniformSlots_.end(), location,
                                       [](const UniformSlot& s, GLint l) { return s.location < l; });
    if (slot == uniformSlots_.end() || slot->location != location || bytes > slot->bytes)
        return true;
    unsigned char* last = uniformValues_.data() + slot->offset;
    if (slot->known && std::memcmp(last, data, bytes) == 0)
        return false;
    std::memcpy(last, data, bytes);
    slot->known = true;
    return true;
}

int Material::uniformLocation(const char* name) const
{
    const auto cached = uniformLocations_.find(std::string_view(name));
    return cached != uniformLocations_.end() ? cached->second : -1;
}

void Material::setUniform(GLint location, int value)
{
    if (location != -1 && changes(location, &value, sizeof value))
        glUniform1i(location, value);
}

void Material::setUniform(GLint location, float value)
{
    if (location != -1 && changes(location, &value, sizeof value))
        glUniform1f(location, value);
}

void Material::setUniform(GLint location, const glm::vec2& value)
{
    if (location != -1 && changes(location, glm::value_ptr(value), sizeof value))
        glUniform2fv(location, 1, glm::value_ptr(value));
}

void Material::setUniform(GLint location, const glm::vec3& value)
{
    if (location != -1 && changes(location, glm::value_ptr(value), sizeof value))
        glUniform3fv(location, 1, glm::value_ptr(value));
}

void Material::setUniform(GLint location, const glm::vec4& value)
{
    if (location != -1 && changes(location, glm::value_ptr(value), sizeof value))
        glUniform4fv(location, 1, glm::value_ptr(value));
}

void Material::setUniform(GLint location, const glm::mat4& value)
{
    if (location != -1 && changes(location, glm::value_ptr(value), sizeof value))
        glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(value));
}

void Material::setUniform(GLint location, const glm::mat4* values, int count)
{
    if (location != -1 &&
        changes(location, glm::value_ptr(values[0]), sizeof(glm::mat4) * static_cast<std::size_t>(count)))
        glUniformMatrix4fv(location, count, GL_FALSE, glm::value_ptr(values[0]));
}

void Material::setUniform(GLint location, const float* values, int count, int components)
{
    if (location == -1 || !changes(location, values, sizeof(float) * static_cast<std::size_t>(count * components)))
        return;
    if (components == 3)
        glUniform3fv(location, count, values);
    else
        glUniform1fv(location, count, values);
}

void Material::bind()
{
    glUseProgram(program_.name());
    setUniform("materialColor", color);
    setUniform("shininess", shininess);
    if (blending) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
}

}  // namespace tolvane
