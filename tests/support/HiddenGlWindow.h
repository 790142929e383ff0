#pragma once

#include <GL/glew.h>
#include <GLFW/glfw3.h>

namespace tolvane::test {

// Opens a hidden width x height window whose OpenGL 3.3 core context is made
// current, with GLEW loaded and no pending GL error: the stand-in for the
// demo's window in the GL tests and the benchmarks. Initialises GLFW; on any
// failure returns nullptr with GLFW terminated again. The caller destroys
// the window and terminates GLFW. With `debug` the context is a debug
// context, whose driver messages KHR_debug delivers.
GLFWwindow* openHiddenGlWindow(int width, int height, const char* title, bool debug = false);

}  // namespace tolvane::test
