// The checks that keep the capture from reporting a broken output as made.
#include "capture/OutputFile.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace tolvane {
namespace {

// An ISO media box: 32-bit big-endian size, four-character type, payload.
std::string box(const std::string& type, const std::string& payload)
{
    const std::size_t size = 8 + payload.size();
    std::string bytes = {static_cast<char>(size >> 24), static_cast<char>(size >> 16), static_cast<char>(size >> 8),
                         static_cast<char>(size)};
    return bytes + type + payload;
}

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override { directory = test::makeScratchDirectory("tolvane-output"); }
    void TearDown() override { std::filesystem::remove_all(directory); }
    std::string file(const std::string& bytes)
    {
        const std::string path = directory + "/file";
        test::writeTextFile(path, bytes);
        return path;
    }
    std::string directory;
};

TEST_F(OutputFileTest, AFullDeviceIsAFailedWriteWithItsCauseAndTheDeviceStays)
{
    std::string error;
    EXPECT_FALSE(writeWholeFile("/dev/full", std::string(100000, 'x'), error));
    EXPECT_EQ(error, "/dev/full: No space left on device");
    struct stat info = {};
    EXPECT_EQ(stat("/dev/full", &info), 0) << "a device named as output must never be removed";

    EXPECT_FALSE(writeWholeFile(directory + "/missing/dir/file", "x", error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;

    ASSERT_TRUE(writeWholeFile(directory + "/whole", "content", error)) << error;
    EXPECT_EQ(test::readTextFile(directory + "/whole"), "content");
}

TEST_F(OutputFileTest, APngIsCompleteOnlyWithItsClosingChunk)
{
    const std::string signature = "\x89PNG\r\n\x1a\n";
    const std::string header = std::string("\0\0\0\x0dIHDR", 8) + std::string(17, '\1');
    const std::string closing = std::string("\0\0\0\0IEND\xae\x42\x60\x82", 12);
    EXPECT_TRUE(isCompletePng(file(signature + header + closing)));
    EXPECT_FALSE(isCompletePng(file(signature + header)));
    EXPECT_FALSE(isCompletePng(file(signature + header + closing.substr(0, 11))));
    EXPECT_FALSE(isCompletePng(file("GIF89a" + header + closing)));
    EXPECT_FALSE(isCompletePng(directory + "/absent.png"));
}

TEST_F(OutputFileTest, AVideoIsCompleteWhenItsBoxesFillItAndOneIsTheIndex)
{
    const std::string start = box("ftyp", "isom0000");
    const std::string data = box("mdat", std::string(300, '\7'));
    const std::string index = box("moov", box("mvhd", std::string(100, '\0')));
    EXPECT_TRUE(isCompleteIsoMedia(file(start + data + index)));
    EXPECT_TRUE(isCompleteIsoMedia(file(start + index + data)));
    EXPECT_FALSE(isCompleteIsoMedia(file(start + data))) << "no index";
    EXPECT_FALSE(isCompleteIsoMedia(file(start + data + index.substr(0, index.size() - 1)))) << "cut short";
    EXPECT_FALSE(isCompleteIsoMedia(file(start + data.substr(0, 200)))) << "cut inside the data";
    EXPECT_FALSE(isCompleteIsoMedia(file("")));

    // A box of 64-bit size (size field 1), as large media data uses.
    std::string large = std::string("\0\0\0\x01mdat", 8) + std::string("\0\0\0\0\0\0\0\x20", 8) + std::string(16, '\0');
    EXPECT_TRUE(isCompleteIsoMedia(file(start + large + index)));
    EXPECT_EQ(isoMediaBoxes(file(start + large + index)), (std::vector<std::string>{"ftyp", "mdat", "moov"}));
    // Its 64-bit size must at least cover its 16-byte header.
    large.replace(8, 8, std::string("\0\0\0\0\0\0\0\x0c", 8));
    EXPECT_TRUE(isoMediaBoxes(file(start + large)).empty());
}

// A player reading from the front starts only once it has the index.
TEST_F(OutputFileTest, AVideoStreamsWhenItsIndexComesBeforeItsData)
{
    const std::string start = box("ftyp", "isom0000");
    const std::string data = box("mdat", std::string(300, '\7'));
    const std::string index = box("moov", box("mvhd", std::string(100, '\0')));
    EXPECT_TRUE(isStreamableIsoMedia(file(start + index + box("free", "") + data)));
    EXPECT_FALSE(isStreamableIsoMedia(file(start + data + index)));
    EXPECT_FALSE(isStreamableIsoMedia(file(start + index + data.substr(0, 100)))) << "cut short";
    EXPECT_TRUE(isoMediaBoxes(directory + "/absent.mp4").empty());
}

}  // namespace
}  // namespace tolvane
