#include "ContentStage.h"

#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <regex>
#include <string>
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

}  // namespace

double decibels(double rmsValue)
{
    return 20.0 * std::log10(std::max(rmsValue, 1.0) / 32768.0);
}

TEST(Music, DecodesAsStereo160kbitAt44kHzAndEndsSoonAfterTheCredits)
{
    const Decoded music = decode(stageDir() + "/Music/DanceWithDragon_160kbts.mp3");
    ASSERT_FALSE(music.samples.empty());
    EXPECT_EQ(music.rate, 44100);
    EXPECT_EQ(music.channels, 2);
    EXPECT_EQ(music.bitrate, 160);
    const double seconds = static_cast<double>(music.samples.size()) / 2.0 / 44100.0;
    // The music starts with the timeline. At 60 Hz the timeline takes a step
    // every second frame, 30 a second: the slowest pace of an ordinary
    // machine. The credits then come this late; the music fades under them
    // and the film ends with it, so they hold for no more than ten seconds.
    const double slowCredits = static_cast<double>(flightSteps()) / 30.0;
    ASSERT_GT(seconds, slowCredits + 5.0);
    EXPECT_LT(seconds, slowCredits + 9.0);

    const std::size_t second = 2 * 44100;
    const std::size_t n = music.samples.size();
    const double middle = rms(music.samples, n / 2 - second, n / 2 + second);
    EXPECT_GT(middle, 1000.0) << "the tune should be clearly audible";
    const auto slowCreditsAt = static_cast<std::size_t>(slowCredits) * second;
    EXPECT_GT(rms(music.samples, slowCreditsAt, slowCreditsAt + 2 * second), middle * 0.3)
        << "the music should still play when the credits come at the slowest pace";
    EXPECT_LT(rms(music.samples, n - second / 2, n), middle * 0.05) << "it should end in a fade";
    EXPECT_LT(rms(music.samples, 0, second / 20), middle * 0.1) << "it should not start with a click";
}

// A film that builds and resolves: five-second windows of the body (after
// the fade-in, before the fade-out) span a real range of loudness, with the
// loudest well inside the piece and a quieter close than climax.
TEST(Music, LoudnessFollowsTheFilmFromQuietOpeningToClimaxAndBack)
{
    const Decoded music = decode(stageDir() + "/Music/DanceWithDragon_160kbts.mp3");
    ASSERT_FALSE(music.samples.empty());
    const std::size_t window = 5 * 2 * 44100;
    const std::size_t n = music.samples.size();
    std::vector<double> levels;
    for (std::size_t from = window; from + window <= n - 2 * window; from += window)
        levels.push_back(decibels(rms(music.samples, from, from + window)));
    ASSERT_GE(levels.size(), 10u);
    const auto loudest = std::max_element(levels.begin(), levels.end());
    const auto quietest = std::min_element(levels.begin(), levels.end());
    EXPECT_GE(*loudest - *quietest, 6.0);
    EXPECT_LT(levels.front(), *loudest - 6.0) << "the opening should be quiet";
    EXPECT_LT(levels.back(), *loudest - 3.0) << "the close should settle down";
    const auto peakIndex = static_cast<std::size_t>(loudest - levels.begin());
    EXPECT_GT(peakIndex, levels.size() / 3) << "the climax should come after a build";
    EXPECT_LT(peakIndex, levels.size() - 2) << "the climax should leave room for a resolution";
}

namespace {

// The last figure that follows `label` in ffmpeg's ebur128 summary, or NaN.
double summaryFigure(const std::string& report, const std::string& label)
{
    const std::regex pattern(label + R"(\s+(-?[0-9.]+|-inf))");
    double value = std::nan("");
    for (auto it = std::sregex_iterator(report.begin(), report.end(), pattern); it != std::sregex_iterator(); ++it)
        value = (*it)[1] == "-inf" ? -HUGE_VAL : std::stod((*it)[1]);
    return value;
}

std::string ebur128Report(const std::string& file)
{
    const std::string command = "ffmpeg -hide_banner -nostats -i '" + file + "' -af ebur128=peak=true -f null - 2>&1";
    std::string report;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        std::size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
            report.append(chunk, got);
        pclose(pipe);
    }
    return report;
}

}  // namespace

// Measured as a video platform measures it (ITU-R BS.1770 through ffmpeg's
// ebur128 filter), on the MP3 the demo plays: as loud as online video, peaks
// clear of clipping after decoding, and still a piece that breathes.
TEST(Music, IsMasteredToTheLoudnessOfOnlineVideo)
{
    const std::string report = ebur128Report(stageDir() + "/Music/DanceWithDragon_160kbts.mp3");
    ASSERT_NE(report.find("Summary:"), std::string::npos) << "ffmpeg could not measure the music:\n" << report;
    const double integrated = summaryFigure(report, "I:");
    const double range = summaryFigure(report, "LRA:");
    const double truePeak = summaryFigure(report, "Peak:");
    EXPECT_NEAR(integrated, -16.0, 1.0) << "integrated loudness, LUFS";
    EXPECT_LE(truePeak, -1.0) << "true peak, dBTP";
    EXPECT_GE(range, 6.0) << "loudness range, LU";
}
