// Stopping from outside: the first SIGINT or SIGTERM asks the loop to end,
// and leaves both signals fatal, so a second one of either kind ends a
// release that hangs.
#include "app/StopSignals.h"
#include "app/DemoState.h"

#include <gtest/gtest.h>

#include <csignal>

using namespace tolvane;

namespace {

bool takesDefaultAction(int signal)
{
    struct sigaction current = {};
    sigaction(signal, nullptr, &current);
    return current.sa_handler == SIG_DFL;
}

}  // namespace

TEST(StopSignals, TheFirstSignalIsRecordedAndBothBecomeFatal)
{
    for (const int first : {SIGINT, SIGTERM}) {
        demo.stopSignal = 0;
        installStopSignals();
        EXPECT_FALSE(takesDefaultAction(SIGINT));
        EXPECT_FALSE(takesDefaultAction(SIGTERM));
        std::raise(first);
        EXPECT_EQ(stopSignal(), first);
        EXPECT_TRUE(takesDefaultAction(SIGINT)) << "after signal " << first;
        EXPECT_TRUE(takesDefaultAction(SIGTERM)) << "after signal " << first;
    }
    demo.stopSignal = 0;
}
