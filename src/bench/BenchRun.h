#pragma once

#include "bench/BenchRecorder.h"
#include "session/PlaySession.h"

#include <cstdio>
#include <memory>
#include <string>

namespace tolvane {

struct BenchOptions;

// What tolvane-bench makes of the film a session plays: the timings of the
// range (BenchRecorder) and, with --census, a row of resident memory and
// live GL objects every ten seconds of demo time, from which a soak run
// reads growth. The first failure to write is reported in one line naming
// the file and its cause; nothing more is measured after it.
class BenchRun : public SessionListener {
public:
    explicit BenchRun(const BenchOptions& options);
    ~BenchRun() override;

    BenchRun(const BenchRun&) = delete;
    BenchRun& operator=(const BenchRun&) = delete;

    bool prepare(std::string& error) override;
    void started(const SessionStart& start) override;
    void beginFrame() override;
    void frameUpdated() override;
    // Ends the frame's timing and draws the reference passes after it.
    void endFrame(bool black) override;
    void played(long frame, bool drawn) override;
    bool failed() const override { return failed_; }
    // Prints the figures and writes the JSON and the plot asked for.
    bool finish() override;
    std::string abandon() override;

private:
    void takeCensus(long frame);
    void closeCensus();
    void failWrite(const std::string& message);

    const BenchOptions& options_;
    const FrameSchedule* schedule_ = nullptr;
    std::unique_ptr<BenchRecorder> recorder_;
    std::FILE* census_ = nullptr;  // open while playing
    bool failed_ = false;
};

}  // namespace tolvane
