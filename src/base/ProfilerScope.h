#pragma once

namespace tolvane {

// Marks one stretch of work for a profiler from construction to destruction.
// The profiler is the one active when the scope opens (Profiler::active);
// with none active, as in the demo itself, a scope costs one pointer test.
template <typename Profiler, typename Mark>
class ProfilerScope {
public:
    explicit ProfilerScope(Mark mark) : profiler(Profiler::active)
    {
        if (profiler != nullptr)
            profiler->begin(mark);
    }
    ~ProfilerScope()
    {
        if (profiler != nullptr)
            profiler->end();
    }
    ProfilerScope(const ProfilerScope&) = delete;
    ProfilerScope& operator=(const ProfilerScope&) = delete;

private:
    Profiler* profiler;
};

}  // namespace tolvane
