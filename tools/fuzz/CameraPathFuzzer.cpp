// libFuzzer target: arbitrary bytes as a camera-path file, loaded both ways
// and played to the end.
#include "scene/CameraPath.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/tolvane-fuzz-campath-" + std::to_string(getpid()) + ".xml";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    for (bool reverse : {true, false}) {
        tolvane::CameraPath cameraPath;
        cameraPath.fileName = path.c_str();
        cameraPath.load(reverse);
        while (!cameraPath.finished)
            delete cameraPath.next();
    }
    return 0;
}
