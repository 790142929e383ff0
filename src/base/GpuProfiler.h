#pragma once

#include <functional>
#include <memory>

#include "base/ProfilerScope.h"

namespace tolvane {

// The renderer's passes as the bench reports them. Particles are drawn inside
// the scene pass; the scene figure excludes them. After Count come the
// reference passes of `tolvane-bench --reference`: the common 9-tap Gaussian
// blur, the blur's floor (ten one-fetch copies), the scene drawn with a
// one-fetch unlit program and the shadow pass with an empty fragment stage.
enum class GpuPass {
    Shadow,
    Scene,
    Particles,
    Blur,
    Composition,
    Overlays,
    Count,
    GaussianBlur = Count,
    BlurFloor,
    SceneFloor,
    ShadowFloor,
    CountWithReferences
};
inline constexpr int kGpuPassCount = static_cast<int>(GpuPass::Count);  // the film's own passes
inline constexpr int kGpuPassCountWithReferences = static_cast<int>(GpuPass::CountWithReferences);
const char* gpuPassName(GpuPass pass);  // lower case, e.g. "shadow", "blur floor"

// GPU time of one frame, in milliseconds. A pass's time excludes the passes
// nested in it, so the pass times add up to at most the frame's span.
struct GpuFrameTimes {
    double passes[kGpuPassCountWithReferences] = {};
    double frame = 0.0;  // from beginFrame to endFrame
};

// Times the renderer's passes on the GPU with timestamp queries, read a few
// frames later so that measuring adds no stall. Code that draws marks its
// passes with a Scope; while no profiler is active (the demo itself) a Scope
// costs one pointer test. Needs a current GL context from construction to
// destruction; one frame holds at most 32 scopes, further ones are not timed.
class GpuProfiler {
public:
    // Marks one pass from construction to destruction.
    using Scope = ProfilerScope<GpuProfiler, GpuPass>;

    using Sink = std::function<void(const GpuFrameTimes&)>;

    // The profiler the Scopes report to; null when nothing is measured.
    static GpuProfiler* active;

    // `sink` receives every frame's times, in frame order, `latency` frames
    // after the frame was drawn (sooner when its results are ready).
    GpuProfiler(Sink sink, int latency = 4);
    ~GpuProfiler();

    GpuProfiler(const GpuProfiler&) = delete;
    GpuProfiler& operator=(const GpuProfiler&) = delete;

    void beginFrame();
    void endFrame();
    void begin(GpuPass pass);
    void end();

    // Hands the frames whose results are ready to the sink, without waiting.
    void poll();
    // Waits for every frame still pending and hands it to the sink.
    void flush();

    // Frames whose results were not ready when their query slot was needed
    // again, so that the profiler had to wait.
    int stalls() const { return stallCount; }

private:
    struct Frame;

    unsigned int mark(Frame& frame);
    bool ready(const Frame& frame) const;
    void resolve(Frame& frame);

    Sink sink;
    std::unique_ptr<Frame[]> frames;  // ring of `latency` frames
    int latency;
    int writing = 0;  // frame being recorded
    int reading = 0;  // oldest frame not resolved yet
    int pending = 0;  // frames recorded and not resolved
    int stallCount = 0;
};

}  // namespace tolvane
