#pragma once
#include <vector>

namespace tolvane::content {

struct StereoBuffer;

// A small Schroeder room (parallel combs into series all-passes), with
// slightly different delays per channel for width.
class Reverb {
public:
    static void apply(StereoBuffer& buffer, float wet);

private:
    static std::vector<float> process(const std::vector<float>& in, int spread);
};

}  // namespace tolvane::content
