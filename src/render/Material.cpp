#include "render/Material.h"

#include "base/Diagnostics.h"

#include <glm/gtc/type_ptr.hpp>

#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

namespace tolvane {

namespace {

// Uniforms whose locations are looked up once at link time; every program
// caches the same list, most of it as -1.
const char* const kCachedUniformNames[] = {
    "view",
    "projection",
    "model",
    "cameraPosition",
    "ambientIntensity",
    "pointLightCount",
    "pointLightPositions",
    "pointLightIntensities",
    "pointLightShadowMapBitmask",
    "pointLightAttenuation",
    "textureSampler",
    "useTexture",
    "spriteFrame",
    "l_pos",
    "near_far",
    "shadow_mat",
    "depthMap",
    "materialColor",
    "shininess",
    "screenTexture",
    "bloomTexture",
    "horizontal",
    "time",
    "deltaTime",
    "launcherLifetime",
    "shellLifetime",
    "secondaryShellLifetime",
    "billboardSize",
    "depthMVP",
    "normalMapSampler",
    "fTimePassed",
    "vOrigin",
    "vGenPositionMin",
    "vGenPositionRange",
    "vGenVelocityMin",
    "vGenVelocityRange",
    "vGenColor",
    "vGenGravityVector",
    "fGenLifeMin",
    "fGenLifeRange",
    "fGenSize",
    "iNumToGenerate",
    "fRotationSpeed",
    "vRandomSeed",
    "gSampler",
};

std::string shaderInfoLog(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
    glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return std::string(log.data());
}

std::string programInfoLog(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return std::string(log.data());
}

}  // namespace

Material::Material() = default;

Material::Material(const std::string& vertexPath, const std::string& fragmentPath, const std::string& geometryPath)
{
    program = glCreateProgram();
    if (program == 0)
        fatalError("Could not retrieve program handle!");
    vertexShader = compileShader(vertexPath, GL_VERTEX_SHADER);
    fragmentShader = compileShader(fragmentPath, GL_FRAGMENT_SHADER);
    hasFragmentShader = true;
    if (!geometryPath.empty()) {
        geometryShader = compileShader(geometryPath, GL_GEOMETRY_SHADER);
        hasGeometryShader = true;
    }
    link();
    checkGLError();
}

Material::~Material()
{
    glDeleteProgram(program);
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    if (hasGeometryShader)
        glDeleteShader(geometryShader);
}

GLuint Material::compileShader(const std::string& path, GLenum stage)
{
    std::ifstream file(path);
    if (!file)
        fatalError("Failed to open ShaderFile");
    std::stringstream text;
    text << file.rdbuf();
    file.close();
    const std::string source = text.str();

    GLuint shader = glCreateShader(stage);
    if (shader == 0)
        fatalError("failed to create shader");
    const char* sourcePointer = source.c_str();
    glShaderSource(shader, 1, &sourcePointer, nullptr);
    glCompileShader(shader);

    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE || glIsShader(shader) != GL_TRUE)
        fatalError("Failed to compile Shader", shaderInfoLog(shader).c_str());
    return shader;
}

void Material::link()
{
    glAttachShader(program, vertexShader);
    checkGLError();
    if (hasFragmentShader) {
        glAttachShader(program, fragmentShader);
        checkGLError();
    }
    if (hasGeometryShader) {
        glAttachShader(program, geometryShader);
        checkGLError();
    }
    if (hasFragmentShader) {
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

    for (const char* name : kCachedUniformNames)
        uniformLocations[name] = glGetUniformLocation(program, name);
}

int Material::uniformLocation(const char* name)
{
    auto cached = uniformLocations.find(std::string_view(name));
    if (cached != uniformLocations.end() && cached->second != -1)
        return cached->second;
    return glGetUniformLocation(program, name);
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
    glUseProgram(program);
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
