#include "session/ProgressBar.h"

#include <algorithm>
#include <cmath>
#include <unistd.h>

namespace tolvane {

namespace {

constexpr int kBarWidth = 24;
constexpr double kRedrawSeconds = 0.1;

}  // namespace

ProgressBar::ProgressBar(std::FILE* output) : stream(output), terminal(isatty(fileno(output)) != 0) {}

int ProgressBar::format(char* buffer, std::size_t size, int done, int total, double elapsedSeconds)
{
    const double rate = elapsedSeconds > 0.0 ? done / elapsedSeconds : 0.0;
    if (total <= 0)
        return std::snprintf(buffer, size, "%d frames  %.1f fps", done, rate);
    const double share = std::clamp(static_cast<double>(done) / total, 0.0, 1.0);
    char bar[kBarWidth + 1];
    const int filled = static_cast<int>(share * kBarWidth);
    for (int i = 0; i < kBarWidth; ++i)
        bar[i] = i < filled ? '#' : '-';
    bar[kBarWidth] = '\0';
    const long left = rate > 0.0 ? std::lround(std::max(total - done, 0) / rate) : 0;
    return std::snprintf(buffer, size, "[%s] %d/%d frames  %.1f fps  %ld:%02ld left", bar, done, total, rate, left / 60,
                         left % 60);
}

void ProgressBar::draw(int done, double elapsedSeconds)
{
    char line[160];
    format(line, sizeof line, done, total, elapsedSeconds);
    if (terminal)
        std::fprintf(stream, "\r%s\033[K", line);
    else
        std::fprintf(stream, "%s\n", line);
    std::fflush(stream);
}

void ProgressBar::update(int done, double elapsedSeconds)
{
    if (terminal) {
        if (elapsedSeconds - lastDraw < kRedrawSeconds)
            return;
        lastDraw = elapsedSeconds;
        draw(done, elapsedSeconds);
        return;
    }
    const int tenth = total > 0 ? done * 10 / total : done / 500;
    if (tenth == lastTenth)
        return;
    lastTenth = tenth;
    draw(done, elapsedSeconds);
}

void ProgressBar::finish(int done, double elapsedSeconds)
{
    if (total <= 0 || done > total)
        total = done;
    draw(done, elapsedSeconds);
    if (terminal)
        std::fputc('\n', stream);
    std::fflush(stream);
}

}  // namespace tolvane
