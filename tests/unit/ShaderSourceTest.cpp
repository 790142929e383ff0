// Shader files with #include lines: the text handed to the driver, and the
// refusals.
#include "render/ShaderSource.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace tolvane;

namespace {

class ShaderSourceTest : public ::testing::Test, protected test::ScratchFiles {
protected:
    ShaderSourceTest() : ScratchFiles("tolvane-shader-source") {}
};

}  // namespace

// The #version line stays first; each file gets its own source string
// number, and the including file resumes at its own next line, so that a
// driver's "N:line" points into the right file. An include inside an
// included file is found relative to that file, not to the first one.
TEST_F(ShaderSourceTest, IncludesNestRelativeToTheIncludingFile)
{
    write("lit.frag", "#version 330 core\n"
                      "#include \"common/light.glsl\"\n"
                      "void main() { fragColor = light(); }\n");
    write("common/light.glsl", "#include \"../outputs.glsl\"  // the outputs first\n"
                               "vec4 light() { return vec4(1.0); }\n");
    write("outputs.glsl", "out vec4 fragColor;");  // no final line feed

    const ShaderSource source = readShaderSource(path("lit.frag"));
    EXPECT_EQ(source.error, "");
    EXPECT_EQ(source.text, "#version 330 core\n"
                           "#line 1 1\n"
                           "#line 1 2\n"
                           "out vec4 fragColor;\n"
                           "#line 2 1\n"
                           "vec4 light() { return vec4(1.0); }\n"
                           "#line 3 0\n"
                           "void main() { fragColor = light(); }\n");
    EXPECT_EQ(source.files,
              (std::vector<std::string>{path("lit.frag"), path("common/light.glsl"), path("outputs.glsl")}));
    EXPECT_EQ(sourceStringKey(source), "Source strings: 0 " + path("lit.frag") + ", 1 " + path("common/light.glsl") +
                                           ", 2 " + path("outputs.glsl"));
}

// Only a quoted name on a directive line of its own is an include; anything
// else is passed on for the driver to judge, and a file without includes is
// passed on unchanged.
TEST_F(ShaderSourceTest, OtherLinesPassUnchanged)
{
    const std::string text = "#version 330 core\n"
                             "// #include \"commented.glsl\"\n"
                             "#include <angled.glsl>\n"
                             "#include \"trailing.glsl\" junk\n"
                             "#included \"word.glsl\"\n"
                             "void main() {}\n";
    const ShaderSource source = readShaderSource(write("plain.frag", text));
    EXPECT_EQ(source.error, "");
    EXPECT_EQ(source.text, text);
    EXPECT_EQ(source.files, std::vector<std::string>{path("plain.frag")});
    EXPECT_EQ(sourceStringKey(source), "");
}

// The top file keeps the program's long-standing message; a missing include
// names the file looked for and the line that asked for it.
TEST_F(ShaderSourceTest, MissingFilesAreNamed)
{
    EXPECT_EQ(readShaderSource(path("absent.frag")).error, "Failed to open ShaderFile");

    write("lit.frag", "#version 330 core\n#include \"helpers.glsl\"\nvoid main() {}\n");
    write("helpers.glsl", "\n\n   #  include \"missing.glsl\"\n");
    EXPECT_EQ(readShaderSource(path("lit.frag")).error, "Failed to open ShaderFile '" + path("missing.glsl") +
                                                            "' (#include in " + path("helpers.glsl") + ", line 3)");
}

// A file that includes itself, directly or round a loop, is refused instead
// of being read for ever; one included twice side by side is no loop.
TEST_F(ShaderSourceTest, IncludeCyclesAreRefused)
{
    write("self.frag", "#version 330 core\n#include \"self.frag\"\n");
    EXPECT_EQ(readShaderSource(path("self.frag")).error,
              "Shader include cycle: " + path("self.frag") + " -> " + path("self.frag"));

    write("loop.frag", "#version 330 core\n#include \"a.glsl\"\n");
    write("a.glsl", "#include \"sub/b.glsl\"\n");
    write("sub/b.glsl", "#include \"../a.glsl\"\n");
    EXPECT_EQ(readShaderSource(path("loop.frag")).error,
              "Shader include cycle: " + path("a.glsl") + " -> " + path("sub/b.glsl") + " -> " + path("a.glsl"));

    write("twice.frag", "#version 330 core\n#include \"c.glsl\"\n#include \"c.glsl\"\n");
    write("c.glsl", "float c;\n");
    const ShaderSource twice = readShaderSource(path("twice.frag"));
    EXPECT_EQ(twice.error, "");
    EXPECT_EQ(twice.files.size(), 3u);
}

// A program variant's defines come right after the top file's #version line,
// wherever that is, and before anything it includes; every file keeps its
// own line numbers. Without a #version line they come first.
TEST_F(ShaderSourceTest, DefinesFollowTheVersionLineAndLeaveLineNumbersAlone)
{
    write("cut.frag", "// Alpha-tested variant.\n"
                      "#version 330 core\n"
                      "#include \"hole.glsl\"\n"
                      "void main() { hole(); }\n");
    write("hole.glsl", "#ifdef HOLES\n"
                       "void hole() { discard; }\n"
                       "#endif\n");
    const ShaderSource variant = readShaderSource(path("cut.frag"), {"HOLES", "CUTOFF 0.5"});
    EXPECT_EQ(variant.error, "");
    EXPECT_EQ(variant.text, "// Alpha-tested variant.\n"
                            "#version 330 core\n"
                            "#define HOLES\n"
                            "#define CUTOFF 0.5\n"
                            "#line 3 0\n"
                            "#line 1 1\n"
                            "#ifdef HOLES\n"
                            "void hole() { discard; }\n"
                            "#endif\n"
                            "#line 4 0\n"
                            "void main() { hole(); }\n");
    EXPECT_EQ(variant.files, (std::vector<std::string>{path("cut.frag"), path("hole.glsl")}));
    EXPECT_EQ(readShaderSource(path("cut.frag")).text.find("#define"), std::string::npos);

    write("old.frag", "void main() {}\n");
    EXPECT_EQ(readShaderSource(path("old.frag"), {"HOLES"}).text, "#define HOLES\n"
                                                                  "#line 1 0\n"
                                                                  "void main() {}\n");
}
