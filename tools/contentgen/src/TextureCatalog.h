#pragma once
#include <string>
#include <vector>

namespace tolvane::content {

// Every picture the demo loads, by file name, and how to make it.
class TextureCatalog {
public:
    // Colour pictures of the model's materials (each gets a "_nm" normal map).
    static std::vector<std::string> materialTextures();
    // Particle and billboard pictures, with their exact file names.
    static std::vector<std::string> spriteFiles();

    // Writes all pictures into `dir` (which must exist), spreading the work
    // over `threads` threads.
    static void writeAll(const std::string& dir, unsigned threads);

private:
    static void writeMaterial(const std::string& dir, const std::string& name);
    static void writeSprite(const std::string& dir, const std::string& file);
};

}  // namespace tolvane::content
