// tolvane-contentgen: writes the demo's model, textures, music, fonts,
// camera paths and configuration into a staged run layout.
#include "ContentGenerator.h"

#include <FreeImage.h>

#include <exception>
#include <iostream>
#include <string>
#include <thread>

namespace {

int usage()
{
    std::cerr << "usage: tolvane-contentgen [--force] [--data <dir>] <stageRoot>\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    tolvane::content::GeneratorOptions options;
    options.dataDir = TOLVANE_CONTENT_DATA_DIR;
    options.threads = std::max(2u, std::thread::hardware_concurrency());
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--force")
            options.force = true;
        else if (arg == "--data" && i + 1 < argc)
            options.dataDir = argv[++i];
        else if (!arg.empty() && arg[0] != '-' && options.stageRoot.empty())
            options.stageRoot = arg;
        else
            return usage();
    }
    if (options.stageRoot.empty())
        return usage();
    FreeImage_Initialise(FALSE);
    try {
        tolvane::content::ContentGenerator(options).run();
    } catch (const std::exception& e) {
        std::cerr << "tolvane-contentgen: " << e.what() << "\n";
        FreeImage_DeInitialise();
        return 1;
    }
    FreeImage_DeInitialise();
    return 0;
}
