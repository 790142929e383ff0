// The two programs' command lines as their users meet them: what a range
// makes the session play, time and keep, which context it draws with, and
// the values and combinations refused with a message naming them.
#include "bench/BenchOptions.h"
#include "capture/CaptureOptions.h"
#include "session/FrameSchedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tolvane;

namespace {

template <typename Options>
CommandLine parse(Options& options, std::vector<std::string> arguments, std::string& error)
{
    arguments.insert(arguments.begin(), "program");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    return options.parse(static_cast<int>(argv.size()), argv.data(), error);
}

template <typename Options>
Options accepted(const std::vector<std::string>& arguments)
{
    Options options;
    std::string error;
    EXPECT_EQ(parse(options, arguments, error), CommandLine::Run) << error;
    return options;
}

std::string joined(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments)
        line += argument + " ";
    return line;
}

struct Refusal {
    std::vector<std::string> arguments;
    const char* mentioned;
};

template <typename Options>
void expectRefusals(const std::vector<Refusal>& refusals)
{
    for (const Refusal& refusal : refusals) {
        Options options;
        std::string error;
        EXPECT_EQ(parse(options, refusal.arguments, error), CommandLine::Refused) << joined(refusal.arguments);
        EXPECT_NE(error.find(refusal.mentioned), std::string::npos) << joined(refusal.arguments) << "-> " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
    }
}

}  // namespace

// At 10 frames a second: the capture keeps the whole film from the
// timeline's start (2 s, music and fade-in) unless told otherwise; the
// bench times 3 to 13 s and keeps nothing.
TEST(CommandLine, TheRangeDecidesWhatIsPlayedTimedAndKept)
{
    const FrameSchedule film(accepted<CaptureOptions>({"--out", "f"}).session, 10.0);
    EXPECT_EQ(film.firstFrame(), 20);
    EXPECT_EQ(film.endFrame(), -1) << "to the end of the film";
    EXPECT_FALSE(film.keeps(19)) << "the start delay is no part of the film";
    EXPECT_TRUE(film.keeps(20));
    EXPECT_TRUE(film.keeps(21));
    const FrameSchedule whole(accepted<CaptureOptions>({"--out", "f", "--from", "0"}).session, 10.0);
    EXPECT_EQ(whole.firstFrame(), 0);

    const FrameSchedule every(accepted<CaptureOptions>({"--sheet", "s.png", "--from=1.5", "--every=5"}).session, 10.0);
    EXPECT_EQ(every.firstFrame(), 15);
    EXPECT_TRUE(every.keeps(20));
    EXPECT_FALSE(every.keeps(21));

    const FrameSchedule chosen(accepted<CaptureOptions>({"--out", "f", "--at", "42,3,59.5"}).session, 10.0);
    EXPECT_EQ(chosen.firstFrame(), 30);
    EXPECT_EQ(chosen.endFrame(), 596);
    EXPECT_TRUE(chosen.keeps(420));
    EXPECT_FALSE(chosen.keeps(421));

    const FrameSchedule timed(accepted<BenchOptions>({}).session, 10.0);
    EXPECT_EQ(timed.firstFrame(), 30);
    EXPECT_EQ(timed.endFrame(), 130);
    EXPECT_FALSE(timed.keeps(30)) << "a bench keeps no pictures";

    const FrameSchedule late(accepted<BenchOptions>({"--from", "20"}).session, 10.0);
    EXPECT_EQ(late.firstFrame(), 200);
    EXPECT_EQ(late.endFrame(), -1) << "a range given in part is not completed from the default";

    const BenchOptions passes = accepted<BenchOptions>({"--passes", "--frames", "7", "--save", "p.png"});
    EXPECT_EQ(passes.mode, BenchOptions::Mode::Passes);
    EXPECT_EQ(passes.frames, 7);
    EXPECT_EQ(accepted<BenchOptions>({"--particles"}).mode, BenchOptions::Mode::Particles);
    EXPECT_EQ(accepted<BenchOptions>({}).mode, BenchOptions::Mode::Film);
}

// auto draws through EGL exactly when there is no display to open a window
// on; an explicit choice holds whatever DISPLAY says. The frame rate
// follows the renderer unless given.
TEST(CommandLine, TheContextAndThePaceFollowTheMachineUnlessGiven)
{
    const SessionOptions automatic = accepted<BenchOptions>({}).session;
    EXPECT_TRUE(automatic.drawsWithEgl(nullptr));
    EXPECT_TRUE(automatic.drawsWithEgl(""));
    EXPECT_FALSE(automatic.drawsWithEgl(":0"));
    EXPECT_TRUE(accepted<CaptureOptions>({"--out", "f", "--gl=egl"}).session.drawsWithEgl(":0"));
    EXPECT_FALSE(accepted<BenchOptions>({"--gl", "glfw"}).session.drawsWithEgl(nullptr));

    EXPECT_EQ(automatic.fpsOn("llvmpipe (LLVM 15.0.6, 256 bits)"), SessionOptions::kSoftwareFps);
    EXPECT_EQ(automatic.fpsOn("NVIDIA H100/PCIe/SSE2"), SessionOptions::kDesktopFps);
    EXPECT_EQ(accepted<CaptureOptions>({"--out", "f", "--fps", "25"}).session.fpsOn("llvmpipe"), 25.0);
    const SessionOptions last = accepted<CaptureOptions>({"--out", "f", "--fps", "25", "--fps=50"}).session;
    EXPECT_EQ(last.fpsOn("llvmpipe"), 50.0) << "a repeated option counts as its last";
    const SessionOptions sized = accepted<CaptureOptions>({"--out", "f", "--size", "256x150"}).session;
    EXPECT_EQ(sized.width, 256);
    EXPECT_EQ(sized.height, 150);
}

TEST(CommandLine, HelpListsEachProgramsOwnOptions)
{
    CaptureOptions capture;
    std::string error;
    EXPECT_EQ(parse(capture, {"--help"}, error), CommandLine::Help);
    EXPECT_EQ(parse(capture, {"-h"}, error), CommandLine::Help);
    const std::string captureHelp = CaptureOptions::usage();
    const std::string benchHelp = BenchOptions::usage();
    for (const char* shared : {"--fps N", "--from S", "--size WxH", "--gl egl|glfw|auto", "--quiet"}) {
        EXPECT_NE(captureHelp.find(shared), std::string::npos) << shared;
        EXPECT_NE(benchHelp.find(shared), std::string::npos) << shared;
    }
    EXPECT_NE(captureHelp.find("--sheet FILE"), std::string::npos);
    EXPECT_EQ(captureHelp.find("--json"), std::string::npos);
    EXPECT_NE(benchHelp.find("--census FILE"), std::string::npos);
    EXPECT_NE(benchHelp.find("--passes"), std::string::npos);
    EXPECT_EQ(benchHelp.find("--video"), std::string::npos);
}

TEST(CommandLine, TheCaptureRefusesBadValuesAndCombinationsNamingThem)
{
    expectRefusals<CaptureOptions>({
        {{"--out", "f", "--fps", "0"}, "--fps"},
        {{"--out", "f", "--fps", "-5"}, "--fps"},
        {{"--out", "f", "--fps", "fast"}, "'fast' is not"},
        {{"--out", "f", "--fps", "25x"}, "25x"},
        {{"--out", "f", "--fps", "nan"}, "--fps"},
        {{"--out", "f", "--from", "-1"}, "--from"},
        {{"--out", "f", "--to", "0"}, "--to"},
        {{"--out", "f", "--from", "3", "--to", "2"}, "--to must come after --from"},
        {{"--out", "f", "--from", "2", "--to", "2"}, "--to"},
        {{"--out", "f", "--every", "0"}, "--every"},
        {{"--out", "f", "--every", "2.5"}, "--every"},
        {{"--out", "f", "--size", "1024"}, "a size like"},
        {{"--out", "f", "--size", "0x600"}, "--size"},
        {{"--out", "f", "--size", "1024x-1"}, "--size"},
        {{"--out", "f", "--size", "99999x600"}, "--size"},
        {{"--out", "f", "--fps"}, "--fps"},
        {{"--out"}, "--out"},
        {{"--out="}, "--out"},
        {{"--out", "f", "stray"}, "stray"},
        {{"--out", "f", "--colour", "red"}, "unknown option '--colour'"},
        {{"--out", "f", "--bench"}, "--bench"},
        {{"--out", "f", "--json", "b.json"}, "--json"},
        {{"--out", "f", "--census", "c.txt"}, "--census"},
        {{"--out", "f", "--at", "3,,4"}, "--at"},
        {{"--out", "f", "--at", "-1"}, "--at"},
        {{"--out", "f", "--at", "3", "--every", "2"}, "--every"},
        {{"--out", "f", "--at", "3", "--from", "2"}, "--from"},
        {{"--sheet", "s.png", "--at", "3"}, "--out"},
        {{}, "nothing to do"},
        {{"--fps", "25"}, "nothing to do"},
        {{"--out", "f", "--gl", "vulkan"}, "vulkan"},
        {{"--out", "f", "--gl"}, "--gl"},
    });
}

TEST(CommandLine, TheBenchRefusesWhatItCannotMeasure)
{
    expectRefusals<BenchOptions>({
        {{"--fps", "0"}, "--fps"},
        {{"--from", "3", "--to", "2"}, "--to must come after --from"},
        {{"--passes", "--particles"}, "--particles"},
        {{"--passes", "--json", "b.json"}, "--json"},
        {{"--particles", "--census", "c.txt"}, "--census"},
        {{"--frames", "10"}, "--frames"},
        {{"--passes", "--frames", "0"}, "--frames"},
        {{"--particles", "--save", "p.png"}, "--save"},
        {{"--json"}, "--json"},
        {{"--out", "f"}, "unknown option '--out'"},
        {{"--bench"}, "unknown option '--bench'"},
    });
}
