#pragma once

#include "game/sound/audio/AudioSound.h"
#include "game/sound/audio/AudioTypes.h"

#include <memory>
#include <string>
#include <vector>

namespace skyscuffle {

namespace audio {

// The game's audio output, on SDL2_mixer (only SDL's audio subsystem is
// started; the window is GLFW's). Sounds are decoded whole into memory and
// played on 100 mixing channels. A sound is started paused: the channel is
// reserved, its mode may still change, and it plays from its start when
// unpaused. Every operation reports failure through `error()`; without an
// audio device every operation is a harmless no-op.
class AudioSystem {
public:
    static constexpr int channelCount = 100;

    AudioSystem();
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;
    ~AudioSystem();

    // False when there is no usable audio device (then `error()` says why).
    [[nodiscard]] bool ready() const { return ready_; }
    // The text of the last failure.
    [[nodiscard]] const std::string& error() const { return error_; }

    // Decodes a file (WAV, MP3, OGG). Null on failure.
    std::unique_ptr<AudioSound> createSound(const std::string& path, Mode mode);
    // As createSound, without touching this system's state: safe on another
    // thread while the device is open. Null on failure, with `error` set.
    [[nodiscard]] std::unique_ptr<AudioSound> decode(const std::string& path, Mode mode, std::string& error) const;
    // Reserves a free channel for the sound, paused; a null channel when none is free.
    Channel playSound(const AudioSound& sound, bool paused);
    bool setMode(Channel channel, Mode mode);
    bool setPaused(Channel channel, bool paused);
    bool stop(Channel channel);
    // The channel's loudness from 0 (silent) to 1 (as decoded), for as long
    // as its sound plays.
    bool setVolume(Channel channel, float volume);
    [[nodiscard]] float volume(Channel channel) const;
    // Whether the channel's sound is playing (not paused, not ended).
    [[nodiscard]] bool isPlaying(Channel channel) const;
    // Per-frame housekeeping: frees channels whose sound has ended.
    void update();

private:
    struct Slot {
        std::uint32_t generation = 0;
        const AudioSound* sound = nullptr; // reserved, not yet started
        Mode mode = Mode::oneShot;
        bool started = false;
        bool paused = false;
        float volume = 1.0f;
    };

    [[nodiscard]] Slot* slot(Channel channel);
    [[nodiscard]] const Slot* slot(Channel channel) const;
    bool fail(const std::string& what);
    void release(Slot& s);

    bool ready_ = false;
    std::string error_;
    std::vector<Slot> slots_;
};

} // namespace audio

} // namespace skyscuffle
