#include "bench/FrameTimePlot.h"

#include "bench/BenchReport.h"
#include "capture/OutputFile.h"
#include "session/ExternalProgram.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
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

// Columns: demo time, wall-clock frame, GPU frame, CPU update, then the GPU
// passes in GpuPass order; milliseconds.
bool writeData(const BenchReport& report, const std::string& dataFile, std::string& error)
{
    std::ostringstream data;
    const auto& frames = report.frames().samples();
    const auto& updates = report.updates().samples();
    const auto value = [](const SampleStatistics& series, std::size_t i) {
        return i < series.count() ? series.samples()[i] : 0.0;
    };
    for (std::size_t i = 0; i < frames.size(); ++i) {
        data << report.setting.from + static_cast<double>(i) / report.setting.fps << ' ' << frames[i] << ' '
             << value(report.gpuFrames(), i) << ' ' << (i < updates.size() ? updates[i] : 0.0);
        for (int pass = 0; pass < kGpuPassCount; ++pass)
            data << ' ' << value(report.gpuPass(static_cast<GpuPass>(pass)), i);
        data << '\n';
    }
    return writeWholeFile(dataFile, data.str(), error);
}

std::string script(const std::string& dataFile, const std::string& path, const BenchReport& report)
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
        << "set key outside right top\n"
        << "plot " << gnuplotString(dataFile) << " using 1:2 with lines lw 2 title 'whole frame (wall clock)'";
    for (int pass = 0; pass < kGpuPassCount; ++pass)
        out << ", \\\n     '' using 1:" << 5 + pass << " with lines lw 1.2 title 'GPU "
            << gpuPassName(static_cast<GpuPass>(pass)) << "'";
    out << ", \\\n     '' using 1:4 with lines lw 1.2 title 'CPU update'\n";
    return out.str();
}

}  // namespace

bool FrameTimePlot::write(const BenchReport& report, const std::string& path, std::string& error)
{
    if (!ExternalProgram::isInstalled("gnuplot")) {
        error = "gnuplot is not installed, so no plot was drawn (Debian package: gnuplot-nox)";
        return false;
    }
    const std::string dataFile = path + ".data.tmp";
    const std::string logFile = path + ".gnuplot.log";
    if (!writeData(report, dataFile, error)) {
        error = "cannot write " + error;
        return false;
    }
    const std::string commands = script(dataFile, path, report);
    ExternalProgram gnuplot;
    bool ok = gnuplot.start({"gnuplot"}, true, logFile) && gnuplot.write(commands.data(), commands.size());
    ok = gnuplot.finish() == 0 && ok;
    std::error_code ignored;
    std::filesystem::remove(dataFile, ignored);
    if (!ok) {
        error = "cannot write " + path + ": gnuplot failed, see " + logFile;
        return false;
    }
    // gnuplot reports a picture it could not write in full only in its log.
    if (!isCompletePng(path)) {
        removeRegularFile(path);
        error = "cannot write " + path + ": gnuplot left it incomplete (is the disk full?), see " + logFile;
        return false;
    }
    std::filesystem::remove(logFile, ignored);
    return true;
}

}  // namespace tolvane
