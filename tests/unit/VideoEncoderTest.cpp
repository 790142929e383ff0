// The video: frames handed to ffmpeg on a thread of their own, the real
// ffmpeg making a film a browser streams, and every way the film can fail to
// be written naming the film and the cause.
#include "capture/VideoEncoder.h"
#include "capture/FrameImage.h"
#include "capture/FrameQueue.h"
#include "capture/OutputFile.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace tolvane {
namespace {

std::vector<std::string> filesIn(const std::string& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// However the sink lags, every frame arrives whole and in order, and the
// producer only ever fills the same few buffers.
TEST(FrameQueueTest, FramesArriveWholeAndInOrderThroughAFixedSetOfBuffers)
{
    constexpr std::size_t kBytes = 64 * 1024;
    constexpr int kFrames = 200;
    int expected = 0;
    bool whole = true;
    FrameQueue queue(kBytes, 3, [&](const std::uint8_t* data, std::size_t bytes) {
        if (expected % 7 == 0)
            std::this_thread::yield();
        for (std::size_t i = 0; i < bytes; ++i)
            whole = whole && data[i] == static_cast<std::uint8_t>(expected);
        whole = whole && bytes == kBytes;
        ++expected;
        return true;
    });
    std::set<std::uint8_t*> buffers;
    for (int frame = 0; frame < kFrames; ++frame) {
        std::uint8_t* buffer = queue.nextBuffer();
        ASSERT_NE(buffer, nullptr);
        buffers.insert(buffer);
        std::fill(buffer, buffer + kBytes, static_cast<std::uint8_t>(frame));
        queue.push();
    }
    EXPECT_TRUE(queue.finish());
    EXPECT_EQ(expected, kFrames) << "finish() returned before every frame was taken";
    EXPECT_TRUE(whole) << "a frame was overwritten while the sink read it, or came out of order";
    EXPECT_EQ(buffers.size(), 3u);
}

// A sink that gives up (ffmpeg died) stops the producer within the queue's
// depth, instead of leaving it waiting for room forever.
TEST(FrameQueueTest, ASinkThatGivesUpStopsTheProducer)
{
    int taken = 0;
    FrameQueue queue(16, 3, [&](const std::uint8_t*, std::size_t) { return ++taken < 5; });
    int pushed = 0;
    while (pushed < 1000) {
        std::uint8_t* buffer = queue.nextBuffer();
        if (buffer == nullptr)
            break;
        queue.push();
        ++pushed;
    }
    EXPECT_LE(pushed, 5 + 3);
    EXPECT_FALSE(queue.finish());
    EXPECT_EQ(taken, 5) << "frames were handed on after the sink gave up";
}

class VideoFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "ffmpeg is not installed";
        directory = test::makeScratchDirectory("tolvane-video");
        video = directory + "/film.mp4";
        const char* path = std::getenv("PATH");
        savedPath = path != nullptr ? path : "";
    }
    void TearDown() override
    {
        setenv("PATH", savedPath.c_str(), 1);
        if (!directory.empty())
            std::filesystem::remove_all(directory);
    }

    // An ffmpeg of our own, first in PATH: a shell script body that gets
    // ffmpeg's arguments, $out being the last (the file to write).
    void fakeFfmpeg(const std::string& body)
    {
        const std::string bin = directory + "/bin";
        test::writeTextFile(bin + "/ffmpeg", "#!/bin/sh\nfor out; do :; done\n" + body + "\n");
        chmod((bin + "/ffmpeg").c_str(), 0755);
        setenv("PATH", (bin + ":" + savedPath).c_str(), 1);
    }

    // Frames with the top third white and the rest black (rows bottom-up,
    // as GL reads them).
    static FrameImage topLitFrame(int width, int height)
    {
        FrameImage frame(width, height);
        frame.fill(0);
        for (int y = height - height / 3; y < height; ++y)
            std::fill(frame.row(y), frame.row(y) + frame.rowBytes(), 255);
        return frame;
    }

    // What a command printed on standard output.
    static std::string outputOf(const std::string& command)
    {
        std::string text;
        std::FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr)
            return text;
        char buffer[4096];
        std::size_t read = 0;
        while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, read);
        pclose(pipe);
        return text;
    }

    // ffprobe's answer for one stream ("v:0", "a:0"): "codec,width,height,
    // frames" for a video stream with the frames counted by decoding, or
    // the codec alone for sound; empty when the file has no such stream.
    static std::string probe(const std::string& file, const std::string& stream)
    {
        const bool picture = stream[0] == 'v';
        return outputOf("ffprobe -v error -select_streams " + stream +
                        (picture ? " -count_frames -show_entries stream=codec_name,width,height,nb_read_frames"
                                 : " -show_entries stream=codec_name") +
                        " -of csv=p=0 '" + file + "' 2>/dev/null");
    }

    // The loudest sample (of 32767) of each tenth of a second of the film's
    // sound, decoded to 8 kHz mono.
    static std::vector<int> loudnessPerTenth(const std::string& file)
    {
        const std::string raw = outputOf("ffmpeg -v error -i '" + file + "' -vn -ac 1 -ar 8000 -f s16le - 2>/dev/null");
        std::vector<int> loudness;
        const std::size_t samples = raw.size() / 2;
        for (std::size_t begin = 0; begin < samples; begin += 800) {
            int loudest = 0;
            for (std::size_t i = begin; i < std::min(samples, begin + 800); ++i) {
                const auto low = static_cast<unsigned char>(raw[2 * i]);
                const auto high = static_cast<unsigned char>(raw[2 * i + 1]);
                const int sample = static_cast<std::int16_t>(low | (high << 8));
                loudest = std::max(loudest, std::abs(sample));
            }
            loudness.push_back(loudest);
        }
        return loudness;
    }

    // Two seconds of a loud tone as the film's music, made by ffmpeg itself.
    std::string writeTone()
    {
        const std::string tone = directory + "/tone.wav";
        const std::string make =
            "ffmpeg -v error -f lavfi -i 'sine=frequency=440:duration=2' -af volume=8 '" + tone + "' 2>/dev/null";
        return std::system(make.c_str()) == 0 ? tone : std::string();
    }

    // A film of `frames` top-lit frames of 64 x 48 at 10 a second.
    bool encode(int frames, const std::string& music, double musicStart, std::string& error)
    {
        VideoEncoder encoder;
        if (!encoder.open(video, 64, 48, 10.0, error))
            return false;
        const FrameImage frame = topLitFrame(64, 48);
        for (int i = 0; i < frames; ++i)
            if (!encoder.addFrame(frame)) {
                error = encoder.failure();
                return false;
            }
        return encoder.close(music, musicStart, &frame, error);
    }

    std::string directory;
    std::string video;
    std::string savedPath;
};

// Odd sides (padded for 4:2:0), rows turned top-down, the index in front,
// the title, artist and cover a player shows, and nothing but the film left
// in the folder.
TEST_F(VideoFileTest, MakesAStreamableFilmTheRightWayUp)
{
    VideoEncoder encoder;
    std::string error;
    ASSERT_TRUE(encoder.open(video, 63, 47, 10.0, error)) << error;
    const FrameImage frame = topLitFrame(63, 47);
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(encoder.addFrame(frame)) << encoder.failure();
    const FrameImage cover = topLitFrame(32, 20);
    ASSERT_TRUE(encoder.close("", VideoEncoder::kNoMusic, &cover, error)) << error;
    EXPECT_TRUE(isStreamableIsoMedia(video)) << "the index must come before the data";
    EXPECT_EQ(filesIn(directory), std::vector<std::string>{"film.mp4"});
    EXPECT_EQ(probe(video, "v:0"), "h264,64,48,12\n") << "codec, padded size and every frame";
    EXPECT_EQ(probe(video, "a:0"), "") << "a film without music has no sound track";
    EXPECT_EQ(outputOf("ffprobe -v error -select_streams v:1 -show_entries stream=codec_name,width:"
                       "stream_disposition=attached_pic -of csv=p=0 '" +
                       video + "'"),
              "png,32,1\n")
        << "the cover: a PNG of its own size, marked as the attached picture";
    EXPECT_EQ(outputOf("ffprobe -v error -show_entries format_tags=title,artist -of csv=p=0 '" + video + "'"),
              std::string(VideoEncoder::kTitle) + "," + VideoEncoder::kArtist + "\n");

    // The first frame, decoded to grey: the top row is the lit one.
    const std::string decode = "ffmpeg -v error -i '" + video + "' -frames:v 1 -f rawvideo -pix_fmt gray - 2>/dev/null";
    std::FILE* pipe = popen(decode.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<unsigned char> grey(64 * 48);
    const std::size_t read = std::fread(grey.data(), 1, grey.size(), pipe);
    pclose(pipe);
    ASSERT_EQ(read, grey.size()) << "not a 64x48 film";
    EXPECT_GT(grey[64 * 2 + 30], 200) << "the top of the picture is dark: upside down";
    EXPECT_LT(grey[64 * 40 + 30], 50);
}

// The music enters where the film says: a second of silence before it
// when it started after the first frame, the track part way through when it
// started before; the film keeps its length either way.
TEST_F(VideoFileTest, TheMusicStartsWhereTheFilmSaysIt)
{
    const std::string tone = writeTone();
    if (tone.empty())
        GTEST_SKIP() << "this ffmpeg cannot make a test tone (no lavfi)";
    std::string error;
    ASSERT_TRUE(encode(20, tone, 1.0, error)) << error;
    EXPECT_TRUE(isStreamableIsoMedia(video));
    EXPECT_EQ(probe(video, "v:0"), "h264,64,48,20\n");
    EXPECT_EQ(probe(video, "a:0"), "aac\n");
    std::vector<int> loudness = loudnessPerTenth(video);
    ASSERT_GE(loudness.size(), 19u);
    for (std::size_t tenth = 0; tenth < 9; ++tenth)
        EXPECT_LT(loudness[tenth], 300) << "sound at " << tenth / 10.0 << " s, before the music's start";
    for (std::size_t tenth = 11; tenth < 19; ++tenth)
        EXPECT_GT(loudness[tenth], 3000) << "silence at " << tenth / 10.0 << " s, after the music's start";

    std::filesystem::remove(video);
    ASSERT_TRUE(encode(10, tone, -1.5, error)) << error;
    loudness = loudnessPerTenth(video);
    ASSERT_GE(loudness.size(), 5u);
    for (std::size_t tenth = 0; tenth < 4; ++tenth)
        EXPECT_GT(loudness[tenth], 3000) << "the music, begun before the film, is missing at " << tenth / 10.0;
    EXPECT_LT(loudness.back(), 300) << "past the track's end the film is silent";
}

TEST_F(VideoFileTest, ATargetThatCannotBeWrittenIsNamedWithTheCauseBeforeAnyFrame)
{
    std::string error;
    EXPECT_FALSE(VideoEncoder().open(directory + "/missing/film.mp4", 64, 48, 10.0, error));
    EXPECT_EQ(error,
              "cannot write " + directory + "/missing/film.mp4: the folder " + directory + "/missing does not exist");

    std::filesystem::create_directory(video);
    EXPECT_FALSE(VideoEncoder().open(video, 64, 48, 10.0, error));
    EXPECT_EQ(error, "cannot write " + video + ": Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(video)) << "the folder in the video's place was touched";
    EXPECT_EQ(filesIn(directory), std::vector<std::string>{"film.mp4"});

    setenv("PATH", directory.c_str(), 1);
    EXPECT_FALSE(VideoEncoder().open(directory + "/other.mp4", 64, 48, 10.0, error));
    EXPECT_NE(error.find("ffmpeg is not installed"), std::string::npos) << error;
}

// ffmpeg 5 reports a full disk only in its output, and still exits with 0.
TEST_F(VideoFileTest, FfmpegsOwnReasonNamesTheFailureAndItsLogStays)
{
    fakeFfmpeg("cat >/dev/null; echo \"Error writing trailer of $out: No space left on device\" >&2; exit 0");
    VideoEncoder encoder;
    std::string error;
    ASSERT_TRUE(encoder.open(video, 64, 48, 10.0, error)) << error;
    ASSERT_TRUE(encoder.addFrame(topLitFrame(64, 48)));
    EXPECT_FALSE(encoder.close("", VideoEncoder::kNoMusic, nullptr, error));
    EXPECT_EQ(error,
              video + ": No space left on device (writing " + video + ".silent.tmp), see " + video + ".ffmpeg.log");
    EXPECT_EQ(filesIn(directory), (std::vector<std::string>{"bin", "film.mp4.ffmpeg.log"}));
    EXPECT_NE(test::readTextFile(video + ".ffmpeg.log").find("No space left"), std::string::npos);
}

TEST_F(VideoFileTest, AnFfmpegThatDiesRefusesTheNextFramesAndSaysHowItEnded)
{
    // This process leaves SIGPIPE as it is: the thread that feeds ffmpeg
    // must meet ffmpeg's end as a failed write all the same.
    fakeFfmpeg("head -c 100 >/dev/null; echo \"$out: Invalid argument\" >&2; exit 3");
    VideoEncoder encoder;
    std::string error;
    // Frames larger than a pipe holds, so that none is taken whole.
    ASSERT_TRUE(encoder.open(video, 512, 384, 10.0, error)) << error;
    const FrameImage frame = topLitFrame(512, 384);
    int accepted = 0;
    while (accepted < 100 && encoder.addFrame(frame))
        ++accepted;
    EXPECT_LE(accepted, 1 + static_cast<int>(VideoEncoder::kQueuedFrames));
    EXPECT_EQ(encoder.failure(),
              video + ": ffmpeg stopped taking frames (exit code 3): Invalid argument, see " + video + ".ffmpeg.log");
    encoder.abandon();
    EXPECT_EQ(filesIn(directory), (std::vector<std::string>{"bin", "film.mp4.ffmpeg.log"}));
}

}  // namespace
}  // namespace tolvane
