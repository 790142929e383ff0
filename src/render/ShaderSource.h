#pragma once

#include <string>
#include <vector>

namespace tolvane {

// The text the driver compiles for one shader file. GLSL 3.30 has no include
// of its own, so the lit shaders share their lighting through lines of the
// form
//     #include "lighting.glsl"
// which are replaced here by the named file, found relative to the folder of
// the file that names it, and so on inside it. Each file gets its own source
// string number in `#line` directives, so that a driver's "1:12(3): error"
// points at line 12 of files[1]; the including file goes on with its own
// numbers after the inserted text.
struct ShaderSource {
    std::string text;
    // By source string number: the file asked for, then each included file
    // in the order met (a file included twice appears twice).
    std::vector<std::string> files;
    // Empty when every file was read; otherwise the one-line reason, and
    // `text` is not to be compiled.
    std::string error;
};

// Reads `path` with its includes. A missing top file gives the program's
// usual "Failed to open ShaderFile"; a missing included file is named with
// the line that includes it; a file that includes itself, directly or
// through others, is refused rather than expanded for ever.
//
// Each of `defines` becomes a line "#define <entry>" right after the top
// file's #version line (at the very start when it has none), and the file
// goes on with its own line numbers. That is how one set of stage files
// gives a variant of its program: code under #ifdef NAME is compiled in
// the variant only.
ShaderSource readShaderSource(const std::string& path, const std::vector<std::string>& defines = {});

// "Source strings: 0 a.frag, 1 b.glsl", the key to a driver's log for a
// source made of several files; empty for a single file.
std::string sourceStringKey(const ShaderSource& source);

}  // namespace tolvane
