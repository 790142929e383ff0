#pragma once

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "base/GlDebugOutput.h"

namespace tolvane::test {

// Creates the hidden window and GL context shared by every GL test of the
// process, and releases it at the end. The context is a debug context whose
// driver messages are printed and counted (see DriverMessageCheck).
class GlTestContext : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

    static GLFWwindow* window();
    // Resizes the hidden window's default framebuffer.
    static void resize(int width, int height);
    // The driver's messages so far.
    static const GlDebugLog& driverMessages();

private:
    static GLFWwindow* window_;
    static GlDebugLog driverMessages_;
};

// Fails a test during which the driver reported an error or a message of
// high severity: every GL test runs with the driver's own checks.
class DriverMessageCheck : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override;
    void OnTestEnd(const ::testing::TestInfo&) override;

    GlDebugLog before_;
};

}  // namespace tolvane::test
