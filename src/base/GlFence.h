#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <utility>

namespace tolvane {

// Owns one GL fence (a sync object): set where the command stream stands
// now, deleted with the owner. Moves but never copies. A default owner holds
// no fence. Needs a current GL context wherever a fence is set, waited for
// or deleted.
class GlFence {
public:
    GlFence() noexcept = default;
    ~GlFence() { reset(); }

    GlFence(GlFence&& other) noexcept : sync_(std::exchange(other.sync_, nullptr)) {}
    GlFence& operator=(GlFence&& other) noexcept
    {
        if (this != &other) {
            reset();
            sync_ = std::exchange(other.sync_, nullptr);
        }
        return *this;
    }
    GlFence(const GlFence&) = delete;
    GlFence& operator=(const GlFence&) = delete;

    // A fence after every command issued so far.
    static GlFence insert();

    // Flushes and waits until the commands before the fence have completed,
    // or `timeoutNanoseconds` have passed. Returns at once without a fence.
    void wait(std::uint64_t timeoutNanoseconds) const;

    explicit operator bool() const noexcept { return sync_ != nullptr; }

    // Deletes the fence now; the owner holds none afterwards.
    void reset() noexcept;

private:
    GLsync sync_ = nullptr;
};

}  // namespace tolvane
