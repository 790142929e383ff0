#include "render/Material.h"

#include "base/Diagnostics.h"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <fstream>
#include <sstream>
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

Material::Material(const std::string& vertexPath, const std::string& fragmentPath, const std::string& geometryPath)
{
    if (!program_)
        fatalError("Could not retrieve program handle!");
    vertexShader_ = compileShader(vertexPath, GL_VERTEX_SHADER);
    fragmentShader_ = compileShader(fragmentPath, GL_FRAGMENT_SHADER);
    if (!geometryPath.empty())
        geometryShader_ = compileShader(geometryPath, GL_GEOMETRY_SHADER);
    link();
    checkGLError();
}

Material::~Material() = default;

GlShader Material::compileShader(const std::string& path, GLenum stage)
{
    std::ifstream file(path);
    if (!file)
        fatalError("Failed to open ShaderFile");
    std::stringstream text;
    text << file.rdbuf();
    file.close();
    const std::string source = text.str();

    GlShader shader = GlShader::adopt(glCreateShader(stage));
    if (!shader)
        fatalError("failed to create shader");
    const char* sourcePointer = source.c_str();
    glShaderSource(shader.name(), 1, &sourcePointer, nullptr);
    glCompileShader(shader.name());

    GLint compiled = GL_FALSE;
    glGetShaderiv(shader.name(), GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE || glIsShader(shader.name()) != GL_TRUE)
        fatalError("Failed to compile Shader", shaderInfoLog(shader.name()).c_str());
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
    }
}

int Material::uniformLocation(const char* name) const
{
    const auto cached = uniformLocations_.find(std::string_view(name));
    return cached != uniformLocations_.end() ? cached->second : -1;
}

void Material::setUniform(GLint location, int value)
{
    if (location != -1)
        glUniform1i(location, value);
}

void Material::setUniform(GLint location, float value)
{
    if (location != -1)
        glUniform1f(location, value);
}

void Material::setUniform(GLint location, const glm::vec2& value)
{
    if (location != -1)
        glUniform2fv(location, 1, glm::value_ptr(value));
}

void Material::setUniform(GLint location, const glm::vec3& value)
{
    if (location != -1)
        glUniform3fv(location, 1, glm::value_ptr(value));
}

void Material::setUniform(GLint location, const glm::vec4& value)
{
    if (location != -1)
        glUniform4fv(location, 1, glm::value_ptr(value));
}

void Material::setUniform(GLint location, const glm::mat4& value)
{
    if (location != -1)
        glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(value));
}

void Material::setUniform(GLint location, const glm::mat4* values, int count)
{
    if (location != -1)
        glUniformMatrix4fv(location, count, GL_FALSE, glm::value_ptr(values[0]));
}

void Material::setUniform(GLint location, const float* values, int count, int components)
{
    if (location == -1)
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
