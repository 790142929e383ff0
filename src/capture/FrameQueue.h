#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tolvane {

// Hands frames from the drawing thread to a consumer on a thread of its own
// (the pipe into ffmpeg), so that the next frame is drawn while this one is
// written. A fixed ring of buffers bounds the memory and keeps the frame loop
// free of allocation; when every buffer waits for the consumer, the producer
// waits too, so a consumer slower than drawing slows drawing down instead of
// piling frames up.
class FrameQueue {
public:
    // Takes one frame; false when it can take no more (ffmpeg has gone).
    using Sink = std::function<bool(const std::uint8_t* data, std::size_t bytes)>;

    FrameQueue(std::size_t frameBytes, std::size_t depth, Sink sink);
    // Abandons what is still queued.
    ~FrameQueue();

    FrameQueue(const FrameQueue&) = delete;
    FrameQueue& operator=(const FrameQueue&) = delete;

    // The buffer to fill with the next frame, frameBytes long; waits while
    // every buffer is queued. nullptr once the sink has refused a frame.
    std::uint8_t* nextBuffer();
    // Queues the frame written into the buffer nextBuffer() returned.
    void push();

    // Waits until the sink has taken every queued frame and stops the
    // thread; false when the sink refused one.
    bool finish();
    // Drops the frames the sink has not started on, waits for the one it
    // is taking and stops the thread.
    void abandon();

    std::size_t frameBytes() const { return bytesPerFrame; }

private:
    void drain();
    void stop(bool dropQueued);

    const std::size_t bytesPerFrame;
    const Sink sink;
    std::vector<std::vector<std::uint8_t>> buffers;
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t oldest = 0;  // the frame the sink takes next
    std::size_t queued = 0;  // frames pushed and not yet taken whole
    bool taking = false;     // the sink is on the oldest frame
    bool ending = false;
    bool refused = false;
    std::thread consumer;
};

}  // namespace tolvane
