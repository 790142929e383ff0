#include "app/SoundEngine.h"

#include "base/Diagnostics.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

namespace tolvane {

struct SoundEngine::Music {
    explicit Music(Mix_Music* opened) : stream(opened) {}
    ~Music() { Mix_FreeMusic(stream); }
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    Mix_Music* stream;  // owned, never null
};

SoundEngine* SoundEngine::create()
{
    auto* engine = new SoundEngine();
    // SDL would otherwise turn SIGINT and SIGTERM into quit events that
    // nothing reads, and the program could not be stopped from outside.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        logMessage("Music unavailable: no sound device (%s)", SDL_GetError());
        return engine;
    }
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        logMessage("Music unavailable: no sound device (%s)", Mix_GetError());
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return engine;
    }
    engine->deviceOpen = true;
    return engine;
}

void SoundEngine::play2D(const std::string& path)
{
    if (!deviceOpen || music != nullptr)
        return;
    Mix_Music* stream = Mix_LoadMUS(path.c_str());
    if (stream == nullptr) {
        logMessage("Music unavailable: cannot play %s (%s)", path.c_str(), Mix_GetError());
        return;
    }
    music = std::make_unique<Music>(stream);
    if (Mix_PlayMusic(stream, 0) != 0)
        logMessage("Music unavailable: cannot play %s (%s)", path.c_str(), Mix_GetError());
}

double SoundEngine::lengthOf(const char* path)
{
    Mix_Music* file = Mix_LoadMUS(path);
    if (file == nullptr)
        return -1.0;
    const double seconds = Mix_MusicDuration(file);
    Mix_FreeMusic(file);
    return seconds;
}

bool SoundEngine::isPlaying() const
{
    return deviceOpen && Mix_PlayingMusic() != 0;
}

void SoundEngine::drop()
{
    delete this;
}

SoundEngine::~SoundEngine()
{
    if (!deviceOpen)
        return;
    Mix_HaltMusic();
    music.reset();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace tolvane
