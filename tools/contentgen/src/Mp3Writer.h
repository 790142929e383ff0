#pragma once
#include <string>

namespace tolvane::content {

struct StereoBuffer;

// Encodes with LAME: constant 160 kbit/s, 44.1 kHz, joint stereo.
class Mp3Writer {
public:
    static constexpr int kBitrate = 160;
    static void write(const StereoBuffer& music, const std::string& path);
};

}  // namespace tolvane::content
