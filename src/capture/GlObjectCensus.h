#pragma once

namespace tolvane {

// Counts the live OpenGL objects of the current context by asking the
// driver about every name up to a limit. Drivers hand out names in
// ascending order, so a leak shows up as a growing count. Slow (a few
// thousand queries): for soak runs, not for every frame.
class GlObjectCensus {
public:
    struct Counts {
        int textures = 0;
        int buffers = 0;
        int vertexArrays = 0;
        int framebuffers = 0;
        int renderbuffers = 0;
        int programs = 0;
        int shaders = 0;
        int queries = 0;
        int transformFeedbacks = 0;

        int total() const;
    };

    // Names 1 to `highestName` are probed.
    explicit GlObjectCensus(unsigned highestName = 4096);

    Counts take() const;

private:
    unsigned highestName;
};

// Resident memory of this process in kilobytes (VmRSS), 0 when unknown.
long residentKilobytes();

}  // namespace tolvane
