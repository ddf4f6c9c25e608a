#include "AudioSystem.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>

namespace skyscuffle {

namespace audio {

AudioSound::~AudioSound()
{
    if (chunk_)
        Mix_FreeChunk(chunk_);
}

namespace {

// Standard error silenced for a scope: the sound back ends SDL tries in turn
// (ALSA above all) print their own complaints on a machine without a device;
// the game reports the outcome in one line of its own instead.
class QuietStandardError {
public:
    QuietStandardError() : saved_(dup(STDERR_FILENO))
    {
        const int null = open("/dev/null", O_WRONLY);
        if (saved_ >= 0 && null >= 0)
            dup2(null, STDERR_FILENO);
        if (null >= 0)
            close(null);
    }
    ~QuietStandardError()
    {
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            close(saved_);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_;
};

} // namespace

AudioSystem::AudioSystem()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1"); // the game handles SIGINT and SIGTERM itself
    QuietStandardError quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        fail(SDL_GetError());
        return;
    }
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_OGG);
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        fail(Mix_GetError());
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    Mix_AllocateChannels(channelCount);
    slots_.resize(channelCount);
    ready_ = true;
}

AudioSystem::~AudioSystem()
{
    if (!ready_)
        return;
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool AudioSystem::fail(const std::string& what)
{
    error_ = what.empty() ? "unknown audio error" : what;
    return false;
}

std::unique_ptr<AudioSound> AudioSystem::createSound(const std::string& path, Mode mode)
{
    if (!ready_) {
        fail("no audio device");
        return nullptr;
    }
    std::string error;
    auto sound = decode(path, mode, error);
    if (!sound)
        fail(error);
    return sound;
}

std::unique_ptr<AudioSound> AudioSystem::decode(const std::string& path, Mode mode, std::string& error) const
{
    if (!ready_) {
        error = "no audio device";
        return nullptr;
    }
    // SDL keeps its error text per thread, so a decode on the loader thread
    // reads its own.
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk) {
        error = Mix_GetError();
        return nullptr;
    }
    return std::make_unique<AudioSound>(chunk, mode);
}

AudioSystem::Slot* AudioSystem::slot(Channel channel)
{
    if (!ready_ || channel.index < 0 || channel.index >= channelCount)
        return nullptr;
    Slot& s = slots_[static_cast<std::size_t>(channel.index)];
    return s.generation == channel.generation ? &s : nullptr;
}

const AudioSystem::Slot* AudioSystem::slot(Channel channel) const
{
    return const_cast<AudioSystem*>(this)->slot(channel);
}

Channel AudioSystem::playSound(const AudioSound& sound, bool paused)
{
    if (!ready_) {
        fail("no audio device");
        return {};
    }
    update();
    for (int i = 0; i < channelCount; ++i) {
        Slot& s = slots_[static_cast<std::size_t>(i)];
        if (s.sound || s.started)
            continue;
        s.sound = &sound;
        s.mode = sound.mode();
        s.paused = true;
        s.volume = 1.0f; // a channel's volume outlives its last sound in SDL_mixer
        Mix_Volume(i, MIX_MAX_VOLUME);
        const Channel channel{i, s.generation};
        if (!paused)
            setPaused(channel, false);
        return channel;
    }
    fail("no free channel");
    return {};
}

bool AudioSystem::setMode(Channel channel, Mode mode)
{
    Slot* s = slot(channel);
    if (!s)
        return fail("invalid channel");
    // SDL_mixer fixes the loop count when a sound starts: the mode counts
    // until then, which is how the game uses it.
    s->mode = mode;
    return true;
}

bool AudioSystem::setPaused(Channel channel, bool paused)
{
    Slot* s = slot(channel);
    if (!s)
        return fail("invalid channel");
    s->paused = paused;
    if (!s->started) {
        if (paused)
            return true;
        if (Mix_PlayChannel(channel.index, s->sound->chunk(), s->mode == Mode::loop ? -1 : 0) < 0) {
            release(*s);
            return fail(Mix_GetError());
        }
        s->started = true;
        return true;
    }
    if (paused)
        Mix_Pause(channel.index);
    else
        Mix_Resume(channel.index);
    return true;
}

bool AudioSystem::setVolume(Channel channel, float volume)
{
    Slot* s = slot(channel);
    if (!s)
        return fail("invalid channel");
    s->volume = std::clamp(volume, 0.0f, 1.0f);
    if (ready_)
        Mix_Volume(channel.index, static_cast<int>(std::lround(s->volume * MIX_MAX_VOLUME)));
    return true;
}

float AudioSystem::volume(Channel channel) const
{
    const Slot* s = slot(channel);
    return s ? s->volume : 0.0f;
}

bool AudioSystem::stop(Channel channel)
{
    Slot* s = slot(channel);
    if (!s)
        return fail("invalid channel");
    if (s->started)
        Mix_HaltChannel(channel.index);
    release(*s);
    return true;
}

void AudioSystem::release(Slot& s)
{
    // A new generation: the handles given out for this use go stale.
    ++s.generation;
    s.sound = nullptr;
    s.started = false;
    s.paused = false;
}

bool AudioSystem::isPlaying(Channel channel) const
{
    const Slot* s = slot(channel);
    return s && s->started && !s->paused && Mix_Playing(channel.index);
}

void AudioSystem::update()
{
    if (!ready_)
        return;
    for (int i = 0; i < channelCount; ++i) {
        Slot& s = slots_[static_cast<std::size_t>(i)];
        if (s.started && !Mix_Playing(i))
            release(s); // ended: free for the next sound
    }
}

} // namespace audio

} // namespace skyscuffle
