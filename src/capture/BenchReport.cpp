#include "capture/BenchReport.h"

#include "capture/OutputFile.h"

#include <cstdio>
#include <iomanip>
#include <sstream>

namespace tolvane {

namespace {

std::string quoted(const std::string& text)
{
    std::string result = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            result += '\\';
            result += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            result += escape;
        } else {
            result += c;
        }
    }
    return result + "\"";
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

std::string summary(const SampleStatistics& series)
{
    return "{\"median\": " + number(series.median()) + ", \"p95\": " + number(series.percentile(95.0)) + "}";
}

void printRow(std::ostream& out, const char* label, const SampleStatistics& series)
{
    out << "  " << std::left << std::setw(24) << label << std::right << std::fixed << std::setprecision(3)
        << std::setw(10) << series.median() << std::setw(10) << series.percentile(95.0) << '\n';
}

}  // namespace

BenchReport::BenchReport(std::size_t expectedFrames)
    : gpuPassSum(expectedFrames), gpuFrame(expectedFrames), update(expectedFrames), readback(expectedFrames), frame(expectedFrames)
{
    for (SampleStatistics& series : gpuPasses)
        series = SampleStatistics(expectedFrames);
}

void BenchReport::addGpuFrame(const GpuFrameTimes& times)
{
    double sum = 0.0;
    for (int i = 0; i < kGpuPassCount; ++i) {
        gpuPasses[i].add(times.passes[i]);
        sum += times.passes[i];
    }
    gpuPassSum.add(sum);
    gpuFrame.add(times.frame);
}

void BenchReport::addCpuFrame(double updateTime, double particleReadback, double frameTime)
{
    update.add(updateTime);
    readback.add(particleReadback);
    frame.add(frameTime);
}

void BenchReport::print(std::ostream& out) const
{
    out << "Bench: " << frame.count() << " frames at " << setting.width << "x" << setting.height << ", "
        << std::fixed << std::setprecision(2) << setting.from << " s to " << setting.to << " s of demo time, "
        << setting.renderer << '\n';
    out << "  " << std::left << std::setw(24) << "milliseconds" << std::right << std::setw(10) << "median"
        << std::setw(10) << "p95" << '\n';
    for (int i = 0; i < kGpuPassCount; ++i) {
        const std::string label = std::string("GPU ") + gpuPassName(static_cast<GpuPass>(i));
        printRow(out, label.c_str(), gpuPasses[i]);
    }
    printRow(out, "GPU passes together", gpuPassSum);
    printRow(out, "GPU whole frame", gpuFrame);
    printRow(out, "CPU update", update);
    printRow(out, "CPU particle read-backs", readback);
    printRow(out, "frame (wall clock)", frame);
    out << std::fixed << std::setprecision(1) << "  start-up: overlays " << startup.overlays << " ms, model import "
        << startup.modelImport << " ms, textures " << startup.textures << " ms, rest " << startup.rest
        << " ms, total " << startup.total() << " ms\n";
    if (gpuStalls > 0)
        out << "  (" << gpuStalls << " frames waited for their GPU timings)\n";
}

std::string BenchReport::json() const
{
    std::ostringstream out;
    out << "{\n"
        << "  \"renderer\": " << quoted(setting.renderer) << ",\n"
        << "  \"width\": " << setting.width << ",\n"
        << "  \"height\": " << setting.height << ",\n"
        << "  \"fps\": " << number(setting.fps) << ",\n"
        << "  \"from\": " << number(setting.from) << ",\n"
        << "  \"to\": " << number(setting.to) << ",\n"
        << "  \"frames\": " << frame.count() << ",\n"
        << "  \"gpu_stalls\": " << gpuStalls << ",\n"
        << "  \"gpu_ms\": {\n";
    for (int i = 0; i < kGpuPassCount; ++i)
        out << "    " << quoted(gpuPassName(static_cast<GpuPass>(i))) << ": " << summary(gpuPasses[i]) << ",\n";
    out << "    \"passes\": " << summary(gpuPassSum) << ",\n"
        << "    \"frame\": " << summary(gpuFrame) << "\n  },\n"
        << "  \"cpu_ms\": {\n"
        << "    \"update\": " << summary(update) << ",\n"
        << "    \"particle_readback\": " << summary(readback) << "\n  },\n"
        << "  \"frame_ms\": " << summary(frame) << ",\n"
        << "  \"startup_ms\": {\"overlays\": " << number(startup.overlays)
        << ", \"model_import\": " << number(startup.modelImport) << ", \"textures\": " << number(startup.textures)
        << ", \"rest\": " << number(startup.rest) << ", \"total\": " << number(startup.total()) << "}\n"
        << "}\n";
    return out.str();
}

bool BenchReport::writeJson(const std::string& path, std::string& error) const
{
    return writeWholeFile(path, json(), error);
}

}  // namespace tolvane
