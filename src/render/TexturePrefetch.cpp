#include "render/TexturePrefetch.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tolvane {

namespace {

// A fatal error exits from the GL thread while a worker may be inside
// FreeImage, whose library teardown comes after the exit handlers while
// other threads still run. Live prefetches are stopped first, from an exit
// handler.
std::mutex liveMutex;
std::vector<TexturePrefetch*> live;

void stopLivePrefetches()
{
    std::vector<TexturePrefetch*> stopping;
    {
        std::lock_guard<std::mutex> lock(liveMutex);
        stopping = live;
    }
    for (TexturePrefetch* prefetch : stopping)
        prefetch->stop();
}

void enlist(TexturePrefetch* prefetch)
{
    static const bool handlerInstalled = std::atexit(stopLivePrefetches) == 0;
    (void)handlerInstalled;
    std::lock_guard<std::mutex> lock(liveMutex);
    live.push_back(prefetch);
}

void delist(TexturePrefetch* prefetch)
{
    std::lock_guard<std::mutex> lock(liveMutex);
    live.erase(std::remove(live.begin(), live.end(), prefetch), live.end());
}

}  // namespace

TexturePrefetch::~TexturePrefetch()
{
    stop();
}

std::string TexturePrefetch::keyOf(const std::string& path, int unit)
{
    return path + (unit == 1 ? "#normal" : "#colour");
}

void TexturePrefetch::request(const std::string& path, int unit)
{
    bool startWorker = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (stopping || !requested.insert(keyOf(path, unit)).second)
            return;
        jobs.push_back({path, unit});
        startWorker = !worker.joinable();
    }
    if (startWorker) {
        enlist(this);
        worker = std::thread(&TexturePrefetch::work, this);
    }
    queued.notify_one();
}

TextureImage TexturePrefetch::take(const std::string& path, int unit)
{
    const std::string key = keyOf(path, unit);
    std::unique_lock<std::mutex> lock(mutex);
    const auto job = std::find_if(jobs.begin(), jobs.end(), [&](const Job& j) { return keyOf(j.path, j.unit) == key; });
    if (job != jobs.end()) {
        jobs.erase(job);
    } else {
        decoded.wait(lock, [&] { return inHand != key; });
        const auto image = ready.find(key);
        if (image != ready.end()) {
            TextureImage taken = std::move(image->second);
            ready.erase(image);
            return taken;
        }
    }
    lock.unlock();
    return TextureImage::decode(path, unit);
}

void TexturePrefetch::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        jobs.clear();
    }
    queued.notify_one();
    if (worker.joinable() && worker.get_id() != std::this_thread::get_id()) {
        worker.join();
        delist(this);
    }
}

void TexturePrefetch::work()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        queued.wait(lock, [this] { return stopping || !jobs.empty(); });
        if (stopping)
            return;
        const Job job = jobs.front();
        jobs.pop_front();
        inHand = keyOf(job.path, job.unit);
        lock.unlock();
        TextureImage image = TextureImage::decode(job.path, job.unit);
        lock.lock();
        ready[inHand] = std::move(image);
        inHand.clear();
        decoded.notify_all();
    }
}

}  // namespace tolvane
