#pragma once

#include "game/sound/audio/AudioTypes.h"

namespace skyscuffle {

namespace audio {
class AudioSystem;
}

// A sound kept playing for as long as its owner lives (a power-up's looping
// gun fire): stopped when the owner lets go of it, however the owner ends,
// even when its whole world is torn down. The audio system outlives every
// world, so the handle never dangles; a channel whose sound already ended is
// stale and stopping it does nothing.
class PlayingSound {
public:
    PlayingSound() = default;
    PlayingSound(audio::AudioSystem& system, audio::Channel channel) : system_(&system), channel_(channel) {}
    PlayingSound(const PlayingSound&) = delete;
    PlayingSound& operator=(const PlayingSound&) = delete;
    PlayingSound(PlayingSound&& other) noexcept { *this = static_cast<PlayingSound&&>(other); }
    PlayingSound& operator=(PlayingSound&& other) noexcept;
    ~PlayingSound() { stop(); }

    void stop();
    [[nodiscard]] audio::Channel channel() const { return channel_; }
    explicit operator bool() const { return static_cast<bool>(channel_); }

private:
    audio::AudioSystem* system_ = nullptr;
    audio::Channel channel_;
};

} // namespace skyscuffle
