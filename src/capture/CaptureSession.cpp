#include "capture/CaptureSession.h"

#include "app/Application.h"
#include "app/Frame.h"
#include "app/GlfwContext.h"
#include "app/Overlays.h"
#include "app/SoundEngine.h"
#include "app/StopSignals.h"
#include "app/Timeline.h"
#include "base/Clock.h"
#include "base/ContentLayout.h"
#include "base/Diagnostics.h"
#include "base/GlObject.h"
#include "capture/ExternalProgram.h"
#include "capture/FixedStepClock.h"
#include "capture/FrameTimePlot.h"
#include "capture/GlObjectCensus.h"
#include "capture/OutputFile.h"
#include "capture/StartupFloor.h"
#include "render/Renderer.h"
#include "render/Scene.h"
#include "scene/CameraPath.h"
#include "scene/PerspectiveCamera.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace tolvane {

namespace {

// A run that never reaches the end of the film stops after an hour.
constexpr double kLongestFilm = 3600.0;

long frameAtOrAfter(double seconds, double fps)
{
    return static_cast<long>(std::ceil(seconds * fps - 1.0e-6));
}

void fail(const std::string& message)
{
    std::cerr << "tolvane-capture: " << message << std::endl;
}

}  // namespace

CaptureSession::CaptureSession(const CaptureOptions& chosen) : options(chosen), progress(stderr)
{
    firstFrame = frameAtOrAfter(chosen.from, chosen.fps);
    if (chosen.to != CaptureOptions::kEndOfFilm)
        endFrame = frameAtOrAfter(chosen.to, chosen.fps);
    for (const double time : chosen.at)
        chosenFrames.push_back(std::lround(time * chosen.fps));
    if (!chosenFrames.empty()) {
        firstFrame = chosenFrames.front();
        endFrame = chosenFrames.back() + 1;
    }
}

bool CaptureSession::keeps(long frame) const
{
    if (!chosenFrames.empty())
        return std::binary_search(chosenFrames.begin(), chosenFrames.end(), frame);
    return frame >= firstFrame && (frame - firstFrame) % options.every == 0 && options.keepsPictures();
}

// Drawing changes nothing that later frames depend on, so frames well before
// a kept one are only updated; the last few are drawn so that the kept frame
// meets the GL state a whole run would leave.
bool CaptureSession::draws(long frame) const
{
    if (chosenFrames.empty())
        return frame >= firstFrame - kWarmUpFrames;
    const auto next = std::lower_bound(chosenFrames.begin(), chosenFrames.end(), frame);
    return next != chosenFrames.end() && *next - frame <= kWarmUpFrames;
}

CaptureSession::~CaptureSession()
{
    if (census != nullptr)
        std::fclose(census);
    GpuProfiler::active = nullptr;
    CpuProfiler::active = nullptr;
}

double CaptureSession::milliseconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

bool CaptureSession::checkTools()
{
    if (!options.videoFile.empty() && !ExternalProgram::isInstalled("ffmpeg")) {
        fail("ffmpeg is not installed, so no video can be made (Debian package: ffmpeg); "
             "--out DIR and --sheet FILE work without it");
        return false;
    }
    if (!options.outDirectory.empty()) {
        std::error_code error;
        std::filesystem::create_directories(options.outDirectory, error);
        if (error) {
            fail("cannot create " + options.outDirectory + ": " + error.message());
            return false;
        }
    }
    return true;
}

int CaptureSession::run()
{
    if (!checkTools() || !openContext())
        return 2;
    startDemo();
    prepareOutputs();
    playFrames();
    const bool written = finishOutputs();
    GpuProfiler::active = nullptr;
    gpuProfiler.reset();
    referenceProfiler.reset();
    referencePasses.reset();
    CpuProfiler::active = nullptr;
    shutDown();
    demo.glContext = nullptr;
    eglContext.reset();
    if (stopSignal() != 0)
        return 128 + stopSignal();
    return written && !writeFailed ? 0 : 1;
}

// Without a window system the film is drawn through EGL; otherwise the demo's
// start-up opens a hidden GLFW window.
bool CaptureSession::openContext()
{
    if (!options.drawsWithEgl(std::getenv("DISPLAY"))) {
        demo.windowRequest.visible = false;
        return true;
    }
    eglContext = std::make_unique<EglContext>();
    std::string error;
    if (!eglContext->open(error)) {
        fail(error);
        eglContext.reset();
        return false;
    }
    demo.glContext = eglContext.get();
    return true;
}

// The demo's start-up, timed piece by piece, with the clock standing still:
// loading takes no demo time, so the first frame sees a frameDelta of 0.
void CaptureSession::startDemo()
{
    // Sound is decoded and mixed as in the demo, but nothing is heard.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    demo.windowRequest.width = options.width;
    demo.windowRequest.height = options.height;
    FixedStepClock::configure(options.fps);
    timeSource = &FixedStepClock::now;
    CpuProfiler::active = &cpuProfiler;

    const Clock::time_point begin = Clock::now();
    if (options.loadingFile.empty())
        startUp();
    else
        startUp([this] { captureLoadingScreen(); });
    std::cout << "Rendering with " << reinterpret_cast<const char*>(glGetString(GL_RENDERER)) << " by "
              << reinterpret_cast<const char*>(glGetString(GL_VENDOR)) << " through " << activeGlContext().describe()
              << std::endl;
    musicSeconds = SoundEngine::lengthOf(content::kMusicFile);
    if (options.fire)
        setFires(true);

    BenchReport::Startup& startup = startupTimes;
    startup.overlays = cpuProfiler.total(CpuSection::Overlays);
    startup.modelImport = cpuProfiler.total(CpuSection::ModelImport);
    startup.textures = cpuProfiler.total(CpuSection::Textures);
    startup.rest = milliseconds(begin, Clock::now()) - startup.overlays - startup.modelImport - startup.textures;
    cpuProfiler.reset();
}

// The loading screen is drawn by the demo's own code into a framebuffer of
// ours: its buffer swap then presents nothing that matters, and the picture
// can be read back afterwards.
void CaptureSession::captureLoadingScreen()
{
    GlFramebuffer framebuffer;
    GlRenderbuffer colour;
    glBindRenderbuffer(GL_RENDERBUFFER, colour.name());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, demo.settings.width, demo.settings.height);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.name());
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour.name());
    showLoadingMessage("Please wait...");
    FrameImage loading(demo.settings.width, demo.settings.height);
    loading.readFramebuffer();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    std::string error;
    if (!pngWriter.write(loading, options.loadingFile, error))
        failWrite(error);
}

void CaptureSession::prepareOutputs()
{
    frameImage.resize(demo.settings.width, demo.settings.height);
    if (!options.sheetFile.empty())
        sheet = std::make_unique<ContactSheet>(demo.settings.width, demo.settings.height);
    if (!options.videoFile.empty()) {
        video = std::make_unique<VideoEncoder>();
        std::string error;
        if (!video->open(options.videoFile, demo.settings.width, demo.settings.height, options.fps / options.every,
                         error)) {
            fail(error);
            video.reset();
            writeFailed = true;
        }
    }
    if (options.bench) {
        const long expected = endFrame > firstFrame ? endFrame - firstFrame : 1000;
        report = std::make_unique<BenchReport>(static_cast<std::size_t>(expected));
        report->startup = startupTimes;
        report->setting.renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        report->setting.width = demo.settings.width;
        report->setting.height = demo.settings.height;
        report->setting.fps = options.fps;
        report->setting.from = options.from;
        BenchReport* sink = report.get();
        gpuProfiler = std::make_unique<GpuProfiler>([sink](const GpuFrameTimes& times) { sink->addGpuFrame(times); });
        if (options.reference) {
            // Right after the start-up, so that both meet the same load.
            const std::vector<std::string> sceneTextures(std::begin(content::kSceneTextureFiles),
                                                         std::end(content::kSceneTextureFiles));
            report->startupFloor = StartupFloor::measure(content::kModelFile, sceneTextures);
            referencePasses = std::make_unique<ReferencePasses>();
            referenceProfiler =
                std::make_unique<GpuProfiler>([sink](const GpuFrameTimes& times) { sink->addReferenceFrame(times); });
        }
    }
}

long CaptureSession::estimateFilmFrames() const
{
    long events = 0;
    for (const CameraPath* path : demo.objects.cameraPaths)
        events += path != nullptr ? static_cast<long>(path->events.size()) : 0;
    // A step needs more than kTimelineStepSeconds gathered: a whole number of frames.
    const long framesPerStep = static_cast<long>(std::floor(kTimelineStepSeconds / FixedStepClock::step())) + 1;
    // Besides the events: the start, four path switches and the final step.
    const long steps = events + 6;
    const long musicStart = frameAtOrAfter(kTimelineStartDelay, options.fps) + framesPerStep;
    return std::max(musicStart + steps * framesPerStep + static_cast<long>(std::lround(kCreditsHold * options.fps)),
                    musicStart + framesAfterMusicStart());
}

long CaptureSession::framesAfterMusicStart() const
{
    if (musicSeconds <= 0.0)
        return 0;
    return static_cast<long>(std::ceil((musicSeconds + kAfterMusic) * options.fps));
}

void CaptureSession::playFrames()
{
    const long longest = static_cast<long>(kLongestFilm * options.fps);
    progress.setTotal(static_cast<int>(endFrame >= 0 ? endFrame : estimateFilmFrames()));
    playStart = Clock::now();
    long frame = 0;
    // A signal clears `running`; after a failed write nothing more can be kept.
    for (; demo.running && !writeFailed && (endFrame < 0 || frame < endFrame); ++frame) {
        if (frame >= longest) {
            fail("the film did not end within an hour of demo time; stopping");
            break;
        }
        playFrame(frame);
        if (!options.quiet)
            progress.update(static_cast<int>(frame + 1), milliseconds(playStart, Clock::now()) / 1000.0);
    }
    if (!options.quiet)
        progress.finish(static_cast<int>(frame), milliseconds(playStart, Clock::now()) / 1000.0);
    playedFrames = frame;
}

void CaptureSession::playFrame(long frame)
{
    FixedStepClock::setFrame(frame);
    playing = frame;
    const bool drawn = draws(frame);
    const bool timed = drawn && report != nullptr && frame >= firstFrame;
    if (timed) {
        GpuProfiler::active = gpuProfiler.get();
        gpuProfiler->beginFrame();
    }
    cpuProfiler.reset();
    frameStart = Clock::now();
    runFrame(this);
    if (timed)
        measureFrame(frameStart, updateEnd);
    if (timed && referencePasses != nullptr)
        drawReferencePasses();
    watchTimeline(frame);
    if (drawn)
        takeCensus(frame);
}

bool CaptureSession::drawsFrame()
{
    return draws(playing);
}

void CaptureSession::frameUpdated()
{
    updateEnd = Clock::now();
}

void CaptureSession::frameDrawn()
{
    if (keeps(playing))
        keepFrame(playing);
}

// One row every ten seconds of demo time: a soak run reads growth off it.
void CaptureSession::takeCensus(long frame)
{
    const long interval = std::lround(10.0 * options.fps);
    if (options.censusFile.empty() || frame % std::max(interval, 1L) != 0)
        return;
    if (census == nullptr) {
        census = std::fopen(options.censusFile.c_str(), "w");
        if (census == nullptr) {
            failWrite(systemError(options.censusFile));
            return;
        }
        std::fputs("seconds rss_kb textures buffers vertex_arrays framebuffers renderbuffers programs shaders "
                   "queries transform_feedbacks total\n",
                   census);
    }
    const GlObjectCensus::Counts counts = GlObjectCensus().take();
    std::fprintf(census, "%.1f %ld %d %d %d %d %d %d %d %d %d %d\n", frame / options.fps, residentKilobytes(),
                 counts.textures, counts.buffers, counts.vertexArrays, counts.framebuffers, counts.renderbuffers,
                 counts.programs, counts.shaders, counts.queries, counts.transformFeedbacks, counts.total());
    if (std::fflush(census) != 0 || std::ferror(census)) {
        failWrite(systemError(options.censusFile));
        std::fclose(census);
        census = nullptr;
        removeRegularFile(options.censusFile);
    }
}

void CaptureSession::keepFrame(long frame)
{
    frameImage.readFramebuffer();
    ++keptFrames;
    if (!options.outDirectory.empty()) {
        std::snprintf(framePath, sizeof framePath, "%s/frame-%06ld.png", options.outDirectory.c_str(), frame);
        std::string error;
        if (!pngWriter.write(frameImage, framePath, error))
            failWrite(error);
    }
    if (sheet != nullptr)
        sheet->offer(frameImage);
    if (video != nullptr && !video->addFrame(frameImage))
        failWrite(options.videoFile + ": ffmpeg stopped taking frames, see " + options.videoFile + ".ffmpeg.log");
}

// One line for the first failure: the capture stops there, and what
// follows from it (a missing video, sheet or report) needs no more lines.
void CaptureSession::failWrite(const std::string& message)
{
    if (!writeFailed)
        fail("cannot write " + message);
    writeFailed = true;
}

// After a signal or a failed write the video and the contact sheet would
// show only part of the film under the name of the whole, so neither is
// made; frames already written are each complete.
bool CaptureSession::abandonOutputs()
{
    if (video != nullptr)
        video->abandon();
    video.reset();
    const int signal = stopSignal();
    if (signal == 0)
        return false;
    std::string kept;
    if (!options.outDirectory.empty())
        kept = "; the " + std::to_string(keptFrames) + " frames in " + options.outDirectory + " are complete";
    fail(std::string("stopped by ") + (signal == SIGINT ? "SIGINT" : "SIGTERM") + " after " +
         std::to_string(playedFrames) + " frames" + kept + "; no video, contact sheet or report was made");
    return false;
}

void CaptureSession::measureFrame(Clock::time_point started, Clock::time_point updated)
{
    gpuProfiler->endFrame();
    gpuProfiler->poll();
    report->addCpuFrame(milliseconds(started, updated), cpuProfiler.total(CpuSection::ParticleReadback),
                        milliseconds(started, Clock::now()));
}

// After the frame has been measured, so that the references cost it nothing;
// finished before the next frame starts, for the same reason.
void CaptureSession::drawReferencePasses()
{
    if (demo.renderer == nullptr || demo.scene == nullptr)
        return;
    GpuProfiler::active = referenceProfiler.get();
    referenceProfiler->beginFrame();
    referencePasses->draw(*demo.renderer, View{demo.scene, demo.camera});
    referenceProfiler->endFrame();
    glFinish();
    referenceProfiler->poll();
    GpuProfiler::active = gpuProfiler.get();
}

void CaptureSession::watchTimeline(long frame)
{
    if (musicFrame < 0 && timelineBegun())
        musicFrame = frame;
    if (endFrame < 0 && timelineFinished()) {
        endFrame = std::max(frame + 1 + static_cast<long>(std::lround(kCreditsHold * options.fps)),
                            musicFrame + framesAfterMusicStart());
        progress.setTotal(static_cast<int>(endFrame));
    }
}

bool CaptureSession::finishOutputs()
{
    if (census != nullptr && std::fclose(census) != 0) {
        failWrite(systemError(options.censusFile));
        removeRegularFile(options.censusFile);
    }
    census = nullptr;
    if (writeFailed || stopSignal() != 0)
        return abandonOutputs();
    bool ok = true;
    const auto reportFailure = [&ok](const std::string& message) {
        fail(message);
        ok = false;
    };
    std::string error;
    if (video != nullptr) {
        const double musicStart =
            musicFrame >= 0 ? static_cast<double>(musicFrame - firstFrame) / options.fps : VideoEncoder::kNoMusic;
        if (video->close(content::kMusicFile, musicStart, error))
            std::cout << "Video: " << options.videoFile << std::endl;
        else
            reportFailure("cannot write " + error);
    }
    if (sheet != nullptr) {
        if (sheet->write(options.sheetFile, error))
            std::cout << "Contact sheet: " << options.sheetFile << std::endl;
        else
            reportFailure("cannot write " + error);
    }
    if (!options.outDirectory.empty())
        std::cout << "Frames: " << keptFrames << " in " << options.outDirectory << std::endl;
    if (report != nullptr) {
        gpuProfiler->flush();
        report->gpuStalls = gpuProfiler->stalls();
        if (referenceProfiler != nullptr)
            referenceProfiler->flush();
        report->setting.to = static_cast<double>(endFrame) / options.fps;
        report->print(std::cout);
        if (!options.jsonFile.empty() && !report->writeJson(options.jsonFile, error))
            reportFailure("cannot write " + error);
        if (!options.plotFile.empty() && !FrameTimePlot::write(*report, options.plotFile, error))
            reportFailure(error);
    }
    return ok;
}

}  // namespace tolvane
