// libFuzzer target: arbitrary bytes as Config.ini.
#include "app/Config.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/tolvane-fuzz-config-" + std::to_string(getpid()) + ".ini";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    tolvane::Settings settings;
    tolvane::readConfig(path, settings);
    return 0;
}
