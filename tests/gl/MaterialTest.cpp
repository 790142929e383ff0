// Shader programs: the location cache, the blend state and the fatal paths.
#include "render/Material.h"
#include "GlTestContext.h"
#include "TestFiles.h"
#include "render/ShaderFiles.h"

#include <gtest/gtest.h>

#include <set>
#include <unistd.h>

using namespace tolvane;

namespace {

const char* kVertex = R"(#version 330 core
in vec3 position;
uniform mat4 model;
uniform mat4 view;
uniform mat4 projection;
void main() { gl_Position = projection * view * model * vec4(position, 1.0); }
)";

const char* kFragment = R"(#version 330 core
uniform vec3 materialColor;
uniform float shininess;
uniform float fade;
out vec4 fragColor;
void main() { fragColor = vec4(materialColor * fade, shininess); }
)";

class MaterialTest : public ::testing::Test, protected test::ScratchFiles {
protected:
    MaterialTest() : ScratchFiles("tolvane-material")
    {
        write("plain.vert", kVertex);
        write("plain.frag", kFragment);
    }
};

// Death-test children print to standard output; send it where the
// expectation looks.
void redirectStdoutToStderr()
{
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

}  // namespace

// Every active uniform is cached at link time, arrays under their plain
// name, so that no lookup in a frame asks the driver; a name the program
// lacks is -1, the value every setter skips.
TEST_F(MaterialTest, CachesEveryActiveUniformAtLink)
{
    write("arrays.frag", R"(#version 330 core
uniform vec3 materialColor;
uniform float shininess;
uniform float weights[4];
out vec4 fragColor;
void main() { fragColor = vec4(materialColor * weights[3], shininess); }
)");
    Material material(path("plain.vert"), path("arrays.frag"), "");
    EXPECT_FALSE(material.hasGeometryShader());
    EXPECT_TRUE(material.hasFragmentShader());
    std::set<std::string> names;
    for (const auto& [name, location] : material.uniformLocations()) {
        names.insert(name);
        EXPECT_EQ(location, glGetUniformLocation(material.program(), name.c_str())) << name;
    }
    EXPECT_EQ(names, (std::set<std::string>{"materialColor", "model", "projection", "shininess", "view", "weights"}));
    EXPECT_EQ(material.uniformLocation("weights"), glGetUniformLocation(material.program(), "weights[0]"));
    EXPECT_EQ(material.uniformLocation("gSampler"), -1);
    EXPECT_EQ(glGetFragDataLocation(material.program(), "fragColor"), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MaterialTest, BindUploadsSurfaceStateAndSetsBlendingBothWays)
{
    Material opaque(path("plain.vert"), path("plain.frag"), "");
    Material blended(path("plain.vert"), path("plain.frag"), "");
    blended.blending = true;
    blended.color = glm::vec3(0.25f, 0.5f, 0.75f);
    blended.shininess = 300.0f;

    blended.bind();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &source);
    glGetIntegerv(GL_BLEND_DST_RGB, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
    GLfloat color[3] = {};
    glGetUniformfv(blended.program(), blended.uniformLocation("materialColor"), color);
    EXPECT_FLOAT_EQ(color[1], 0.5f);
    GLfloat shininess = 0.0f;
    glGetUniformfv(blended.program(), blended.uniformLocation("shininess"), &shininess);
    EXPECT_FLOAT_EQ(shininess, 300.0f);

    opaque.bind();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), opaque.program());
}

TEST_F(MaterialTest, GeometryStageIsAttachedWhenGiven)
{
    write("pass.geom", R"(#version 330 core
layout(triangles) in;
layout(triangle_strip, max_vertices = 3) out;
void main() {
    for (int i = 0; i < 3; ++i) { gl_Position = gl_in[i].gl_Position; EmitVertex(); }
    EndPrimitive();
}
)");
    Material material(path("plain.vert"), path("plain.frag"), path("pass.geom"));
    EXPECT_TRUE(material.hasGeometryShader());
    GLint attached = 0;
    glGetProgramiv(material.program(), GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 3);
}

using MaterialDeathTest = MaterialTest;

TEST_F(MaterialDeathTest, MissingFileIsFatal)
{
    EXPECT_EXIT(
        {
            redirectStdoutToStderr();
            Material material(path("absent.vert"), path("plain.frag"), "");
        },
        ::testing::ExitedWithCode(255), "(^|\n)Failed to open ShaderFile\n$");
}

TEST_F(MaterialDeathTest, CompileErrorIsFatalWithTheDriverLog)
{
    write("broken.frag", "#version 330 core\nout vec4 fragColor;\nvoid main() { fragColor = oops; }\n");
    EXPECT_EXIT(
        {
            redirectStdoutToStderr();
            Material material(path("plain.vert"), path("broken.frag"), "");
        },
        // The debug context may tell of the error first, in a line of its own.
        ::testing::ExitedWithCode(255), "(^|\n)Failed to compile Shader\n.*oops");
}

TEST_F(MaterialDeathTest, LinkErrorIsFatalWithTheDriverLog)
{
    // Declared but never defined: compiles, cannot link.
    write("unlinked.frag", "#version 330 core\nvec4 undefinedHelper();\nout vec4 fragColor;\n"
                           "void main() { fragColor = undefinedHelper(); }\n");
    EXPECT_EXIT(
        {
            redirectStdoutToStderr();
            Material material(path("plain.vert"), path("unlinked.frag"), "");
        },
        ::testing::ExitedWithCode(255), "(^|\n)Failed to link shader program\n.+");
}

// Each typed setter must reach the uniform of its own type, arrays must fill
// every element, and an absent uniform must cost no GL error.
TEST_F(MaterialTest, TypedSettersUploadEveryKindAndSkipAbsentUniforms)
{
    write("kinds.frag", R"(#version 330 core
uniform int count;
uniform vec2 range;
uniform vec4 frame;
uniform vec3 positions[3];
uniform float weights[2];
uniform mat4 faces[2];
out vec4 fragColor;
void main() { fragColor = vec4(float(count) + range.x + frame.y + positions[2].z + weights[1] + faces[1][3][0]); }
)");
    Material material(path("plain.vert"), path("kinds.frag"), "");
    glUseProgram(material.program());
    const float positions[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const float weights[2] = {0.5f, 0.25f};
    glm::mat4 faces[2] = {glm::mat4(1.0f), glm::mat4(1.0f)};
    faces[1][3][0] = 42.0f;
    while (glGetError() != GL_NO_ERROR) {
    }

    material.setUniform("count", 7);
    material.setUniform("range", glm::vec2(0.1f, 15.0f));
    material.setUniform("frame", glm::vec4(0.06f, 0.0f, 0.02f, 1.0f));
    material.setUniform("positions", positions, 3, 3);
    material.setUniform("weights", weights, 2, 1);
    material.setUniform("faces", faces, 2);
    material.setUniform("noSuchUniform", 3.0f);
    material.setUniform(-1, glm::mat4(2.0f));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    GLint count = 0;
    glGetUniformiv(material.program(), material.uniformLocation("count"), &count);
    EXPECT_EQ(count, 7);
    GLfloat range[2] = {}, frame[4] = {}, third[3] = {}, weight = 0.0f, face[16] = {};
    glGetUniformfv(material.program(), material.uniformLocation("range"), range);
    EXPECT_FLOAT_EQ(range[1], 15.0f);
    glGetUniformfv(material.program(), material.uniformLocation("frame"), frame);
    EXPECT_FLOAT_EQ(frame[2], 0.02f);
    glGetUniformfv(material.program(), glGetUniformLocation(material.program(), "positions[2]"), third);
    EXPECT_FLOAT_EQ(third[0], 7.0f);
    EXPECT_FLOAT_EQ(third[2], 9.0f);
    glGetUniformfv(material.program(), glGetUniformLocation(material.program(), "weights[1]"), &weight);
    EXPECT_FLOAT_EQ(weight, 0.25f);
    glGetUniformfv(material.program(), glGetUniformLocation(material.program(), "faces[1]"), face);
    EXPECT_FLOAT_EQ(face[12], 42.0f);
    glUseProgram(0);
}

// An included file's code is compiled into the program: its uniform is
// active only because main() reaches it through the included function.
TEST_F(MaterialTest, IncludedCodeIsPartOfTheProgram)
{
    write("tinted.frag", "#version 330 core\n#include \"parts/tint.glsl\"\nvoid main() { fragColor = tint(); }\n");
    write("parts/tint.glsl",
          "uniform vec3 tintColor;\nout vec4 fragColor;\nvec4 tint() { return vec4(tintColor, 1.0); }\n");
    Material material(path("plain.vert"), path("tinted.frag"), "");
    EXPECT_NE(material.uniformLocation("tintColor"), -1);
    EXPECT_EQ(glGetFragDataLocation(material.program(), "fragColor"), 0);
}

// Both lit programs take their lighting from one included file; the
// renderer sets these by name and skips any the program lacks, so one lost
// on the way would go unnoticed but for the picture.
TEST_F(MaterialTest, LitProgramsKeepEveryLightingUniform)
{
    const std::set<std::string> lighting = {"cameraPosition",
                                            "ambientIntensity",
                                            "pointLightCount",
                                            "pointLightPositions",
                                            "pointLightIntensities",
                                            "pointLightAttenuation",
                                            "pointLightShadowMapBitmask",
                                            "depthMap",
                                            "near_far",
                                            "textureSampler",
                                            "materialColor",
                                            "shininess"};
    Material specular(ShaderFiles::kSpecularVertex, ShaderFiles::kSpecularFragment, "");
    Material normalMapped(ShaderFiles::kNormalMapVertex, ShaderFiles::kNormalMapFragment, "");
    for (const std::string& name : lighting) {
        EXPECT_NE(specular.uniformLocation(name.c_str()), -1) << name;
        EXPECT_NE(normalMapped.uniformLocation(name.c_str()), -1) << name;
    }
    EXPECT_NE(normalMapped.uniformLocation("normalMapSampler"), -1);
    for (const Material* material : {&specular, &normalMapped}) {
        EXPECT_EQ(glGetFragDataLocation(material->program(), "fragColor"), 0);
        EXPECT_EQ(glGetFragDataLocation(material->program(), "brightColor"), 1);
    }
}

// A missing include stops the program like a missing shader file, naming
// the file it looked for and where the include stands.
TEST_F(MaterialDeathTest, MissingIncludeIsFatalAndNamed)
{
    write("lit.frag", "#version 330 core\n#include \"absent.glsl\"\nvoid main() {}\n");
    // The child sets up a scratch folder of its own: the paths end alike.
    EXPECT_EXIT(
        {
            redirectStdoutToStderr();
            Material material(path("plain.vert"), path("lit.frag"), "");
        },
        ::testing::ExitedWithCode(255),
        "^Failed to open ShaderFile '/[^']*/absent\\.glsl' \\(#include in /[^ ]*/lit\\.frag, line 2\\)\n$");
}

// The driver reports an error in an included file by its own line, under
// the file's source string number, which the key after the log resolves.
TEST_F(MaterialDeathTest, CompileErrorInAnIncludedFileIsLocated)
{
    write("lit.frag", "#version 330 core\nout vec4 fragColor;\n#include \"helper.glsl\"\n"
                      "void main() { fragColor = helper(); }\n");
    write("helper.glsl", "// A helper.\nvec4 helper() { return 1; }\n");
    const char* located = "Failed to compile Shader\n(.*[^0-9])?1:2[^0-9].*\n"
                          "Source strings: 0 /[^ ]*/lit\\.frag, 1 /[^ ]*/helper\\.glsl\n$";
    EXPECT_EXIT(
        {
            redirectStdoutToStderr();
            Material material(path("plain.vert"), path("lit.frag"), "");
        },
        ::testing::ExitedWithCode(255), located);
}
