#pragma once

namespace tolvane {

// Where the whole program reads time, in seconds: glfwGetTime normally. A
// capture run replaces it with a clock that advances by a fixed step per
// frame, so everything that animates must read time through currentTime().
using TimeSource = double (*)();
extern TimeSource timeSource;
double currentTime();

}  // namespace tolvane
