#pragma once

#include <cstddef>
#include <cstdio>

namespace tolvane {

// One status line on standard error while a film is played: a bar, frames
// done of the total, frames per second of wall time and the time left. On a
// terminal the line is redrawn in place at most ten times a second; into a
// file or pipe a line is written at every tenth of the way, so logs stay
// short. Formatting uses a fixed buffer: no allocation per frame.
class ProgressBar {
public:
    explicit ProgressBar(std::FILE* stream);

    // The number of frames expected in all; 0 when unknown. May change while
    // running when the end becomes known.
    void setTotal(int frames) { total = frames; }

    // Reports `done` frames after `elapsedSeconds` of wall time.
    void update(int done, double elapsedSeconds);
    // Draws the final state and ends the line.
    void finish(int done, double elapsedSeconds);

    // Writes the status text (without line ending) into `buffer`; returns
    // its length.
    static int format(char* buffer, std::size_t size, int done, int total, double elapsedSeconds);

private:
    void draw(int done, double elapsedSeconds);

    std::FILE* stream;
    bool terminal;
    int total = 0;
    double lastDraw = -1.0;  // wall time of the last redraw
    int lastTenth = -1;      // last tenth written when not on a terminal
};

}  // namespace tolvane
