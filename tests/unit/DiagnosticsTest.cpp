// Console diagnostics: formatting of any length and the loading-message route.
#include "base/Diagnostics.h"
#include "TestFiles.h"
#include "app/Overlays.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

using namespace tolvane;
using tolvane::test::captureStdout;

namespace {

std::string format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::string result = formatString(fmt, args);
    va_end(args);
    return result;
}

std::string lastLoadingMessage;
int loadingMessages = 0;

void recordLoadingMessage(std::string message)
{
    lastLoadingMessage = message;
    ++loadingMessages;
}

}  // namespace

TEST(FormatString, ShortAndEmptyMessages)
{
    EXPECT_EQ(format("%s %d%%", "progress", 13), "progress 13%");
    EXPECT_EQ(format("%s", ""), "");
}

TEST(FormatString, MessagesAroundAndBeyondTheFirstBuffer)
{
    for (size_t length : {1023u, 1024u, 1025u, 5000u}) {
        const std::string text(length, 'x');
        EXPECT_EQ(format("%s", text.c_str()), text) << length;
    }
    // The arguments must survive the retry with a larger buffer.
    const std::string longText(3000, 'y');
    EXPECT_EQ(format("%d %s %d", 7, longText.c_str(), 9), "7 " + longText + " 9");
}

TEST(FormatString, ManyArguments)
{
    EXPECT_EQ(format("%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%s,%.2f", 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, "x", 0.5),
              "1,2,3,4,5,6,7,8,9,10,x,0.50");
}

TEST(LogMessage, AppendsOneLineFeed)
{
    EXPECT_EQ(captureStdout([] { logMessage("a %d", 1); }), "a 1\n");
    EXPECT_EQ(captureStdout([] { logMessage("b\n"); }), "b\n\n");
}

TEST(LoadingMessages, DroppedWhileNoHandlerIsSet)
{
    loadingMessageHandler = nullptr;
    loadingMessages = 0;
    postLoadingMessage("%s", "ignored");
    EXPECT_EQ(loadingMessages, 0);
}

TEST(LoadingMessages, LongMessageReachesTheHandlerWhole)
{
    loadingMessageHandler = recordLoadingMessage;
    loadingMessages = 0;
    const std::string text(2000, 'z');
    postLoadingMessage("Loading %s (%d%%)", text.c_str(), 13);
    loadingMessageHandler = nullptr;
    EXPECT_EQ(loadingMessages, 1);
    EXPECT_EQ(lastLoadingMessage, "Loading " + text + " (13%)");
}

TEST(GlErrorText, NamesEveryCodeAndUnknownOnes)
{
    EXPECT_STREQ(glErrorText(0x0500), "OpenGL Error: GL_INVALID_ENUM");
    EXPECT_STREQ(glErrorText(0x0502), "OpenGL Error: GL_INVALID_OPERATION");
    EXPECT_STREQ(glErrorText(0x0506), "OpenGL Error: GL_INVALID_FRAMEBUFFER_OPERATION");
    EXPECT_STREQ(glErrorText(0x1234), "OpenGL Error: Unknown");
}

// The death-test child sends standard output to standard error, where the
// expectation can see it. Stdin is not a terminal here, so nothing waits.
TEST(FatalError, PrintsTheMessageAndTheLogAsDataThenExitsWithMinusOne)
{
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            fatalError("Failed to link shader program", "0:1 bad %s %n");
        },
        ::testing::ExitedWithCode(255), "Failed to link shader program\n0:1 bad %s %n\n");
}

// The loading screen is redrawn at most thirty times a second, however fast
// the import reports, and the first message always shows.
TEST(LoadingMessages, PaceLetsThroughAThirtiethOfASecondApart)
{
    LoadingScreenPace pace;
    EXPECT_TRUE(pace.due(100.0));
    EXPECT_FALSE(pace.due(100.0));
    EXPECT_FALSE(pace.due(100.02));
    EXPECT_TRUE(pace.due(100.034));
    // Measured from the last message shown, not the last one offered.
    EXPECT_FALSE(pace.due(100.06));
    EXPECT_TRUE(pace.due(100.068));
    LoadingScreenPace fresh;
    EXPECT_TRUE(fresh.due(0.0));
}
