#pragma once

#include <memory>
#include <string>

namespace tolvane {

// Plays the demo's music on SDL_mixer's own audio thread, so the frame loop
// never waits for it. Created once, asked once to play, dropped at exit.
// Without a sound device the engine stays silent: it says so once and every
// later request is a no-op.
class SoundEngine {
public:
    // Opens the default audio device (44.1 kHz stereo). Never returns null.
    static SoundEngine* create();

    // Starts streaming a music file once, not looped. A file that is missing
    // or cannot be decoded is reported on the console and not played.
    void play2D(const std::string& path);

    // True while a device is open and music is playing.
    bool isPlaying() const;
    // True when a sound device could be opened.
    bool hasDevice() const { return deviceOpen; }

    // The length of a music file in seconds as this engine decodes it;
    // negative when no device is open or the file cannot be read.
    static double lengthOf(const char* path);

    // Stops the music, closes the device and deletes the engine.
    void drop();

    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

private:
    SoundEngine() = default;
    ~SoundEngine();

    // SDL_mixer's stream, behind a type of our own: SDL_mixer has renamed its
    // struct between releases, and this header needs none of SDL's.
    struct Music;

    bool deviceOpen = false;
    std::unique_ptr<Music> music;  // the one stream being played; null before play2D
};

}  // namespace tolvane
