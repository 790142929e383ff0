#include "base/GpuProfiler.h"

#include "base/GlObject.h"

#include <GL/glew.h>

#include <utility>

namespace tolvane {

GpuProfiler* GpuProfiler::active = nullptr;

namespace {

constexpr int kMaxScopes = 32;
constexpr int kMaxMarks = 2 * kMaxScopes + 2;
constexpr int kMaxDepth = 8;

}  // namespace

struct GpuProfiler::Frame {
    struct Record {
        GpuPass pass;
        int parent;  // record this one is nested in, -1 = none
        int beginMark;
        int endMark;
    };
    GlQuery queries[kMaxMarks];  // timestamps, in the order they were marked
    int marks = 0;
    Record records[kMaxScopes] = {};
    int recordCount = 0;
    int open[kMaxDepth] = {};  // records begun and not ended, innermost last
    int depth = 0;
    int frameBegin = -1;
    int frameEnd = -1;
};

const char* gpuPassName(GpuPass pass)
{
    static const char* const kNames[kGpuPassCountWithReferences] = {
        "shadow",     "scene",       "particles",   "blur", "composition", "overlays", "9-tap gaussian blur",
        "blur floor", "scene floor", "shadow floor"};
    const int index = static_cast<int>(pass);
    return index >= 0 && index < kGpuPassCountWithReferences ? kNames[index] : "unknown";
}

GpuProfiler::GpuProfiler(Sink frameSink, int framesLate) :
    sink(std::move(frameSink)),
    frames(std::make_unique<Frame[]>(static_cast<size_t>(framesLate > 1 ? framesLate : 2))),
    latency(framesLate > 1 ? framesLate : 2)
{
}

GpuProfiler::~GpuProfiler()
{
    if (active == this)
        active = nullptr;
}

unsigned int GpuProfiler::mark(Frame& frame)
{
    if (frame.marks >= kMaxMarks)
        return static_cast<unsigned int>(-1);
    glQueryCounter(frame.queries[frame.marks].name(), GL_TIMESTAMP);
    return static_cast<unsigned int>(frame.marks++);
}

void GpuProfiler::beginFrame()
{
    // The slot comes round again before its results were read: wait for them.
    if (pending == latency) {
        ++stallCount;
        resolve(frames[reading]);
    }
    Frame& frame = frames[writing];
    frame.marks = 0;
    frame.recordCount = 0;
    frame.depth = 0;
    frame.frameBegin = static_cast<int>(mark(frame));
}

void GpuProfiler::endFrame()
{
    Frame& frame = frames[writing];
    while (frame.depth > 0)
        end();
    frame.frameEnd = static_cast<int>(mark(frame));
    writing = (writing + 1) % latency;
    ++pending;
}

void GpuProfiler::begin(GpuPass pass)
{
    Frame& frame = frames[writing];
    if (frame.recordCount >= kMaxScopes || frame.depth >= kMaxDepth || frame.marks + 2 >= kMaxMarks) {
        // Still push, so the matching end() pops the right level.
        if (frame.depth < kMaxDepth)
            frame.open[frame.depth++] = -1;
        return;
    }
    Frame::Record& record = frame.records[frame.recordCount];
    record.pass = pass;
    record.parent = frame.depth > 0 ? frame.open[frame.depth - 1] : -1;
    record.beginMark = static_cast<int>(mark(frame));
    record.endMark = -1;
    frame.open[frame.depth++] = frame.recordCount++;
}

void GpuProfiler::end()
{
    Frame& frame = frames[writing];
    if (frame.depth == 0)
        return;
    const int index = frame.open[--frame.depth];
    if (index >= 0)
        frame.records[index].endMark = static_cast<int>(mark(frame));
}

bool GpuProfiler::ready(const Frame& frame) const
{
    GLint available = 0;
    glGetQueryObjectiv(frame.queries[frame.frameEnd].name(), GL_QUERY_RESULT_AVAILABLE, &available);
    return available != 0;
}

void GpuProfiler::resolve(Frame& frame)
{
    GLuint64 stamps[kMaxMarks] = {};
    for (int i = 0; i < frame.marks; ++i)
        glGetQueryObjectui64v(frame.queries[i].name(), GL_QUERY_RESULT, &stamps[i]);
    const auto milliseconds = [&](int from, int to) {
        return from < 0 || to < 0 ? 0.0 : static_cast<double>(stamps[to] - stamps[from]) * 1.0e-6;
    };
    GpuFrameTimes times;
    times.frame = milliseconds(frame.frameBegin, frame.frameEnd);
    for (int i = 0; i < frame.recordCount; ++i) {
        const Frame::Record& record = frame.records[i];
        const double duration = milliseconds(record.beginMark, record.endMark);
        times.passes[static_cast<int>(record.pass)] += duration;
        if (record.parent >= 0)
            times.passes[static_cast<int>(frame.records[record.parent].pass)] -= duration;
    }
    reading = (reading + 1) % latency;
    --pending;
    sink(times);
}

void GpuProfiler::poll()
{
    while (pending > 0 && ready(frames[reading]))
        resolve(frames[reading]);
}

void GpuProfiler::flush()
{
    while (pending > 0)
        resolve(frames[reading]);
}

}  // namespace tolvane
