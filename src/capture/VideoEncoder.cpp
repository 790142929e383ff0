#include "capture/VideoEncoder.h"

#include "capture/FrameImage.h"
#include "capture/OutputFile.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace tolvane {

namespace {

std::string decimal(double value)
{
    std::ostringstream text;
    text.precision(12);
    text << value;
    return text.str();
}

bool fileExists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

// The containers whose completeness can be read off their box structure.
bool isIsoMediaName(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".mp4" || extension == ".m4v" || extension == ".mov";
}

}  // namespace

std::vector<std::string> VideoEncoder::encodeArguments(const std::string& silentFile, int width, int height, double fps)
{
    std::vector<std::string> arguments = {
        "ffmpeg",   "-hide_banner", "-nostdin", "-y",   "-f",
        "rawvideo", "-pix_fmt",     "bgr24",    "-s",   std::to_string(width) + "x" + std::to_string(height),
        "-r",       decimal(fps),   "-i",       "-",    "-c:v",
        "libx264",  "-preset",      "medium",   "-crf", "20",
        "-pix_fmt", "yuv420p"};
    // 4:2:0 chroma needs even sides; pad odd ones by a black pixel.
    if (width % 2 != 0 || height % 2 != 0) {
        arguments.push_back("-vf");
        arguments.push_back("pad=ceil(iw/2)*2:ceil(ih/2)*2");
    }
    for (const char* tail : {"-f", "mp4"})
        arguments.push_back(tail);
    arguments.push_back(silentFile);
    return arguments;
}

std::vector<std::string> VideoEncoder::muxArguments(const std::string& silentFile, const std::string& musicFile,
                                                    double musicStart, const std::string& path)
{
    std::vector<std::string> arguments = {"ffmpeg", "-hide_banner", "-nostdin", "-nostats", "-y", "-i", silentFile};
    if (musicStart == kNoMusic) {
        for (const char* part : {"-map", "0:v:0", "-c", "copy"})
            arguments.push_back(part);
    } else {
        // Music that began before the first frame is entered part way through.
        if (musicStart < 0.0) {
            arguments.push_back("-ss");
            arguments.push_back(decimal(-musicStart));
        }
        arguments.push_back("-i");
        arguments.push_back(musicFile);
        for (const char* part : {"-map", "0:v:0", "-map", "1:a:0", "-c:v", "copy", "-c:a", "aac", "-b:a", "160k"})
            arguments.push_back(part);
        // Delay the music to its start, then pad it with silence so that a
        // short track does not cut the film when -shortest ends the output.
        std::string filter = "apad";
        if (musicStart > 0.0)
            filter = "adelay=delays=" + std::to_string(std::lround(musicStart * 1000.0)) + ":all=1," + filter;
        for (const std::string& part : {std::string("-af"), filter, std::string("-shortest")})
            arguments.push_back(part);
    }
    // The index in front: ffmpeg writes it last, then moves it before the
    // data, so a browser can start playing while the rest downloads.
    if (isIsoMediaName(path)) {
        arguments.push_back("-movflags");
        arguments.push_back("+faststart");
    }
    arguments.push_back(path);
    return arguments;
}

bool VideoEncoder::open(const std::string& target, int width, int height, double fps, std::string& error)
{
    if (!ExternalProgram::isInstalled("ffmpeg")) {
        error = "ffmpeg is not installed, so no video can be made (Debian package: ffmpeg); "
                "--out DIR still writes the frames as PNG";
        return false;
    }
    path = target;
    silentFile = target + ".silent.tmp";
    logFile = target + ".ffmpeg.log";
    flipped.resize(static_cast<std::size_t>(width) * 3 * static_cast<std::size_t>(height));
    if (!ffmpeg.start(encodeArguments(silentFile, width, height, fps), true, logFile)) {
        error = "could not start ffmpeg";
        return false;
    }
    return true;
}

bool VideoEncoder::addFrame(const FrameImage& frame)
{
    const std::size_t rowBytes = frame.rowBytes();
    if (flipped.size() != frame.byteCount())
        return false;
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(flipped.data() + rowBytes * static_cast<std::size_t>(frame.height - 1 - y), frame.row(y), rowBytes);
    return ffmpeg.write(flipped.data(), flipped.size());
}

bool VideoEncoder::finishEncoding(std::string& error)
{
    const int code = ffmpeg.finish();
    if (code != 0) {
        error = silentFile + ": ffmpeg failed while encoding (exit code " + std::to_string(code) + "), see " + logFile;
        removeRegularFile(silentFile);
        return false;
    }
    return true;
}

bool VideoEncoder::close(const std::string& musicFile, double musicStart, std::string& error)
{
    if (!finishEncoding(error))
        return false;
    // The second pass also puts the stream in the container the file name
    // asks for; without music it only copies the video.
    const bool withMusic = musicStart != kNoMusic && fileExists(musicFile);
    const int code =
        ExternalProgram::run(muxArguments(silentFile, musicFile, withMusic ? musicStart : kNoMusic, path), logFile);
    if (code != 0) {
        error = path + ": ffmpeg failed (exit code " + std::to_string(code) + "), see " + logFile;
    } else if (isIsoMediaName(path) && !isStreamableIsoMedia(path)) {
        error = path + ": ffmpeg left it without its index in front (is the disk full?), see " + logFile;
    } else {
        removeRegularFile(silentFile);
        removeRegularFile(logFile);
        return true;
    }
    removeRegularFile(path);
    removeRegularFile(silentFile);
    return false;
}

void VideoEncoder::abandon()
{
    const int code = ffmpeg.finish();
    removeRegularFile(silentFile);
    if (code == 0)
        removeRegularFile(logFile);
}

}  // namespace tolvane
