#pragma once

#include <memory>

namespace tolvane {

struct BenchOptions;
class EglContext;

// An off-screen context of `width` x `height` for a scene bench, current,
// with the GL entry points loaded and the renderer named on the console;
// null after a one-line report when none can be made.
std::unique_ptr<EglContext> openSceneContext(int width, int height);

// The benches of small scenes of their own, drawn off-screen through EGL
// from a directory holding Shader/ (the run directory). Each prints the
// renderer, then its medians; returns the exit code (2 when no context can
// be made).
//
// The render passes of the test scene (a lit cube on a floor, one orbiting
// shadow-casting light with its lamp, a fill light) at 1024 x 600: median
// GPU time of each pass from GL_TIME_ELAPSED queries, and of the whole frame.
int benchPasses(const BenchOptions& options);
// The three particle systems (fire, smoke, fairy dust, with their
// generation settings but lives that keep every record alive) full to
// their 1000 records: median GPU time of one update (the transform-feedback
// step) and of one billboard draw, and wall time of the update call (which
// waits for its record count).
int benchParticles(const BenchOptions& options);

}  // namespace tolvane
