#include "scene/CameraPath.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tolvane {
namespace {

using test::captureStdout;

// Writes camera-path files into a scratch directory and reads them back.
class CameraPathTest : public ::testing::Test {
protected:
    void SetUp() override { directory_ = test::makeScratchDirectory("tolvane-campath"); }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    // Writes `content` to a fresh file and returns its path.
    const char* writeFile(const std::string& content)
    {
        paths_.push_back(directory_ + "/campath" + std::to_string(paths_.size() + 1) + ".xml");
        test::writeTextFile(paths_.back(), content);
        return paths_.back().c_str();
    }

    // A well-formed file whose record list is `elements`.
    const char* writePath(const std::string& elements)
    {
        return writeFile("<?xml version=\"1.0\"?>\n<spline_editor>\n<spline>\n<spline_point_array>\n" + elements +
                         "\n</spline_point_array>\n</spline>\n</spline_editor>\n");
    }

    // Loads `fileName` into `path` and returns what load printed.
    static std::string load(CameraPath& path, const char* fileName, bool reverse)
    {
        path.fileName = fileName;
        return captureStdout([&] { path.load(reverse); });
    }

    // Takes every record in hand-out order.
    static std::vector<PathEvent> drain(CameraPath& path)
    {
        std::vector<PathEvent> records;
        while (std::unique_ptr<PathEvent> event{path.next()}) {
            records.push_back(*event);
        }
        return records;
    }

    std::string directory_;
    std::deque<std::string> paths_;  // stable addresses for the c_str() handed out
};

constexpr const char* kThreeRecords = "<spline_position x=\"1\" y=\"0\" z=\"0\" time=\"0\"/>"
                                      "<fade_in/>"
                                      "<spline_position x=\"2\" y=\"0\" z=\"0\" time=\"1\"/>";

TEST_F(CameraPathTest, ReverseTrueHandsRecordsOutInFileOrder)
{
    CameraPath path;
    load(path, writePath(kThreeRecords), true);

    std::unique_ptr<PathEvent> first{path.next()};
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(SplinePosition, first->type);
    EXPECT_FLOAT_EQ(1.0f, first->position.x);

    std::unique_ptr<PathEvent> second{path.next()};
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(FadeIn, second->type);
    EXPECT_FALSE(path.finished);

    std::unique_ptr<PathEvent> third{path.next()};
    ASSERT_NE(nullptr, third);
    EXPECT_FLOAT_EQ(2.0f, third->position.x);
    EXPECT_TRUE(path.finished) << "finished as soon as the last record is handed out";

    EXPECT_EQ(nullptr, path.next());
    EXPECT_TRUE(path.finished);
}

TEST_F(CameraPathTest, ReverseFalseHandsRecordsOutFromTheLastElement)
{
    CameraPath path;
    load(path, writePath(kThreeRecords), false);

    const std::vector<PathEvent> records = drain(path);
    ASSERT_EQ(3u, records.size());
    EXPECT_FLOAT_EQ(2.0f, records[0].position.x);
    EXPECT_EQ(FadeIn, records[1].type);
    EXPECT_FLOAT_EQ(1.0f, records[2].position.x);
    EXPECT_TRUE(path.finished);
}

TEST_F(CameraPathTest, EventElementsCarryNoData)
{
    CameraPath path;
    load(path,
         writePath("<spline_position x=\"7\" y=\"8\" z=\"9\" time=\"3\"/>"
                   "<fade_in x=\"5\" time=\"2\"/><fade_out/><fire_on/><fire_off/><credits/>"),
         true);

    const std::vector<PathEvent> records = drain(path);
    const PathEventType expected[] = {SplinePosition, FadeIn, FadeOut, FireOn, FireOff, Credits};
    ASSERT_EQ(6u, records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(expected[i], records[i].type) << "record " << i;
        if (i > 0) {
            EXPECT_EQ(0.0f, records[i].time) << "record " << i;
            EXPECT_EQ(glm::vec3(0.0f), records[i].position) << "record " << i;
        }
    }
    EXPECT_EQ(glm::vec3(7.0f, 8.0f, 9.0f), records[0].position);
    EXPECT_FLOAT_EQ(3.0f, records[0].time);
}

TEST_F(CameraPathTest, MissingAttributesCarryOverFromThePreviousPosition)
{
    CameraPath path;
    load(path,
         writePath("<spline_position x=\"1\" y=\"2\" z=\"3\" time=\"0.5\"/>"
                   "<fade_out/>"
                   "<spline_position x=\"4\"/>"),
         true);

    const std::vector<PathEvent> records = drain(path);
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(glm::vec3(4.0f, 2.0f, 3.0f), records[2].position);
    EXPECT_FLOAT_EQ(0.5f, records[2].time);

    // The running values start from zero again for every load.
    CameraPath other;
    load(other, writePath("<spline_position z=\"-1\"/>"), true);
    std::unique_ptr<PathEvent> fresh{other.next()};
    ASSERT_NE(nullptr, fresh);
    EXPECT_EQ(glm::vec3(0.0f, 0.0f, -1.0f), fresh->position);
    EXPECT_EQ(0.0f, fresh->time);
}

TEST_F(CameraPathTest, AttributeTextIsReadLikeScanfFloat)
{
    CameraPath path;
    load(path,
         writePath("<spline_position x=\"abc\" y=\" 2.5e1m\" z=\"-.5\" time=\"1\"/>"
                   "<spline_position x=\"3\" y=\"oops\" z=\"\" time=\"2s\"/>"),
         true);

    const std::vector<PathEvent> records = drain(path);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(glm::vec3(0.0f, 25.0f, -0.5f), records[0].position);
    // Unparsable text keeps the value of the previous position element.
    EXPECT_EQ(glm::vec3(3.0f, 25.0f, -0.5f), records[1].position);
    EXPECT_FLOAT_EQ(2.0f, records[1].time);
}

TEST_F(CameraPathTest, UnknownNamesAreReportedAndSkipped)
{
    CameraPath path;
    const std::string output =
        load(path, writePath("<Fade_In/><spline_position x=\"1\"/><camera_shake strength=\"2\"/>"), true);

    EXPECT_EQ("Unknown Event Type 'Fade_In'\nUnknown Event Type 'camera_shake'\n", output);
    const std::vector<PathEvent> records = drain(path);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(SplinePosition, records[0].type);
}

TEST_F(CameraPathTest, OnlyTheDirectChildrenOfTheFirstPointArrayAreRead)
{
    CameraPath path;
    const std::string output = load(path, writeFile(R"(<?xml version="1.0"?>
<!-- comment before the root -->
<spline_editor version="2">
  <fade_out/>
  <spline name="main">
    <fire_on/>
    <spline_point_array count="99">
      text between records
      <spline_position x="1"><fire_off/><spline_position x="9"/></spline_position>
      <!-- a comment -->
      <credits/>
    </spline_point_array>
    <spline_point_array><fade_in/></spline_point_array>
  </spline>
  <spline><spline_point_array><fade_in/></spline_point_array></spline>
</spline_editor>
<spline_editor><spline><spline_point_array><fade_in/></spline_point_array></spline></spline_editor>
)"),
                                    true);

    EXPECT_EQ("", output);
    const std::vector<PathEvent> records = drain(path);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(SplinePosition, records[0].type);
    EXPECT_FLOAT_EQ(1.0f, records[0].position.x);
    EXPECT_EQ(Credits, records[1].type);
}

TEST_F(CameraPathTest, EmptyPointArrayGivesAnEmptyPath)
{
    CameraPath path;
    const std::string output = load(path, writePath(""), true);

    EXPECT_EQ("", output);
    EXPECT_FALSE(path.finished);
    EXPECT_EQ(nullptr, path.next());
    EXPECT_TRUE(path.finished);
}

// A path that cannot be read plays as an empty one and says why, once.
void expectEmptyWithOneLine(CameraPath& path, const std::string& output, const std::string& fileName,
                            const std::string& reason)
{
    EXPECT_NE(std::string::npos, output.find(fileName)) << output;
    EXPECT_NE(std::string::npos, output.find(reason)) << output;
    EXPECT_EQ(1, std::count(output.begin(), output.end(), '\n')) << output;
    EXPECT_TRUE(path.events.empty());
    EXPECT_EQ(nullptr, path.next());
    EXPECT_TRUE(path.finished);
}

TEST_F(CameraPathTest, UnreadableFilesGiveAnEmptyPathAndOneLine)
{
    {
        CameraPath path;
        const std::string missing = directory_ + "/absent.xml";
        expectEmptyWithOneLine(path, load(path, missing.c_str(), true), missing, "file not found");
    }
    {
        CameraPath path;
        const char* file = writeFile("<spline_editor><spline><spline_point_array><fade_in/>"
                                     "</spline></spline_editor>");
        expectEmptyWithOneLine(path, load(path, file, true), file, "malformed XML");
    }
    {
        CameraPath path;
        const char* file = writeFile("");
        expectEmptyWithOneLine(path, load(path, file, true), file, "empty");
    }
}

TEST_F(CameraPathTest, MissingWrapperElementGivesAnEmptyPathAndOneLine)
{
    const std::string wrongNesting[] = {
        "<spline><spline_point_array><fade_in/></spline_point_array></spline>",
        "<spline_editor><spline_point_array><fade_in/></spline_point_array></spline_editor>",
        "<spline_editor><spline><fade_in/></spline></spline_editor>",
        "<SPLINE_EDITOR><spline><spline_point_array><fade_in/></spline_point_array></spline>"
        "</SPLINE_EDITOR>",
    };
    for (const std::string& content : wrongNesting) {
        SCOPED_TRACE(content);
        CameraPath path;
        const char* file = writeFile(content);
        expectEmptyWithOneLine(path, load(path, file, true), file, "spline_point_array");
    }
}

TEST_F(CameraPathTest, LoadingAgainReplacesTheRecords)
{
    CameraPath path;
    load(path, writePath("<fade_in/><fade_out/>"), true);
    load(path, writePath("<credits/>"), true);

    const std::vector<PathEvent> records = drain(path);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(Credits, records[0].type);
}

}  // namespace
}  // namespace tolvane
