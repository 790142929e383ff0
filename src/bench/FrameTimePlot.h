#pragma once

#include <string>

namespace tolvane {

class BenchReport;

// Draws the frame times of a bench run as a PNG line chart with gnuplot
// (Debian package gnuplot-nox): over demo time, the wall-clock frame time,
// the GPU time of each pass and the CPU time of the update.
class FrameTimePlot {
public:
    // Writes the chart to `path`. Returns false with `error` set when gnuplot
    // is missing or fails.
    static bool write(const BenchReport& report, const std::string& path, std::string& error);
};

}  // namespace tolvane
