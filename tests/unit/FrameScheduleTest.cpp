// Which frames a capture plays, draws and keeps, and where the film ends.
#include "session/FrameSchedule.h"
#include "capture/CaptureOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tolvane;

namespace {

// The session's options as tolvane-capture's command line sets them.
SessionOptions options(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "tolvane-capture");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    CaptureOptions parsed;
    std::string error;
    EXPECT_EQ(parsed.parse(static_cast<int>(argv.size()), argv.data(), error), CommandLine::Run) << error;
    return parsed.session;
}

}  // namespace

// Frames well before a kept one are only updated; the two before it are
// drawn too, so that it meets the GL state a whole run leaves.
TEST(FrameSchedule, KeepsTheRangeOrTheChosenFramesAndDrawsJustBefore)
{
    const FrameSchedule range(options({"--out", "d", "--from", "1", "--to", "2", "--every", "5"}), 10.0);
    EXPECT_EQ(range.firstFrame(), 10);
    EXPECT_EQ(range.endFrame(), 20);
    EXPECT_FALSE(range.draws(7));
    EXPECT_TRUE(range.draws(8));
    EXPECT_FALSE(range.keeps(9));
    EXPECT_TRUE(range.keeps(10));
    EXPECT_FALSE(range.keeps(11));
    EXPECT_TRUE(range.keeps(15));
    EXPECT_TRUE(range.plays(19));
    EXPECT_FALSE(range.plays(20));

    const FrameSchedule chosen(options({"--out", "d", "--at", "3,1"}), 10.0);
    EXPECT_EQ(chosen.firstFrame(), 10);
    EXPECT_EQ(chosen.endFrame(), 31);
    EXPECT_TRUE(chosen.draws(9));
    EXPECT_FALSE(chosen.draws(11)) << "nothing is drawn between far-apart chosen frames";
    EXPECT_TRUE(chosen.draws(28));
    EXPECT_TRUE(chosen.keeps(30));
    EXPECT_FALSE(chosen.keeps(29));

    SessionOptions timed;  // as tolvane-bench plays
    timed.from = 1.0;
    timed.to = 2.0;
    const FrameSchedule bench(timed, 10.0);
    EXPECT_FALSE(bench.keeps(10)) << "a bench keeps no pictures";
}

// Without --to the film ends where the timeline says: the credits stand at
// least kCreditsHold, and the music plays to its end and a second more.
TEST(FrameSchedule, TheFilmEndsAfterTheCreditsHoldAndTheMusic)
{
    FrameSchedule longMusic(options({"--out", "d"}), 10.0);
    EXPECT_EQ(longMusic.endFrame(), -1);
    EXPECT_TRUE(longMusic.plays(30000));
    longMusic.musicStarted(21);
    longMusic.musicStarted(22);
    EXPECT_EQ(longMusic.musicFrame(), 21) << "the first frame counts";
    longMusic.filmEnded(500, 60.0);
    EXPECT_EQ(longMusic.endFrame(), 21 + 610);
    longMusic.filmEnded(900, 60.0);
    EXPECT_EQ(longMusic.endFrame(), 21 + 610) << "the end is fixed once";

    FrameSchedule shortMusic(options({"--out", "d"}), 10.0);
    shortMusic.musicStarted(21);
    shortMusic.filmEnded(500, 10.0);
    EXPECT_EQ(shortMusic.endFrame(), 541);

    FrameSchedule silent(options({"--out", "d"}), 10.0);
    silent.filmEnded(500, -1.0);
    EXPECT_EQ(silent.endFrame(), 541);

    FrameSchedule bounded(options({"--out", "d", "--to", "5"}), 10.0);
    bounded.musicStarted(21);
    bounded.filmEnded(30, 60.0);
    EXPECT_EQ(bounded.endFrame(), 50) << "--to decides when given";
    EXPECT_TRUE(FrameSchedule(options({"--out", "d"}), 10.0).pastLongest(36000));
}
