#include "capture/FrameTimePlot.h"

#include "capture/BenchReport.h"
#include "capture/ExternalProgram.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tolvane {

namespace {

// gnuplot reads strings in double quotes with backslash escapes.
std::string gnuplotString(const std::string& text)
{
    std::string result = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            result += '\\';
        result += c;
    }
    return result + "\"";
}

bool writeData(const BenchReport& report, const std::string& dataFile)
{
    std::ofstream data(dataFile);
    const auto& frames = report.frames().samples();
    const auto& gpu = report.gpuFrames().samples();
    const auto& updates = report.updates().samples();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const double time = report.setting.from + static_cast<double>(i) / report.setting.fps;
        data << time << ' ' << frames[i] << ' ' << (i < gpu.size() ? gpu[i] : 0.0) << ' '
             << (i < updates.size() ? updates[i] : 0.0) << '\n';
    }
    return static_cast<bool>(data);
}

}  // namespace

std::string FrameTimePlot::script(const std::string& dataFile, const std::string& path, const BenchReport& report)
{
    std::ostringstream title;
    title << "Tolvane frame times, " << report.setting.width << "x" << report.setting.height << ", "
          << report.setting.renderer;
    std::ostringstream out;
    out << "set terminal pngcairo size 960,480 font 'sans,10'\n"
        << "set output " << gnuplotString(path) << "\n"
        << "set title " << gnuplotString(title.str()) << " noenhanced\n"
        << "set xlabel 'demo time (s)'\n"
        << "set ylabel 'milliseconds'\n"
        << "set yrange [0:*]\n"
        << "set grid\n"
        << "set key top left\n"
        << "plot " << gnuplotString(dataFile) << " using 1:2 with lines lw 1.5 title 'whole frame (wall clock)', \\\n"
        << "     '' using 1:3 with lines lw 1.5 title 'GPU frame', \\\n"
        << "     '' using 1:4 with lines lw 1.5 title 'CPU update'\n";
    return out.str();
}

bool FrameTimePlot::write(const BenchReport& report, const std::string& path, std::string& error)
{
    if (!ExternalProgram::isInstalled("gnuplot")) {
        error = "gnuplot is not installed, so no plot was drawn (Debian package: gnuplot-nox)";
        return false;
    }
    const std::string dataFile = path + ".data.tmp";
    const std::string logFile = path + ".gnuplot.log";
    if (!writeData(report, dataFile)) {
        error = "cannot write " + dataFile;
        return false;
    }
    const std::string commands = script(dataFile, path, report);
    ExternalProgram gnuplot;
    bool ok = gnuplot.start({"gnuplot"}, true, logFile) && gnuplot.write(commands.data(), commands.size());
    ok = gnuplot.finish() == 0 && ok;
    std::error_code ignored;
    std::filesystem::remove(dataFile, ignored);
    if (!ok) {
        error = "gnuplot could not draw " + path + ", see " + logFile;
        return false;
    }
    std::filesystem::remove(logFile, ignored);
    return true;
}

}  // namespace tolvane
