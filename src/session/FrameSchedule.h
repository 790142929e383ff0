#pragma once

#include <vector>

namespace tolvane {

struct SessionOptions;

// Which frames a run plays, draws and keeps. Frame n is drawn at n / fps
// seconds of demo time (0 = loading finished). Every frame from 0 on is
// played, so that a stretch later in the film looks exactly as in a whole
// run; only frames near a kept one are drawn. Without an end time the film
// ends where the timeline says: kCreditsHold after its last step, and not
// before the music has ended and kAfterMusic more has passed. Pure: no GL.
class FrameSchedule {
public:
    // Playing to the end of the film stops this long after the music has
    // ended (the credits stay up meanwhile), and never sooner than
    // kCreditsHold after the film's last step (without music, only that).
    static constexpr double kAfterMusic = 1.0;
    static constexpr double kCreditsHold = 4.0;
    // Frames drawn before a kept frame so that it starts from settled GL state.
    static constexpr long kWarmUpFrames = 2;
    // A run that never reaches the end of the film stops after an hour.
    static constexpr double kLongestFilm = 3600.0;

    // The options' range, --at times and --every, at `fps` frames a second.
    FrameSchedule(const SessionOptions& options, double fps);

    double fps() const { return fps_; }
    long firstFrame() const { return firstFrame_; }
    // The first frame not played; -1 while the film's end is not known.
    long endFrame() const { return endFrame_; }
    // The frame whose update started the music; -1 before.
    long musicFrame() const { return musicFrame_; }

    // True for a frame kept as a picture.
    bool keeps(long frame) const;
    // True for a frame drawn: a kept one or one a few frames before it;
    // frames well before are only updated, as drawing changes nothing that
    // later frames depend on.
    bool draws(long frame) const;
    // True for a frame that belongs to the run: before the end, when known,
    // and within kLongestFilm.
    bool plays(long frame) const;
    // True once a frame has gone past kLongestFilm.
    bool pastLongest(long frame) const;

    // What the timeline did in `frame`, as the run sees it.
    void musicStarted(long frame);
    // The film's last step came in `frame`; fixes the end when the options
    // left it open. `musicSeconds` is the music's length, negative when
    // unknown or silent.
    void filmEnded(long frame, double musicSeconds);

    // The end for a progress bar, before it is known: the timeline's start
    // delay, `steps` timeline steps (one per event, plus the start, the path
    // switches and the final step) and the hold, or the music's end.
    long estimatedEnd(long steps, double musicSeconds) const;

    // Video time of the music's start relative to the first kept frame.
    double musicStartInVideo() const;

private:
    long framesAfterMusicStart(double musicSeconds) const;

    double fps_;
    bool keepsPictures_;
    int every_;
    long firstFrame_ = 0;
    long endFrame_ = -1;
    long musicFrame_ = -1;
    std::vector<long> chosenFrames_;  // --at, ascending; empty = a range
};

}  // namespace tolvane
