#include "FontInstaller.h"

#include "base/ContentLayout.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tolvane::content {

const std::vector<FontInstaller::Font>& FontInstaller::fonts()
{
    static const std::vector<Font> table = {
        // Text: Cardo, a calm old-style serif that stays readable at 24 px.
        {std::filesystem::path(kTextFont).filename().string(), "/usr/share/fonts/truetype/cardo/Cardo104s.ttf",
         "/usr/share/doc/fonts-cardo/copyright", "fonts-cardo"},
        // Title: Klaudia, drawn after Celtic inscriptions.
        {std::filesystem::path(kTitleFont).filename().string(),
         "/usr/share/fonts/truetype/klaudia-berenika/Klaudia.ttf", "/usr/share/doc/fonts-klaudia-berenika/copyright",
         "fonts-klaudia-berenika"},
    };
    return table;
}

void FontInstaller::install(const std::string& fontsDir)
{
    namespace fs = std::filesystem;
    fs::create_directories(fontsDir);
    std::ofstream notice(fontsDir + "/FONTS.txt", std::ios::binary);
    notice << "The fonts in this folder are unmodified copies of fonts from Debian\n"
              "packages, renamed to the file names the demo opens. Each is licensed\n"
              "under the SIL Open Font License 1.1; see the copyright file beside it.\n\n";
    for (const Font& f : fonts()) {
        if (!fs::exists(f.source) || !fs::exists(f.copyright))
            throw std::runtime_error("missing " + f.source + " or its copyright file: install the Debian package " +
                                     f.package);
        fs::copy_file(f.source, fontsDir + "/" + f.target, fs::copy_options::overwrite_existing);
        const std::string stem = f.target.substr(0, f.target.rfind('.'));
        fs::copy_file(f.copyright, fontsDir + "/" + stem + " - copyright.txt", fs::copy_options::overwrite_existing);
        notice << f.target << "  <-  " << fs::path(f.source).filename().string() << " (package " << f.package << ")\n";
    }
    if (!notice)
        throw std::runtime_error("could not write the font notice");
}

}  // namespace tolvane::content
