// Reading Config.ini from real files: every conversion rule and the lines
// that must be ignored.
#include "app/Config.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tolvane;
using tolvane::test::captureStdout;

namespace {

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override { directory = test::makeScratchDirectory("tolvane-config"); }
    void TearDown() override { std::filesystem::remove_all(directory); }

    // Writes the file and reads it, returning what was printed.
    std::string read(const std::string& content)
    {
        const std::string path = directory + "/Config.ini";
        test::writeTextFile(path, content);
        return captureStdout([&] { readConfig(path, settings); });
    }

    std::string directory;
    Settings settings;
};

}  // namespace

TEST_F(ConfigTest, MissingFileKeepsDefaultsAndSaysSo)
{
    const std::string out = captureStdout([&] { readConfig(directory + "/absent.ini", settings); });
    EXPECT_EQ(out, "Unable to open configuration file\nResolution: 1024x600, FullScreenMode: 0\n\n");
    EXPECT_EQ(settings.width, 1024);
    EXPECT_FLOAT_EQ(settings.intensity, 1.0f);
}

TEST_F(ConfigTest, EmptyFilePrintsOnlyTheResolutionLine)
{
    EXPECT_EQ(read(""), "Resolution: 1024x600, FullScreenMode: 0\n\n");
}

TEST_F(ConfigTest, ReadsEverySetting)
{
    const std::string out = read("width=1280\nheight=720\nfullscreen=1\nrefresh_rate=60\n"
                                 "ambient=0.25\nintensity=2.5");
    EXPECT_EQ(out, "Resolution: 1280x720, FullScreenMode: 1\n\n");
    EXPECT_EQ(settings.refreshRate, 60);
    EXPECT_FLOAT_EQ(settings.ambient, 0.25f);
    EXPECT_FLOAT_EQ(settings.intensity, 2.5f);
}

TEST_F(ConfigTest, LaterLineForTheSameKeyWins)
{
    read("width=800\nwidth=640\n");
    EXPECT_EQ(settings.width, 640);
}

TEST_F(ConfigTest, FullscreenIsTrueOnlyForTheNumberOne)
{
    const std::pair<const char*, bool> cases[] = {
        {"1", true}, {" 1", true}, {"1x", true}, {"true", false}, {"yes", false}, {"2", false}, {"0", false},
    };
    for (const auto& [value, expected] : cases) {
        settings.fullscreen = !expected;
        read(std::string("fullscreen=") + value);
        EXPECT_EQ(settings.fullscreen, expected) << "value '" << value << "'";
    }
}

TEST_F(ConfigTest, IntegersTakeTheNumericPrefix)
{
    read("width=800px\nheight=  -5\nrefresh_rate=abc\n");
    EXPECT_EQ(settings.width, 800);
    EXPECT_EQ(settings.height, -5);
    EXPECT_EQ(settings.refreshRate, 0);
}

TEST_F(ConfigTest, FloatsTakeTheNumericPrefix)
{
    read("ambient= 0.25 bright\nintensity=3e-1x\n");
    EXPECT_FLOAT_EQ(settings.ambient, 0.25f);
    EXPECT_FLOAT_EQ(settings.intensity, 0.3f);
}

TEST_F(ConfigTest, BadFloatsKeepTheDefaultAndSayWhy)
{
    const std::string out = read("ambient=bright\nintensity=1e999\n");
    EXPECT_NE(out.find("invalid stof argument\n"), std::string::npos);
    EXPECT_NE(out.find("stof argument out of range\n"), std::string::npos);
    EXPECT_FLOAT_EQ(settings.ambient, 0.1f);
    EXPECT_FLOAT_EQ(settings.intensity, 1.0f);
}

TEST_F(ConfigTest, KeysMatchExactly)
{
    read("Width=800\nheight =500\n width=700\n[window]\n# width=1\n");
    EXPECT_EQ(settings.width, 1024);
    EXPECT_EQ(settings.height, 600);
}

TEST_F(ConfigTest, IgnoresLinesWithoutKeyOrValue)
{
    read("=800\nwidth=\nheight\n\nwidth==\n");
    EXPECT_EQ(settings.width, 0) << "the value of 'width==' is '=' and atoi gives 0";
    EXPECT_EQ(settings.height, 600);
}

TEST_F(ConfigTest, CarriageReturnsAreNotPartOfTheLine)
{
    read("width=1280\r\nfullscreen=1\r\nheight=720\r\n");
    EXPECT_EQ(settings.width, 1280);
    EXPECT_EQ(settings.height, 720);
    EXPECT_TRUE(settings.fullscreen);
}

TEST_F(ConfigTest, ValueKeepsFurtherEqualsSigns)
{
    read("intensity=2=3\n");
    EXPECT_FLOAT_EQ(settings.intensity, 2.0f);
}
