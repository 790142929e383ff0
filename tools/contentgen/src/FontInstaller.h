#pragma once
#include <string>
#include <vector>

namespace tolvane::content {

// The two typefaces come from Debian font packages under the SIL Open Font
// Licence and are copied, unmodified, under the file names the demo opens,
// each with its package's copyright file beside it.
class FontInstaller {
public:
    struct Font {
        std::string target;     // file name under Fonts/
        std::string source;     // installed font file
        std::string copyright;  // the package's copyright and licence file
        std::string package;    // Debian package that provides both
    };

    static const std::vector<Font>& fonts();
    static void install(const std::string& fontsDir);
};

}  // namespace tolvane::content
