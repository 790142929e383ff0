#include "capture/GlObjectCensus.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstring>

namespace tolvane {

int GlObjectCensus::Counts::total() const
{
    return textures + buffers + vertexArrays + framebuffers + renderbuffers + programs + shaders + queries +
           transformFeedbacks;
}

GlObjectCensus::GlObjectCensus(unsigned highest) : highestName(highest) {}

GlObjectCensus::Counts GlObjectCensus::take() const
{
    Counts counts;
    for (GLuint name = 1; name <= highestName; ++name) {
        counts.textures += glIsTexture(name) ? 1 : 0;
        counts.buffers += glIsBuffer(name) ? 1 : 0;
        counts.vertexArrays += glIsVertexArray(name) ? 1 : 0;
        counts.framebuffers += glIsFramebuffer(name) ? 1 : 0;
        counts.renderbuffers += glIsRenderbuffer(name) ? 1 : 0;
        counts.programs += glIsProgram(name) ? 1 : 0;
        counts.shaders += glIsShader(name) ? 1 : 0;
        counts.queries += glIsQuery(name) ? 1 : 0;
        counts.transformFeedbacks += glIsTransformFeedback(name) ? 1 : 0;
    }
    return counts;
}

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
