#pragma once

// The tests draw the pass bench's own scene.
#include "bench/TestScene.h"

namespace tolvane::test {
using tolvane::TestScene;
}  // namespace tolvane::test
