#include "capture/FrameQueue.h"

#include <algorithm>
#include <csignal>
#include <pthread.h>

namespace tolvane {

FrameQueue::FrameQueue(std::size_t frameBytes, std::size_t depth, Sink take) :
    bytesPerFrame(frameBytes),
    sink(std::move(take)),
    buffers(std::max<std::size_t>(depth, 1), std::vector<std::uint8_t>(frameBytes))
{
    consumer = std::thread(&FrameQueue::drain, this);
}

FrameQueue::~FrameQueue()
{
    abandon();
}

std::uint8_t* FrameQueue::nextBuffer()
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return refused || queued < buffers.size(); });
    if (refused)
        return nullptr;
    return buffers[(oldest + queued) % buffers.size()].data();
}

void FrameQueue::push()
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (refused || ending || queued == buffers.size())
            return;
        ++queued;
    }
    changed.notify_all();
}

void FrameQueue::drain()
{
    // A consumer that has gone (ffmpeg died) must show as a refused frame,
    // not end the process, whatever the program does with SIGPIPE: blocked
    // here, the signal stays with this thread and the write fails instead.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);

    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return queued > 0 || ending; });
        if (queued == 0)
            return;
        // The producer never writes into a queued buffer, so the sink reads
        // this one without holding the lock.
        const std::uint8_t* frame = buffers[oldest].data();
        taking = true;
        lock.unlock();
        const bool taken = sink(frame, bytesPerFrame);
        lock.lock();
        taking = false;
        oldest = (oldest + 1) % buffers.size();
        --queued;
        if (!taken) {
            refused = true;
            queued = 0;
        }
        changed.notify_all();
        if (refused)
            return;
    }
}

void FrameQueue::stop(bool dropQueued)
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        ending = true;
        if (dropQueued && queued > 0)
            queued = taking ? 1 : 0;
    }
    changed.notify_all();
    if (consumer.joinable())
        consumer.join();
}

bool FrameQueue::finish()
{
    stop(false);
    return !refused;
}

void FrameQueue::abandon()
{
    stop(true);
}

}  // namespace tolvane
