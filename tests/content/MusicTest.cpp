#include "ContentStage.h"

#include <gtest/gtest.h>
#include <mpg123.h>

#include <cmath>
#include <vector>

using namespace content_test;

namespace {

struct Decoded {
    long rate = 0;
    int channels = 0;
    int bitrate = 0;
    std::vector<short> samples;
};

Decoded decode(const std::string& path)
{
    Decoded out;
    mpg123_init();
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_FORCE_STEREO, 0.0);
    if (mpg123_open(h, path.c_str()) == MPG123_OK) {
        int encoding = 0;
        mpg123_getformat(h, &out.rate, &out.channels, &encoding);
        mpg123_frameinfo info{};
        mpg123_info(h, &info);
        out.bitrate = info.bitrate;
        std::vector<unsigned char> buffer(1 << 16);
        size_t done = 0;
        int rc = MPG123_OK;
        while (rc == MPG123_OK || rc == MPG123_NEW_FORMAT) {
            rc = mpg123_read(h, buffer.data(), buffer.size(), &done);
            const auto* s = reinterpret_cast<const short*>(buffer.data());
            out.samples.insert(out.samples.end(), s, s + done / sizeof(short));
        }
        mpg123_close(h);
    }
    mpg123_delete(h);
    return out;
}

double rms(const std::vector<short>& s, std::size_t from, std::size_t to)
{
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i)
        sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

} // namespace

TEST(Music, DecodesAsStereo160kbitAt44kHzAndOutlastsTheFlight)
{
    const Decoded music = decode(stageDir() + "/Music/DanceWithDragon_160kbts.mp3");
    ASSERT_FALSE(music.samples.empty());
    EXPECT_EQ(music.rate, 44100);
    EXPECT_EQ(music.channels, 2);
    EXPECT_EQ(music.bitrate, 160);
    const double seconds = static_cast<double>(music.samples.size()) / 2.0 / 44100.0;
    // Two seconds before the timeline starts, then the flight, then credits.
    EXPECT_GT(seconds, 2.0 + static_cast<double>(flightSteps()) / 50.0 + 15.0);
    EXPECT_LT(seconds, 300.0);

    const std::size_t second = 2 * 44100;
    const std::size_t n = music.samples.size();
    const double middle = rms(music.samples, n / 2 - second, n / 2 + second);
    EXPECT_GT(middle, 1500.0) << "the tune should be clearly audible";
    EXPECT_LT(rms(music.samples, n - second / 2, n), middle * 0.05) << "it should end in a fade";
    EXPECT_LT(rms(music.samples, 0, second / 20), middle * 0.1) << "it should not start with a click";
}
