#pragma once

#include "render/TextureImage.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace tolvane {

// Decodes image files, mip chains included, on one worker thread while the
// GL thread does other work (the model's import), so that making a Texture
// is only its upload. Images come out exactly as TextureImage::decode makes
// them, and failures are reported by the Texture that takes them, in order,
// on its own thread. The worker starts with the first request and is stopped
// before the process exits, whichever way it exits.
class TexturePrefetch {
public:
    TexturePrefetch() = default;
    // Stops the worker; images decoded but never taken are dropped.
    ~TexturePrefetch();

    TexturePrefetch(const TexturePrefetch&) = delete;
    TexturePrefetch& operator=(const TexturePrefetch&) = delete;

    // Queues `path` for texture unit `unit` (see TextureImage::decode) unless
    // it was asked for before. Requests are decoded in the order made.
    void request(const std::string& path, int unit);

    // The image of `path` for `unit`: the worker's, waiting while it is being
    // decoded; one still queued, never requested, or already taken is
    // decoded on the calling thread instead of waited for.
    TextureImage take(const std::string& path, int unit);

    // Lets the worker finish the image in hand and ends it; what is still
    // queued is dropped and later takes decode on the calling thread.
    void stop();

private:
    struct Job {
        std::string path;
        int unit = 0;
    };

    static std::string keyOf(const std::string& path, int unit);
    void work();

    std::mutex mutex;
    std::condition_variable decoded;            // an image moved to `ready`
    std::condition_variable queued;             // a job arrived, or stopping
    std::deque<Job> jobs;                       // waiting for the worker, oldest first
    std::set<std::string> requested;            // keys ever requested
    std::string inHand;                         // key the worker decodes now; empty when idle
    std::map<std::string, TextureImage> ready;  // decoded, not yet taken
    bool stopping = false;
    std::thread worker;  // started by the first request
};

}  // namespace tolvane
