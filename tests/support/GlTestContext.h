#pragma once

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "TestFiles.h"

namespace tolvane::test {

// Creates the hidden window and GL context shared by every GL test of the
// process, and releases it at the end.
class GlTestContext : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

    static GLFWwindow* window();
    // Resizes the hidden window's default framebuffer.
    static void resize(int width, int height);

private:
    static GLFWwindow* window_;
};

}  // namespace tolvane::test
