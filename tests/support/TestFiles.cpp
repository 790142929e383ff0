#include "TestFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tolvane::test {

std::string makeScratchDirectory(const std::string& prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
        return std::string();
    return pattern;
}

ScratchFiles::ScratchFiles(const std::string& prefix) : directory_(makeScratchDirectory(prefix)) {}

ScratchFiles::~ScratchFiles()
{
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

std::string ScratchFiles::write(const std::string& name, const std::string& text) const
{
    writeTextFile(path(name), text);
    return path(name);
}

std::string ScratchFiles::path(const std::string& name) const
{
    return directory_ + "/" + name;
}

void writeTextFile(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string readTextFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

}  // namespace tolvane::test
