// The capture tool's command line: accepted forms, range defaults and the
// values and combinations it must refuse with a message.
#include "capture/CaptureOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using tolvane::CaptureOptions;

namespace {

struct Parsed {
    bool ok;
    std::string error;
    CaptureOptions options;
};

Parsed parse(const std::vector<std::string>& arguments)
{
    Parsed result;
    result.ok = result.options.parse(arguments, result.error);
    return result;
}

TEST(CaptureOptionsTest, ReadsEveryOptionInBothForms)
{
    const Parsed p = parse({"--fps",
                            "25",
                            "--from=1.5",
                            "--to",
                            "4",
                            "--every=5",
                            "--size",
                            "256x150",
                            "--out",
                            "frames",
                            "--video=film.mp4",
                            "--sheet",
                            "sheet.png",
                            "--loading-screen",
                            "l.png",
                            "--fire",
                            "--bench",
                            "--json",
                            "b.json",
                            "--plot=p.png",
                            "--reference",
                            "--quiet"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_DOUBLE_EQ(p.options.fps, 25.0);
    EXPECT_DOUBLE_EQ(p.options.from, 1.5);
    EXPECT_DOUBLE_EQ(p.options.to, 4.0);
    EXPECT_EQ(p.options.every, 5);
    EXPECT_EQ(p.options.width, 256);
    EXPECT_EQ(p.options.height, 150);
    EXPECT_EQ(p.options.outDirectory, "frames");
    EXPECT_EQ(p.options.videoFile, "film.mp4");
    EXPECT_EQ(p.options.sheetFile, "sheet.png");
    EXPECT_EQ(p.options.loadingFile, "l.png");
    EXPECT_TRUE(p.options.fire);
    EXPECT_TRUE(p.options.bench);
    EXPECT_EQ(p.options.jsonFile, "b.json");
    EXPECT_EQ(p.options.plotFile, "p.png");
    EXPECT_TRUE(p.options.reference);
    EXPECT_TRUE(p.options.quiet);
}

TEST(CaptureOptionsTest, DefaultsPlayTheWholeFilmAtTheDesktopsPace)
{
    const Parsed p = parse({"--out", "frames"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_DOUBLE_EQ(p.options.fps, 0.0) << "chosen by the renderer";
    EXPECT_DOUBLE_EQ(p.options.fpsOn("llvmpipe (LLVM 15.0.6, 256 bits)"), 30.0);
    EXPECT_DOUBLE_EQ(p.options.fpsOn("zink (llvmpipe (LLVM 15.0.6, 256 bits))"), 30.0);
    EXPECT_DOUBLE_EQ(p.options.fpsOn("NVIDIA H100 80GB HBM3/PCIe/SSE2"), 60.0);
    EXPECT_DOUBLE_EQ(p.options.from, 0.0);
    EXPECT_EQ(p.options.to, CaptureOptions::kEndOfFilm);
    EXPECT_EQ(p.options.every, 1);
    EXPECT_EQ(p.options.width, 0);
    EXPECT_FALSE(p.options.reference);
}

TEST(CaptureOptionsTest, BenchWithoutRangePlaysAStretchAfterTheFadeIn)
{
    const Parsed bare = parse({"--bench"});
    ASSERT_TRUE(bare.ok) << bare.error;
    EXPECT_GE(bare.options.from, 2.5);
    EXPECT_GT(bare.options.to, bare.options.from);

    // A range given by the user is kept as it is.
    const Parsed ranged = parse({"--bench", "--from", "0"});
    ASSERT_TRUE(ranged.ok) << ranged.error;
    EXPECT_DOUBLE_EQ(ranged.options.from, 0.0);
    EXPECT_EQ(ranged.options.to, CaptureOptions::kEndOfFilm);
}

TEST(CaptureOptionsTest, AtTakesASortedListOfTimes)
{
    const Parsed p = parse({"--out", "f", "--at", "42,3,59.5"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.at, (std::vector<double>{3.0, 42.0, 59.5}));
}

TEST(CaptureOptionsTest, HelpNeedsNothingElse)
{
    const Parsed p = parse({"--help"});
    EXPECT_TRUE(p.ok);
    EXPECT_TRUE(p.options.help);
    EXPECT_NE(CaptureOptions::usage().find("--video"), std::string::npos);
}

// auto draws through EGL exactly when there is no display to open a window
// on; an explicit choice holds whatever DISPLAY says.
TEST(CaptureOptionsTest, ChoosesEglWithoutADisplayUnlessToldOtherwise)
{
    const Parsed automatic = parse({"--out", "f"});
    ASSERT_TRUE(automatic.ok) << automatic.error;
    EXPECT_TRUE(automatic.options.drawsWithEgl(nullptr));
    EXPECT_TRUE(automatic.options.drawsWithEgl(""));
    EXPECT_FALSE(automatic.options.drawsWithEgl(":0"));

    const Parsed egl = parse({"--out", "f", "--gl=egl"});
    ASSERT_TRUE(egl.ok) << egl.error;
    EXPECT_TRUE(egl.options.drawsWithEgl(":0"));

    const Parsed glfw = parse({"--out", "f", "--gl", "glfw"});
    ASSERT_TRUE(glfw.ok) << glfw.error;
    EXPECT_FALSE(glfw.options.drawsWithEgl(nullptr));

    // Listing the devices is a whole run of its own.
    const Parsed list = parse({"--list-devices"});
    EXPECT_TRUE(list.ok) << list.error;
    EXPECT_TRUE(list.options.listDevices);
}

// Each bad command line fails, and its message names what was wrong.
TEST(CaptureOptionsTest, RefusesBadValuesWithAMessageNamingThem)
{
    const struct {
        std::vector<std::string> arguments;
        const char* mentioned;
    } cases[] = {
        {{"--out", "f", "--fps", "0"}, "--fps"},
        {{"--out", "f", "--fps", "-5"}, "--fps"},
        {{"--out", "f", "--fps", "fast"}, "fast"},
        {{"--out", "f", "--fps", "25x"}, "25x"},
        {{"--out", "f", "--fps", "nan"}, "--fps"},
        {{"--out", "f", "--from", "-1"}, "--from"},
        {{"--out", "f", "--to", "0"}, "--to"},
        {{"--out", "f", "--from", "3", "--to", "2"}, "--to"},
        {{"--out", "f", "--from", "2", "--to", "2"}, "--to"},
        {{"--out", "f", "--every", "0"}, "--every"},
        {{"--out", "f", "--every", "2.5"}, "--every"},
        {{"--out", "f", "--size", "1024"}, "--size"},
        {{"--out", "f", "--size", "0x600"}, "--size"},
        {{"--out", "f", "--size", "1024x-1"}, "--size"},
        {{"--out", "f", "--size", "axb"}, "--size"},
        {{"--out", "f", "--fps"}, "--fps"},
        {{"--out"}, "--out"},
        {{"--out="}, "--out"},
        {{"--out", "f", "--frames", "3"}, "--frames"},
        {{"--out", "f", "stray"}, "stray"},
        {{"--out", "f", "--fire=yes"}, "--fire"},
        {{"--out", "f", "--json", "b.json"}, "--bench"},
        {{"--out", "f", "--plot", "p.png"}, "--bench"},
        {{"--out", "f", "--reference"}, "--bench"},
        {{"--bench", "--reference=yes"}, "--reference"},
        {{"--out", "f", "--at", "3,,4"}, "--at"},
        {{"--out", "f", "--at", "-1"}, "--at"},
        {{"--out", "f", "--at", "3", "--every", "2"}, "--every"},
        {{"--out", "f", "--at", "3", "--from", "2"}, "--from"},
        {{"--sheet", "s.png", "--at", "3"}, "--out"},
        {{}, "nothing to do"},
        {{"--fps", "25"}, "nothing to do"},
        {{"--out", "f", "--gl", "vulkan"}, "vulkan"},
        {{"--out", "f", "--gl"}, "--gl"},
        {{"--out", "f", "--list-devices=1"}, "--list-devices"},
    };
    for (const auto& c : cases) {
        const Parsed p = parse(c.arguments);
        std::string line;
        for (const std::string& a : c.arguments)
            line += a + " ";
        EXPECT_FALSE(p.ok) << line;
        EXPECT_NE(p.error.find(c.mentioned), std::string::npos) << line << "-> " << p.error;
    }
}

}  // namespace
