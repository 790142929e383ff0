#include "ContentStage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace content_test;
namespace fs = std::filesystem;

#ifdef TOLVANE_CONTENTGEN

namespace {

int generate(const std::string& stage, const std::string& extra = "")
{
    const std::string command =
        std::string("\"") + TOLVANE_CONTENTGEN + "\" " + extra + " \"" + stage + "\" > \"" + stage + ".log\" 2>&1";
    return std::system(command.c_str());
}

}  // namespace

TEST(Generator, SecondRunGivesIdenticalFilesAndAThirdHasNothingToDo)
{
    const fs::path scratch = fs::temp_directory_path() / ("tolvane-content-" + std::to_string(::getpid()));
    fs::remove_all(scratch);
    ASSERT_EQ(generate(scratch.string(), "--force"), 0) << readFile(scratch.string() + ".log");
    std::size_t compared = 0;
    for (const auto& entry : fs::recursive_directory_iterator(scratch)) {
        if (!entry.is_regular_file())
            continue;
        const fs::path relative = fs::relative(entry.path(), scratch);
        SCOPED_TRACE(relative.string());
        ASSERT_TRUE(fs::exists(fs::path(stageDir()) / relative));
        EXPECT_TRUE(readFile(entry.path().string()) == readFile((fs::path(stageDir()) / relative).string()));
        ++compared;
    }
    EXPECT_GT(compared, 30u);

    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(generate(scratch.string()), 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_NE(readFile(scratch.string() + ".log").find("up to date"), std::string::npos);
    EXPECT_LT(seconds, 3.0);
    fs::remove_all(scratch);
    fs::remove(scratch.string() + ".log");
}

#endif
