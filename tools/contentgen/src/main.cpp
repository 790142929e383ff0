// tolvane-contentgen: writes the demo's model, textures, music, fonts,
// camera paths and configuration into a staged run layout.
#include "ContentGenerator.h"
#include "ImageWriter.h"
#include "PreviewRenderer.h"
#include "base/ContentLayout.h"

#include <FreeImage.h>

#include <exception>
#include <iostream>
#include <string>
#include <thread>

namespace {

int usage()
{
    std::cerr << "usage: tolvane-contentgen [--force] [--data <dir>] <stageRoot>\n"
                 "       tolvane-contentgen --preview <stageRoot> <outputDir>\n";
    return 2;
}

// Renders the staged scene from the demo's viewpoints into PNG files.
int preview(const std::string& stageRoot, const std::string& outputDir)
{
    using namespace tolvane::content;
    struct View {
        const char* name;
        glm::vec3 eye;
        glm::vec3 target;
    };
    const View views[] = {
        {"start", kCameraStart, kFlightTargets[0]},                // the opening shot
        {"path1_end", {-5.2f, 1.8f, 0.8f}, kFlightTargets[0]},     // the first flight's end, west of the hut
        {"path2", {4.9f, 0.6f, 1.0f}, kFlightTargets[1]},          // knee-high by the east side
        {"path3", {-7.2f, 4.5f, 2.6f}, kFlightTargets[2]},         // the crane, half-way up
        {"path4", {-8.6f, 0.9f, -9.0f}, kFlightTargets[3]},        // low beyond the fire
        {"overview", {9.0f, 9.0f, 12.0f}, {-1.5f, 0.0f, -1.5f}}};  // the clearing from above
    const PreviewRenderer renderer(stageRoot);
    for (const View& v : views)
        ImageWriter::save(renderer.render(v.eye, v.target, 768, 450), outputDir + "/" + v.name + ".png",
                          ImageWriter::Channels::Rgb);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    tolvane::content::GeneratorOptions options;
    options.dataDir = TOLVANE_CONTENT_DATA_DIR;
    options.threads = std::max(2u, std::thread::hardware_concurrency());
    if (argc == 4 && std::string(argv[1]) == "--preview")
        return preview(argv[2], argv[3]);
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
