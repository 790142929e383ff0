#include "render/ShaderSource.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tolvane {

namespace {

namespace fs = std::filesystem;

// The quoted name of an `#include "name"` line, or empty for any other line.
// Another form (angle brackets, no name) is left in the text for the
// driver to refuse with its line number.
std::string includedName(const std::string& line)
{
    constexpr const char* kBlank = " \t\r";
    std::size_t at = line.find_first_not_of(kBlank);
    if (at == std::string::npos || line[at] != '#')
        return {};
    at = line.find_first_not_of(kBlank, at + 1);
    if (at == std::string::npos || line.compare(at, 7, "include") != 0)
        return {};
    const std::size_t open = line.find_first_not_of(kBlank, at + 7);
    if (open == at + 7 || open == std::string::npos || line[open] != '"')
        return {};
    const std::size_t close = line.find('"', open + 1);
    if (close == std::string::npos || close == open + 1)
        return {};
    const std::size_t rest = line.find_first_not_of(kBlank, close + 1);
    if (rest != std::string::npos && line.compare(rest, 2, "//") != 0)
        return {};
    return line.substr(open + 1, close - open - 1);
}

// Whether `line` is a #version directive.
bool isVersionLine(const std::string& line)
{
    constexpr const char* kBlank = " \t\r";
    std::size_t at = line.find_first_not_of(kBlank);
    if (at == std::string::npos || line[at] != '#')
        return false;
    at = line.find_first_not_of(kBlank, at + 1);
    return at != std::string::npos && line.compare(at, 7, "version") == 0;
}

// The lines that define `defines`, then the line number `next` of the top
// file for the line that follows them.
std::string defineLines(const std::vector<std::string>& defines, int next)
{
    std::string lines;
    for (const std::string& define : defines)
        lines += "#define " + define + "\n";
    return lines + "#line " + std::to_string(next) + " 0\n";
}

class Assembler {
public:
    Assembler(ShaderSource& source, const std::vector<std::string>& defines) :
        source_(source),
        defines_(defines),
        definesPending_(!defines.empty())
    {
    }

    // Appends `file` with its includes, as source string files.size().
    // False when the file cannot be read (error left to the caller, who
    // knows who asked for it) or something inside it failed (error set).
    bool append(const fs::path& file)
    {
        std::ifstream stream(file);
        if (!stream)
            return false;
        const std::string number = std::to_string(source_.files.size());
        const bool top = open_.empty();
        source_.files.push_back(file.generic_string());
        open_.push_back(file);
        std::string line;
        for (int lineNumber = 1; std::getline(stream, line); ++lineNumber) {
            const std::string name = includedName(line);
            if (name.empty()) {
                source_.text += line;
                source_.text += '\n';
                if (top && definesPending_ && isVersionLine(line)) {
                    source_.text += defineLines(defines_, lineNumber + 1);
                    definesPending_ = false;
                }
                continue;
            }
            const fs::path included = (file.parent_path() / name).lexically_normal();
            const auto cycle = std::find(open_.begin(), open_.end(), included);
            if (cycle != open_.end()) {
                source_.error = "Shader include cycle:";
                for (auto step = cycle; step != open_.end(); ++step)
                    source_.error += " " + step->generic_string() + " ->";
                source_.error += " " + included.generic_string();
                return false;
            }
            source_.text += "#line 1 " + std::to_string(source_.files.size()) + "\n";
            if (!append(included)) {
                if (source_.error.empty())
                    source_.error = "Failed to open ShaderFile '" + included.generic_string() + "' (#include in " +
                                    file.generic_string() + ", line " + std::to_string(lineNumber) + ")";
                return false;
            }
            // The next line of this file keeps its own number.
            source_.text += "#line " + std::to_string(lineNumber + 1) + " " + number + "\n";
        }
        open_.pop_back();
        // Without a #version line (GLSL 1.10) nothing has to come first.
        if (top && definesPending_) {
            source_.text.insert(0, defineLines(defines_, 1));
            definesPending_ = false;
        }
        return true;
    }

private:
    ShaderSource& source_;
    const std::vector<std::string>& defines_;
    bool definesPending_;         // the defines are still to be placed in the top file
    std::vector<fs::path> open_;  // the files being read, outermost first
};

}  // namespace

ShaderSource readShaderSource(const std::string& path, const std::vector<std::string>& defines)
{
    ShaderSource source;
    if (!Assembler(source, defines).append(fs::path(path).lexically_normal()) && source.error.empty())
        source.error = "Failed to open ShaderFile";
    return source;
}

std::string sourceStringKey(const ShaderSource& source)
{
    if (source.files.size() < 2)
        return {};
    std::string key = "Source strings:";
    for (std::size_t i = 0; i < source.files.size(); ++i)
        key += (i == 0 ? " " : ", ") + std::to_string(i) + " " + source.files[i];
    return key;
}

}  // namespace tolvane
