#include "Mp3Writer.h"

#include "Instruments.h"
#include "StereoBuffer.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tolvane::content {
namespace {

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

std::unique_ptr<lame_global_flags, LameDeleter> configure()
{
    std::unique_ptr<lame_global_flags, LameDeleter> lame(lame_init());
    if (!lame)
        throw std::runtime_error("lame_init failed");
    lame_set_in_samplerate(lame.get(), Instruments::kSampleRate);
    lame_set_out_samplerate(lame.get(), Instruments::kSampleRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), Mp3Writer::kBitrate);
    lame_set_quality(lame.get(), 5);
    // No Xing/Info frame: the file is plain constant-rate frames, whose
    // length every decoder can work out.
    lame_set_bWriteVbrTag(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0)
        throw std::runtime_error("lame_init_params failed");
    return lame;
}

short toPcm(float v)
{
    return static_cast<short>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
}

}  // namespace

void Mp3Writer::write(const StereoBuffer& music, const std::string& path)
{
    auto lame = configure();
    std::ofstream out(path, std::ios::binary);
    const std::size_t chunk = 8192;
    std::vector<short> left(chunk);
    std::vector<short> right(chunk);
    std::vector<unsigned char> mp3(chunk * 5 / 4 + 7200);
    for (std::size_t start = 0; start < music.frames(); start += chunk) {
        const std::size_t n = std::min(chunk, music.frames() - start);
        for (std::size_t i = 0; i < n; ++i) {
            left[i] = toPcm(music.left[start + i]);
            right[i] = toPcm(music.right[start + i]);
        }
        const int bytes = lame_encode_buffer(lame.get(), left.data(), right.data(), static_cast<int>(n), mp3.data(),
                                             static_cast<int>(mp3.size()));
        if (bytes < 0)
            throw std::runtime_error("mp3 encoding failed");
        out.write(reinterpret_cast<const char*>(mp3.data()), bytes);
    }
    const int bytes = lame_encode_flush(lame.get(), mp3.data(), static_cast<int>(mp3.size()));
    out.write(reinterpret_cast<const char*>(mp3.data()), std::max(bytes, 0));
    if (!out)
        throw std::runtime_error("could not write " + path);
}

}  // namespace tolvane::content
