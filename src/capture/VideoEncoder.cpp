#include "capture/VideoEncoder.h"

#include "capture/FrameImage.h"
#include "capture/FrameQueue.h"
#include "capture/OutputFile.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

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

std::string folderOf(const std::string& path)
{
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// Why `target` cannot be written, found out before a frame is drawn; ""
// when nothing stands in the way. Making the scratch file beside it asks the
// file system itself, which knows about permissions, read-only mounts and
// missing folders; a check of mode bits would let root through everywhere.
std::string whyNotWritable(const std::string& target, const std::string& scratch)
{
    struct stat info = {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode))
        return std::strerror(EISDIR);
    const int file = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) {
        const int cause = errno;
        if (cause == ENOENT)
            return "the folder " + folderOf(target) + " does not exist";
        return std::strerror(cause);
    }
    ::close(file);
    // A video already there is replaced, so it must take writing too.
    if (exists && S_ISREG(info.st_mode)) {
        const int old = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (old < 0) {
            const int cause = errno;
            removeRegularFile(scratch);
            return std::strerror(cause);
        }
        ::close(old);
    }
    return "";
}

// A file system with no block left for its user: what a write that ffmpeg
// reported nowhere most likely met.
bool noRoomLeft(const std::string& path)
{
    struct statvfs info = {};
    return ::statvfs(folderOf(path).c_str(), &info) == 0 && info.f_bavail == 0;
}

}  // namespace

VideoEncoder::VideoEncoder() = default;

VideoEncoder::~VideoEncoder() = default;

std::vector<std::string> VideoEncoder::encodeArguments(const std::string& silentFile, int width, int height, double fps)
{
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::vector<std::string> arguments = {"ffmpeg", "-hide_banner", "-nostdin",   "-nostats", "-y",
                                          "-f",     "rawvideo",     "-pix_fmt",   "bgr24",    "-s",
                                          size,     "-r",           decimal(fps), "-i",       "-"};
    // veryfast at CRF 18 matches medium at CRF 20 in SSIM and PSNR on the
    // film for well under half the encoder's CPU time, in a fifth larger
    // files: on a software renderer ffmpeg shares the cores with drawing.
    for (const char* part : {"-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-pix_fmt", "yuv420p"})
        arguments.emplace_back(part);
    // 4:2:0 chroma needs even sides; pad odd ones by a black pixel.
    if (width % 2 != 0 || height % 2 != 0) {
        arguments.emplace_back("-vf");
        arguments.emplace_back("pad=ceil(iw/2)*2:ceil(ih/2)*2");
    }
    for (const char* tail : {"-f", "mp4"})
        arguments.emplace_back(tail);
    arguments.push_back(silentFile);
    return arguments;
}

std::vector<std::string> VideoEncoder::muxArguments(const MuxInputs& in, const std::string& path)
{
    std::vector<std::string> arguments = {"ffmpeg", "-hide_banner", "-nostdin", "-nostats", "-y", "-i", in.silentFile};
    const bool withMusic = in.musicStart != kNoMusic;
    const bool withCover = !in.coverFile.empty() && isIsoMediaName(path);
    auto add = [&arguments](std::initializer_list<std::string> parts) {
        arguments.insert(arguments.end(), parts.begin(), parts.end());
    };
    if (withMusic) {
        // Music that began before the first frame is entered part way through.
        if (in.musicStart < 0.0)
            add({"-ss", decimal(-in.musicStart)});
        add({"-i", in.musicFile});
    }
    if (withCover)
        add({"-i", in.coverFile});
    add({"-map", "0:v:0", "-c:v:0", "copy"});
    if (withMusic) {
        // Delayed to its start, padded with silence and cut at the film's
        // end, so the sound lasts exactly as long as the picture (-shortest
        // would also stop at the one-frame cover).
        std::string filter = "apad,atrim=end=" + decimal(in.seconds);
        if (in.musicStart > 0.0)
            filter = "adelay=delays=" + std::to_string(std::lround(in.musicStart * 1000.0)) + ":all=1," + filter;
        add({"-map", "1:a:0", "-c:a", "aac", "-b:a", "160k", "-af", filter});
    }
    if (withCover)
        add({"-map", withMusic ? "2:v:0" : "1:v:0", "-c:v:1", "png", "-disposition:v:1", "attached_pic"});
    add({"-metadata", std::string("title=") + kTitle, "-metadata", std::string("artist=") + kArtist});
    // The index in front: ffmpeg writes it last, then moves it before the
    // data, so a browser can start playing while the rest downloads.
    if (isIsoMediaName(path))
        add({"-movflags", "+faststart"});
    arguments.push_back(path);
    return arguments;
}

std::string VideoEncoder::causeInLog(const std::string& log, const std::string& file)
{
    // ffmpeg reports a file it cannot open, write or close as "... FILE:
    // reason"; the last such line is the one that ended the run.
    std::string cause;
    std::size_t lineStart = 0;
    while (lineStart < log.size()) {
        std::size_t lineEnd = log.find_first_of("\r\n", lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = log.size();
        const std::string line = log.substr(lineStart, lineEnd - lineStart);
        for (std::size_t at = line.find(file); !file.empty() && at != std::string::npos; at = line.find(file, at + 1)) {
            const std::size_t after = at + file.size();
            if (line.compare(after, 2, ": ") == 0 && line.size() > after + 2)
                cause = line.substr(after + 2);
        }
        lineStart = lineEnd + 1;
    }
    if (!cause.empty())
        return cause;
    // Some versions name no file with the error; these causes can only
    // have come from writing.
    for (const int code : {ENOSPC, EDQUOT, EFBIG, EIO})
        if (log.find(std::strerror(code)) != std::string::npos)
            return std::strerror(code);
    return "";
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
    coverFile = target + ".cover.tmp.png";
    frameRate = fps;
    framesQueued = 0;
    logFile = target + ".ffmpeg.log";
    const std::string problem = whyNotWritable(path, silentFile);
    if (!problem.empty()) {
        error = "cannot write " + path + ": " + problem;
        return false;
    }
    if (!ffmpeg.startKeepingOutput(encodeArguments(silentFile, width, height, fps), true)) {
        const int cause = ffmpeg.startError();
        error = cause == ENOENT ? "ffmpeg is not installed, so no video can be made (Debian package: ffmpeg)"
                                : "cannot write " + path + ": ffmpeg cannot be started (" + std::strerror(cause) + ")";
        removeRegularFile(silentFile);
        return false;
    }
    const std::size_t frameBytes = static_cast<std::size_t>(width) * 3 * static_cast<std::size_t>(height);
    queue =
        std::make_unique<FrameQueue>(frameBytes, kQueuedFrames, [this](const std::uint8_t* data, std::size_t bytes) {
            return ffmpeg.write(data, bytes);
        });
    return true;
}

bool VideoEncoder::addFrame(const FrameImage& frame)
{
    if (queue == nullptr || !refusal.empty())
        return false;
    if (frame.byteCount() != queue->frameBytes()) {
        refusal = path + ": a frame of " + std::to_string(frame.width) + "x" + std::to_string(frame.height) +
                  " pixels does not fit the video";
        return false;
    }
    std::uint8_t* slot = queue->nextBuffer();
    if (slot == nullptr) {
        queue->abandon();
        stopTakingFrames();
        return false;
    }
    const std::size_t rowBytes = frame.rowBytes();
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(slot + rowBytes * static_cast<std::size_t>(frame.height - 1 - y), frame.row(y), rowBytes);
    queue->push();
    ++framesQueued;
    return true;
}

// ffmpeg has closed its input, so it has ended or is about to; its output
// says why.
void VideoEncoder::stopTakingFrames()
{
    encodeExit = ffmpeg.finish();
    log += ffmpeg.output();
    refusal = path + ": ffmpeg stopped taking frames (" + ffmpeg.howItEnded() + ")";
    const std::string cause = causeInLog(log, silentFile);
    if (!cause.empty())
        refusal += ": " + cause;
    removeRegularFile(silentFile);
    refusal += keepLog();
}

// "TARGET: cause", the cause as ffmpeg gave it for `file`, else the file
// system's state, else `fallback`; with the log's name when it was kept.
std::string VideoEncoder::explain(const std::string& file, const std::string& fallback)
{
    std::string cause = causeInLog(log, file);
    if (cause.empty() && noRoomLeft(file))
        cause = std::strerror(ENOSPC);
    if (cause.empty())
        cause = fallback;
    else if (file != path)
        cause += " (writing " + file + ")";
    return path + ": " + cause;
}

// Writes what ffmpeg printed beside the video; the files that failed are
// removed first, so that on a full disk the log has their room. Returns
// ", see LOG", or "" when the log could not be written either.
std::string VideoEncoder::keepLog()
{
    std::string ignored;
    if (log.empty() || !writeWholeFile(logFile, log, ignored))
        return "";
    return ", see " + logFile;
}

bool VideoEncoder::finishEncoding(std::string& error)
{
    const bool fed = queue->finish();
    encodeExit = ffmpeg.finish();
    log += ffmpeg.output();
    if (fed && encodeExit == 0 && isCompleteIsoMedia(silentFile))
        return true;
    if (!fed)
        error = explain(silentFile, "ffmpeg stopped taking frames (" + ffmpeg.howItEnded() + ")");
    else if (encodeExit != 0)
        error = explain(silentFile, "ffmpeg failed while encoding (" + ffmpeg.howItEnded() + ")");
    else
        error = explain(silentFile, "ffmpeg left the encoded film incomplete");
    return false;
}

bool VideoEncoder::close(const std::string& musicFile, double musicStart, const FrameImage* cover, std::string& error)
{
    if (queue == nullptr || !refusal.empty()) {
        error = refusal.empty() ? path + ": the video was not started" : refusal;
        discard();
        return false;
    }
    if (!finishEncoding(error)) {
        discard();
        error += keepLog();
        return false;
    }
    // The second pass also puts the stream in the container the file name
    // asks for, with the tags, the cover and, when there is any, the music.
    MuxInputs inputs;
    inputs.silentFile = silentFile;
    inputs.musicFile = musicFile;
    inputs.musicStart = fileExists(musicFile) ? musicStart : kNoMusic;
    inputs.seconds = static_cast<double>(framesQueued) / frameRate;
    std::string ignored;
    if (cover != nullptr && writePng(cover->rows(), coverFile, ignored))
        inputs.coverFile = coverFile;
    ExternalProgram mux;
    const bool started = mux.startKeepingOutput(muxArguments(inputs, path), false);
    const int code = mux.finish();
    log += mux.output();
    removeRegularFile(coverFile);
    if (started && code == 0 && (!isIsoMediaName(path) || isStreamableIsoMedia(path))) {
        removeRegularFile(silentFile);
        return true;
    }
    if (!started)
        error = path + ": ffmpeg cannot be started (" + std::strerror(mux.startError()) + ")";
    else if (code != 0)
        error = explain(path, "ffmpeg failed (" + mux.howItEnded() + ")");
    else
        error = explain(path, "ffmpeg left it without its index in front");
    removeRegularFile(path);
    discard();
    error += keepLog();
    return false;
}

void VideoEncoder::discard()
{
    removeRegularFile(silentFile);
    queue.reset();
}

void VideoEncoder::abandon()
{
    if (queue == nullptr)
        return;
    queue->abandon();
    if (ffmpeg.running()) {
        encodeExit = ffmpeg.finish();
        log += ffmpeg.output();
    }
    discard();
    if (encodeExit != 0 && refusal.empty())
        keepLog();
}

}  // namespace tolvane
