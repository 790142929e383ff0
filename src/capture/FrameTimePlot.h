#pragma once

#include <string>

namespace tolvane {

class BenchReport;

// Draws the frame times of a bench run as a PNG line chart with gnuplot
// (Debian package gnuplot-nox): wall-clock frame time and GPU frame time
// over demo time, with the CPU update time beneath them.
class FrameTimePlot {
public:
    // Writes the chart to `path`. Returns false with `error` set when gnuplot
    // is missing or fails.
    static bool write(const BenchReport& report, const std::string& path, std::string& error);

    // The gnuplot script for a data file of columns time, frame, GPU frame
    // and update (milliseconds), exposed for its test.
    static std::string script(const std::string& dataFile, const std::string& path, const BenchReport& report);
};

}  // namespace tolvane
