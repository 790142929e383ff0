#include "session/FrameSchedule.h"

#include "app/Timeline.h"
#include "session/FixedStepClock.h"
#include "session/SessionOptions.h"

#include <algorithm>
#include <cmath>

namespace tolvane {

namespace {

long frameAtOrAfter(double seconds, double fps)
{
    return static_cast<long>(std::ceil(seconds * fps - 1.0e-6));
}

}  // namespace

FrameSchedule::FrameSchedule(const SessionOptions& options, double fps) :
    fps_(fps),
    keepsPictures_(options.keepsPictures),
    every_(options.every)
{
    firstFrame_ = frameAtOrAfter(options.from, fps);
    if (options.to != SessionOptions::kEndOfFilm)
        endFrame_ = frameAtOrAfter(options.to, fps);
    for (const double time : options.at)
        chosenFrames_.push_back(std::lround(time * fps));
    if (!chosenFrames_.empty()) {
        firstFrame_ = chosenFrames_.front();
        endFrame_ = chosenFrames_.back() + 1;
    }
}

bool FrameSchedule::keeps(long frame) const
{
    if (!chosenFrames_.empty())
        return std::binary_search(chosenFrames_.begin(), chosenFrames_.end(), frame);
    return keepsPictures_ && frame >= firstFrame_ && (frame - firstFrame_) % every_ == 0;
}

bool FrameSchedule::draws(long frame) const
{
    if (chosenFrames_.empty())
        return frame >= firstFrame_ - kWarmUpFrames;
    const auto next = std::lower_bound(chosenFrames_.begin(), chosenFrames_.end(), frame);
    return next != chosenFrames_.end() && *next - frame <= kWarmUpFrames;
}

bool FrameSchedule::plays(long frame) const
{
    return (endFrame_ < 0 || frame < endFrame_) && !pastLongest(frame);
}

bool FrameSchedule::pastLongest(long frame) const
{
    return frame >= static_cast<long>(kLongestFilm * fps_);
}

void FrameSchedule::musicStarted(long frame)
{
    if (musicFrame_ < 0)
        musicFrame_ = frame;
}

void FrameSchedule::filmEnded(long frame, double musicSeconds)
{
    if (endFrame_ >= 0)
        return;
    const long afterHold = frame + 1 + std::lround(kCreditsHold * fps_);
    const long afterMusic = musicFrame_ >= 0 ? musicFrame_ + framesAfterMusicStart(musicSeconds) : 0;
    endFrame_ = std::max(afterHold, afterMusic);
}

long FrameSchedule::estimatedEnd(long steps, double musicSeconds) const
{
    if (endFrame_ >= 0)
        return endFrame_;
    // A step needs more than kTimelineStepSeconds gathered: a whole number of frames.
    const double step = FixedStepClock::quantise(1.0 / fps_);
    const long framesPerStep = static_cast<long>(std::floor(kTimelineStepSeconds / step)) + 1;
    const long musicStart = frameAtOrAfter(kTimelineStartDelay, fps_) + framesPerStep;
    return std::max(musicStart + steps * framesPerStep + std::lround(kCreditsHold * fps_),
                    musicStart + framesAfterMusicStart(musicSeconds));
}

double FrameSchedule::musicStartInVideo() const
{
    return static_cast<double>(musicFrame_ - firstFrame_) / fps_;
}

long FrameSchedule::framesAfterMusicStart(double musicSeconds) const
{
    if (musicSeconds <= 0.0)
        return 0;
    return static_cast<long>(std::ceil((musicSeconds + kAfterMusic) * fps_));
}

}  // namespace tolvane
