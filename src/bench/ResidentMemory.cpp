#include "bench/ResidentMemory.h"

#include <cstdio>
#include <cstring>

namespace tolvane {

long residentKilobytes()
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return 0;
    char line[256];
    long kilobytes = 0;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            std::sscanf(line + 6, "%ld", &kilobytes);
            break;
        }
    }
    std::fclose(status);
    return kilobytes;
}

}  // namespace tolvane
