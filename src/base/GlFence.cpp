#include "base/GlFence.h"

namespace tolvane {

GlFence GlFence::insert()
{
    GlFence fence;
    fence.sync_ = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    return fence;
}

void GlFence::wait(std::uint64_t timeoutNanoseconds) const
{
    if (sync_ != nullptr)
        glClientWaitSync(sync_, GL_SYNC_FLUSH_COMMANDS_BIT, timeoutNanoseconds);
}

void GlFence::reset() noexcept
{
    if (sync_ != nullptr)
        glDeleteSync(sync_);
    sync_ = nullptr;
}

}  // namespace tolvane
